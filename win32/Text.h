// Texts between the library's code pages and the wide window functions, and the small facts
// about files and errors that every subsystem reports.
#pragma once

#include <string>
#include <string_view>

namespace vok {

// The ANSI-code-page text AText as UTF-16 for the wide window functions.
std::wstring AnsiToWide(std::string_view AText);
// A UTF-16 text back in the ANSI code page.
std::string WideToAnsi(std::wstring_view AText);

// The library's own Windows-1251 texts for the wide window functions, whatever the code page.
std::wstring FromCyrillic(const char *AText);

// True when APath names an existing file (a directory does not count).
bool FileExists(std::string_view APath);

// The text of the exception being handled, for the error messages; call it inside a catch.
std::string CurrentErrorText();

}  // namespace vok
