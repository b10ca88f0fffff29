#include "tools/vok/Tree.h"

#include "lookup/CodeList.h"
#include "lookup/Lookup.h"
#include "lookup/ShortStr.h"
#include "lookup/TextFile.h"
#include "lookup/VokRules.h"

namespace vok::tool {

namespace {

void PrintLevel(const TConsole &AConsole, const TLookup &ALookup, int ALevel, int32_t AFilterId) {
  TCodeList Rows(true, TDuplicates::Ignore);
  ALookup.LoadGroup(ALevel, AFilterId, Rows);
  for (int I = 0; I < Rows.Count(); ++I) {
    const TCodeRow &Row = Rows[I];
    if (Row.Code == UndefinedValueCode && Row.Text == UndefinedValueText) continue;
    // Row 0 ends the dialog at once, whatever it holds; it is normally the undefined-value row.
    const bool Row0 = I == 0;
    std::string Line(static_cast<std::size_t>(ALevel) * 2, ' ');
    Line += std::to_string(Row.Code) + " " + Row.Text;
    if (Row0) Line += "  <- row 0: the dialog returns it at once";
    AConsole.Out << AConsole.Show(Line) << "\n";
    if (!Row0 && ALevel + 1 < ALookup.GroupCount()) PrintLevel(AConsole, ALookup, ALevel + 1, Row.Code);
  }
}

}  // namespace

bool LoadSection(const TConsole &AConsole, const std::string &AFile, const std::string &AName, std::string_view AFilter,
                 TLookup &ALookup, std::vector<TNumberedLine> *ALines) {
  std::vector<TNumberedLine> Lines;
  try {
    TTextReader Reader(AFile);
    if (!FindSection(Reader, AName)) {
      AConsole.Err << AFile << ": error: " << AConsole.Show("no section [" + AName + "]") << "\n";
      return false;
    }
    std::string_view Line;
    while (NextSectionLine(Reader, Line)) Lines.push_back({static_cast<int>(Reader.LineNumber()), std::string(Line)});
  } catch (const EInOutError &E) {
    AConsole.Err << AFile << ": error: cannot read the file: " << E.what() << "\n";
    return false;
  }
  ALookup.BeginLoad(AFile, AName, AName, AFilter);
  for (const TNumberedLine &L : Lines) ALookup.AddLine(L.Text);
  ALookup.EndLoad();
  if (!ALookup.Ready()) {
    AConsole.Err << AFile << ": error: " << AConsole.Show("section [" + AName + "] does not load through LoadVok")
                 << " (\"vok check " << AFile << "\" tells why)\n";
    return false;
  }
  if (ALines) *ALines = std::move(Lines);
  return true;
}

int RunTree(const TConsole &AConsole, const std::string &AFile, std::string_view ASection, std::string_view AFilter) {
  const std::string Name = ShortStr(TrimView(ASection));
  if (Name.empty()) {
    AConsole.Err << "vok: tree: the section name is blank\n";
    return 2;
  }
  TLookup Lookup;
  if (!LoadSection(AConsole, AFile, Name, AFilter, Lookup)) return 2;
  PrintLevel(AConsole, Lookup, 0, 0);
  return 0;
}

}  // namespace vok::tool
