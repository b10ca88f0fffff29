// The terminal side of the dictionary tool: where its output goes and in which encoding.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace vok::tool {

// Natively terminals speak UTF-8; a Windows console shows the ANSI code page's bytes.
#ifdef _WIN32
constexpr bool Utf8ByDefault = false;
#else
constexpr bool Utf8ByDefault = true;
#endif

struct TConsole {
  std::ostream &Out;
  std::ostream &Err;
  bool Utf8 = Utf8ByDefault;  // dictionary texts converted from Windows-1251 to UTF-8

  // A Windows-1251 text (a dictionary text, or a message that quotes one) as the terminal
  // shows it.
  std::string Show(std::string_view A1251) const;
  // A command-line argument as Windows-1251: converted from UTF-8 in UTF-8 mode when it is
  // valid UTF-8 of characters the code page holds, otherwise taken as it is.
  std::string FromArg(std::string_view AArg) const;
};

// Writes AData to the file APath whole or not at all: into a new file beside it, which then takes
// its place. An existing APath is replaced only when AReplace (the user named it with -o).
// Returns false, after telling why on the error stream, when nothing was written.
bool WriteWholeFile(const TConsole &AConsole, const std::string &APath, std::string_view AData, bool AReplace);

}  // namespace vok::tool
