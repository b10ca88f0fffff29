// vok diff: what changed between two versions of a dictionary file, section by section.
#pragma once

#include <string>
#include <vector>

#include "tools/vok/Console.h"

namespace vok::tool {

// Compares the sections named ASections (Windows-1251; every section of either file when
// empty) of AOld and ANew, each as LoadVok reads it, and prints per section a summary line and
// one line per change: settings, codes added, removed and changed, items of ANew that lose
// their way from the top level. Returns 0 when they are the same, 1 when they differ, 2 when a
// file cannot be read, a named section is in neither file or a compared section does not load.
int RunDiff(const TConsole &AConsole, const std::string &AOld, const std::string &ANew,
            const std::vector<std::string> &ASections);

}  // namespace vok::tool
