// Texts that the tests of the core and the tests of the DLL share: the sample dictionary file,
// Windows line ends and the lines of a text.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vok::test {

// AText with a carriage return before every line feed.
inline std::string Crlf(std::string_view AText) {
  std::string R;
  for (char C : AText) R += C == '\n' ? std::string("\r\n") : std::string(1, C);
  return R;
}

// The lines of AText, without their line feeds.
inline std::vector<std::string> Lines(const std::string &AText) {
  std::vector<std::string> R;
  std::istringstream In(AText);
  for (std::string L; std::getline(In, L);) R.push_back(L);
  return R;
}

// The sample file with the sections Places and Rivers.
inline const char *PlacesFile() {
  return "; settlements of two regions\n"
         "[Places]\n"
         "Format=2,2,3\n"
         "Display=%1%2%3\n"
         "Delimit=,\n"
         "1100000=North region\n"
         "1101000=Lake district\n"
         "1101001=Stone village#pop. 120#rural\n"
         "1101002=Hill town#pop. 5400#urban\n"
         "1102000=Forest district\n"
         "1200000=South region#coastal\n"
         "note=not an item\n"
         "[Rivers]\n"
         "Format=3\n"
         "Display=%1\n"
         "Delimit=\n";
}

}  // namespace vok::test
