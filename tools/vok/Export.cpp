#include "tools/vok/Export.h"

#include <algorithm>
#include <vector>

#include "lookup/Lookup.h"
#include "lookup/ShortStr.h"
#include "lookup/TextOps.h"
#include "lookup/VokRules.h"
#include "tools/vok/Check.h"
#include "tools/vok/Import.h"
#include "tools/vok/Tree.h"

namespace vok::tool {

namespace {

// SECTION.csv, the characters that Windows does not allow in file names replaced by "_".
std::string DefaultOutput(std::string_view ASection) {
  std::string R;
  for (char C : ASection)
    R += static_cast<unsigned char>(C) < 32 || std::string_view("<>:\"/\\|?*").find(C) != std::string_view::npos ? '_'
                                                                                                                 : C;
  return R + ".csv";
}

}  // namespace

int RunExport(const TConsole &AConsole, const TExportOptions &AOptions) {
  const std::string Name = ShortStr(TrimView(AConsole.FromArg(AOptions.Section)));
  if (Name.empty()) {
    AConsole.Err << "vok: export: the section name is blank\n";
    return 2;
  }
  TLookup Lookup;
  std::vector<TNumberedLine> Lines;
  if (!LoadSection(AConsole, AOptions.VokFile, Name, "*", Lookup, &Lines)) return 2;

  const std::string Sep(1, AOptions.Separator);
  std::string Csv = "\xEF\xBB\xBF";
  for (const std::string &Setting :
       {"Format=" + JoinInts(Lookup.Formats(), ","), "Display=" + Lookup.Display(), "Delimit=" + Lookup.Delimiter()})
    Csv += CsvField(AnsiToUtf8(Setting), AOptions.Separator) + "\r\n";
  Csv += "code" + Sep + "text" + Sep + "extra text" + Sep + "tag\r\n";

  int Items = 0;
  bool Warned = false;
  auto Warn = [&](int ALine, int32_t ACode, const std::string &AText) {
    AConsole.Err << AOptions.VokFile << ":" << ALine << ": warning: item " << ACode << " " << AText << "\n";
    Warned = true;
  };
  for (const TNumberedLine &L : Lines) {
    const TSectionLine Line = ReadSectionLine(L.Text);
    if (Line.Kind != TSectionLine::Item) continue;
    ++Items;
    Csv += std::to_string(Line.Code);
    for (const std::string_view Part : {Line.Text, Line.Extra, Line.Tag})
      Csv += Sep + CsvField(GuardFormula(AnsiToUtf8(Part)), AOptions.Separator);
    Csv += "\r\n";
    if (Line.HasHash && Line.Extra.empty() && Line.Tag.empty())
      Warn(L.Number, Line.Code,
           "has an empty \"#\" part, which the table cannot show: imported again, the item has no \"#\" part, so "
           "every filter keeps it");
    if (std::any_of(Line.Value.begin(), Line.Value.end(), [](char C) { return static_cast<unsigned char>(C) < 32; }))
      Warn(L.Number, Line.Code, "holds a control character (a tab?), which vok import refuses");
  }

  if (AOptions.Output == "-") {
    AConsole.Out << Csv;
  } else {
    const std::string Path = AOptions.Output.empty() ? DefaultOutput(TrimView(AOptions.Section)) : AOptions.Output;
    if (!WriteWholeFile(AConsole, Path, Csv, !AOptions.Output.empty())) return 2;
    AConsole.Err << "vok: export: " << Items << (Items == 1 ? " item" : " items") << " of "
                 << AConsole.Show("[" + Name + "]") << " written to " << Path << "\n";
  }
  return Warned ? 1 : 0;
}

}  // namespace vok::tool
