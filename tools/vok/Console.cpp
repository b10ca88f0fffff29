#include "tools/vok/Console.h"

#include "lookup/Cp1251.h"

namespace vok::tool {

std::string TConsole::Show(std::string_view A1251) const { return Utf8 ? Cp1251ToUtf8(A1251) : std::string(A1251); }

std::string TConsole::FromArg(std::string_view AArg) const {
  std::string R;
  if (Utf8 && Utf8To1251(AArg, R)) return R;
  return std::string(AArg);
}

}  // namespace vok::tool
