// vok tree: a dictionary's hierarchy as the selection dialog offers it.
#pragma once

#include <string>
#include <string_view>

#include "tools/vok/Console.h"

namespace vok::tool {

// Loads section ASection (Windows-1251) of AFile through LoadVok with the filter AFilter ("*"
// for every item) and prints its levels indented, each level's rows sorted and de-duplicated
// as the dialog shows them, each row followed by its children. Returns 0, or 2 when the
// section does not load.
int RunTree(const TConsole &AConsole, const std::string &AFile, std::string_view ASection, std::string_view AFilter);

}  // namespace vok::tool
