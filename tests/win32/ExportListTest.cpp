// The module-definition files name the exports of the one list, in its order, and the Win32
// one gives each the stack size of its parameters (4 bytes each on Win32).
#include <cstdlib>
#include <fstream>

#include "tests/win32/TestHost.h"

namespace {

template <typename R, typename... A>
constexpr int StackBytes(R(VOK_STDCALL *)(A...)) { return static_cast<int>(sizeof...(A)) * 4; }

// The export lines of a module-definition file, as written after "EXPORTS".
std::vector<std::string> DefLines(const char *AName) {
  const char *Source = std::getenv("VOK_SOURCE_DIR");
  std::ifstream In(std::string(Source ? Source : ".") + "/library/" + AName);
  EXPECT_TRUE(In) << AName;
  std::vector<std::string> R;
  bool Exports = false;
  for (std::string Line; std::getline(In, Line);) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Exports && !Line.empty()) R.push_back(Line.substr(Line.find_first_not_of(' ')));
    Exports |= Line == "EXPORTS";
  }
  return R;
}

}  // namespace

TEST(ExportList, ModuleDefinitionFilesFollowTheList) {
  std::vector<std::string> Win32, X64;
#define VOK_DEF_LINES(AResult, AName, AParams)                                          \
  Win32.push_back(std::string(#AName) + " = " + #AName + "@" +                          \
                  std::to_string(StackBytes(static_cast<AResult(VOK_STDCALL *) AParams>(nullptr)))); \
  X64.push_back(#AName);
  VOK_EXPORTS(VOK_DEF_LINES)
#undef VOK_DEF_LINES
  EXPECT_EQ(Win32.size(), 41u);
  EXPECT_EQ(DefLines("Vokabra.def"), Win32);
  EXPECT_EQ(DefLines("Vokabra64.def"), X64);
}
