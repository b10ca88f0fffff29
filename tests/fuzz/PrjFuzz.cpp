// Projection files: the group and entry lists from any text, read failures at any line,
// and the CoordSys clause from any entry, which may refuse it with EConvertError only.
#include <algorithm>
#include <cstddef>
#include <set>

#include "forms/ProjData.h"
#include "tests/fuzz/FuzzCommon.h"

using namespace vok;
using namespace vok::fuzz;

namespace {

// Lines of a fresh reader over AText; with AFailAt > 0 the read of that line fails.
TLineSource Source(TMemoryText &AText, std::size_t ABlockSize, int AFailAt = 0) {
  std::shared_ptr<TTextReader> Reader = AText.Open(ABlockSize);
  auto Count = std::make_shared<int>(0);
  return [Reader, Count, AFailAt](std::string &ALine) {
    if (++*Count == AFailAt) throw EInOutError("Read error");
    return Reader->ReadLine(ALine);
  };
}

void CheckCoordSys(const std::string &AName, const std::string &AParams) {
  try {
    const TCoordSys C = GetCoordSys(AName, AParams);
    VOK_CHECK(C.Name == AName);
    VOK_CHECK(C.Clause == AName || C.Clause.rfind("CoordSys ", 0) == 0);
    VOK_CHECK(C.UnitStr.empty() || (C.UnitStr.size() >= 3 && C.UnitStr.front() == '"' && C.UnitStr.back() == '"'));
    VOK_CHECK(C.UnitStr.empty() || !C.UnitName.empty());
  } catch (const EConvertError &) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, std::size_t ASize) {
  const std::string_view Text(reinterpret_cast<const char *>(AData), ASize);
  TMemoryText Memory(Text);
  const std::size_t Block = 1 + ASize % 11;
  const int LineCount = static_cast<int>(ReferenceLines(Text).size());

  std::vector<std::string> Groups;
  VOK_CHECK(LoadPrjGroups(Source(Memory, Block), Groups) == prjOk);

  // A read that fails keeps the groups before the failing line and reports its number.
  const int FailAt = 1 + static_cast<int>(ASize % static_cast<std::size_t>(LineCount + 1));
  std::vector<std::string> Before;
  VOK_CHECK(LoadPrjGroups(Source(Memory, Block, FailAt), Before) == FailAt);
  VOK_CHECK(Before.size() <= Groups.size() && std::equal(Before.begin(), Before.end(), Groups.begin()));

  std::set<std::string> Seen;
  for (const std::string &Group : Groups) {
    if (!Seen.insert(Group).second || Seen.size() > 6) continue;
    std::vector<std::string> Names, Params;
    VOK_CHECK(LoadPrjNames(Source(Memory, Block), Group, Names, Params) == prjOk);
    VOK_CHECK(Names.size() == Params.size());
    for (std::size_t I = 0; I < Names.size(); ++I) CheckCoordSys(Names[I], Params[I]);

    std::vector<std::string> FailedNames{"x"}, FailedParams{"y"};
    const int R = LoadPrjNames(Source(Memory, Block, FailAt), Group, FailedNames, FailedParams);
    if (R == prjOk)
      VOK_CHECK(FailedNames == Names && FailedParams == Params);
    else
      VOK_CHECK(R == FailAt && FailedNames.empty() && FailedParams.empty());
  }
  std::vector<std::string> Names{"x"}, Params;
  VOK_CHECK(LoadPrjNames(Source(Memory, Block), "\x01 no such group", Names, Params) == prjOk);

  // Every line of the text as an entry's parameter text.
  int Checked = 0;
  for (const std::string &Line : ReferenceLines(Text))
    if (++Checked <= 64) CheckCoordSys("entry", Line);
  return 0;
}
