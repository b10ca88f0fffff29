// The command line of vok, the tool for dictionary authors.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vok::tool {

// Runs vok with AArgs (without the program name), writing reports to AOut and problems to
// AErr; returns the exit status: 0 clean, 1 warnings, 2 errors or a bad command line.
int RunVok(const std::vector<std::string> &AArgs, std::ostream &AOut, std::ostream &AErr);

}  // namespace vok::tool
