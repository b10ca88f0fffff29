#include "tools/vok/Import.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unordered_map>

#include "lookup/Lookup.h"
#include "lookup/ShortStr.h"
#include "lookup/VokRules.h"
#include "tools/vok/Check.h"
#include "lookup/Cp1251.h"

namespace vok::tool {

namespace {

const char *const ColumnNames[] = {"code", "text", "extra text", "tag"};

std::string Column(std::size_t AIndex) {
  return "column " + std::to_string(AIndex + 1) + " (" + ColumnNames[AIndex] + ")";
}

// Converts one UTF-8 field to Windows-1251; returns the reason it cannot stand in a .vok line,
// or an empty text.
std::string ConvertField(std::string_view AUtf8, std::string &AOut, bool AHashAllowed) {
  TUtf8Problem P;
  if (!Utf8To1251(AUtf8, AOut, &P)) return Utf8ProblemText(AUtf8, P);
  for (char C : AOut) {
    if (C == '\n' || C == '\r') return "line break inside the field: a .vok line cannot hold it";
    if (static_cast<unsigned char>(C) < 32)
      return "control character " + std::to_string(static_cast<unsigned char>(C)) + " (tab, or a code below 32)";
  }
  if (!AHashAllowed && AOut.find('#') != std::string::npos)
    return "contains \"#\", which the .vok format uses to separate the parts of an item line";
  return std::string();
}

struct TItem {
  int Line;
  int32_t Code;
  std::string Text, Extra, Tag;
};

struct TProblems {
  std::vector<TDiagnostic> List;
  void Add(int ALine, TSeverity ASeverity, std::string AText) { List.push_back({ALine, ASeverity, std::move(AText)}); }
  bool HasErrors() const {
    return std::any_of(List.begin(), List.end(), [](const TDiagnostic &D) { return D.Severity == TSeverity::Error; });
  }
};

// A header value from the command line; reports (line 0) what keeps it out of a header line.
std::string HeaderValue(const TConsole &AConsole, const char *AOption, const std::string &AValue,
                        TProblems &AProblems) {
  const std::string V = AConsole.FromArg(AValue);
  if (V.size() > MaxShortLen)
    AProblems.Add(0, TSeverity::Error,
                  std::string(AOption) + ": " + std::to_string(V.size()) + " characters; at most 255 are allowed");
  if (std::any_of(V.begin(), V.end(), [](char C) { return static_cast<unsigned char>(C) < 32; }))
    AProblems.Add(0, TSeverity::Error, std::string(AOption) + ": control characters cannot stand in a header line");
  else if (!V.empty() && IsBlankChar(V.back()))
    AProblems.Add(0, TSeverity::Warning,
                  std::string(AOption) + ": the value ends with blanks, which LoadAllVok (it trims lines) drops");
  return V;
}

std::string DefaultSection(const std::string &ACsvFile) {
  std::string Name = ACsvFile.substr(ACsvFile.find_last_of("/\\") + 1);
  const std::size_t Dot = Name.rfind('.');
  if (Dot != std::string::npos && Dot > 0) Name.resize(Dot);
  return Name;
}

}  // namespace

std::vector<TCsvRecord> ParseCsv(std::string_view AData, char ASeparator) {
  std::vector<TCsvRecord> Records;
  std::size_t Pos = 0;
  int Line = 1;
  const std::size_t Size = AData.size();
  auto AtLineEnd = [&](std::size_t P) {
    return P >= Size || AData[P] == '\n' || (AData[P] == '\r' && P + 1 < Size && AData[P + 1] == '\n') ||
           (AData[P] == '\r' && P + 1 == Size);
  };
  while (Pos < Size) {
    TCsvRecord R{Line, {}, {}};
    bool AnyQuoted = false;
    for (;;) {
      std::string Field;
      if (Pos < Size && AData[Pos] == '"') {
        AnyQuoted = true;
        ++Pos;
        bool Closed = false;
        while (Pos < Size) {
          const char C = AData[Pos];
          if (C == '"') {
            if (Pos + 1 < Size && AData[Pos + 1] == '"') {
              Field += '"';
              Pos += 2;
              continue;
            }
            ++Pos;
            Closed = true;
            break;
          }
          if (C == '\n') ++Line;
          Field += C;
          ++Pos;
        }
        if (!Closed && R.Problem.empty()) R.Problem = "a quoted field is not closed";
        if (Closed && !AtLineEnd(Pos) && AData[Pos] != ASeparator) {
          if (R.Problem.empty()) R.Problem = "text after the closing quote of a field";
          while (!AtLineEnd(Pos) && AData[Pos] != ASeparator) ++Pos;
        }
      } else {
        while (!AtLineEnd(Pos) && AData[Pos] != ASeparator) Field += AData[Pos++];
      }
      R.Fields.push_back(std::move(Field));
      if (Pos < Size && AData[Pos] == ASeparator) {
        ++Pos;
        continue;
      }
      break;
    }
    if (Pos < Size && AData[Pos] == '\r') ++Pos;
    if (Pos < Size && AData[Pos] == '\n') ++Pos;
    ++Line;
    if (!(R.Fields.size() == 1 && R.Fields[0].empty() && !AnyQuoted)) Records.push_back(std::move(R));
  }
  return Records;
}

int RunImport(const TConsole &AConsole, const TImportOptions &AOptions) {
  std::string Data;
  {
    std::ifstream In(AOptions.CsvFile, std::ios::binary);
    if (!In) {
      AConsole.Err << AOptions.CsvFile << ": error: cannot read the file\n";
      return 2;
    }
    Data.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
  if (Data.compare(0, 3, "\xEF\xBB\xBF") == 0) Data.erase(0, 3);

  TProblems Problems;
  std::vector<TItem> Items;
  bool First = true;
  for (const TCsvRecord &R : ParseCsv(Data, AOptions.Separator)) {
    const bool Heading = First && !R.Fields.empty() && !LooksLikeCode(R.Fields[0]) && R.Problem.empty();
    First = false;
    if (Heading) {
      Problems.Add(R.Line, TSeverity::Note, "taken as the column headings and skipped");
      continue;
    }
    if (!R.Problem.empty()) {
      Problems.Add(R.Line, TSeverity::Error, R.Problem);
      continue;
    }
    if (R.Fields.size() < 2) {
      Problems.Add(R.Line, TSeverity::Error, "a row needs at least a code and a text");
      continue;
    }
    if (R.Fields.size() > 4 &&
        std::any_of(R.Fields.begin() + 4, R.Fields.end(), [](const std::string &F) { return !F.empty(); })) {
      Problems.Add(R.Line, TSeverity::Error, "more than 4 columns (code, text, extra text, tag)");
      continue;
    }
    TItem Item{R.Line, 0, {}, {}, {}};
    bool Good = true;
    const std::string_view CodeText = TrimView(R.Fields[0]);
    if (const auto Code = TryStrToInt(CodeText)) {
      Item.Code = *Code;
    } else {
      std::string Shown;
      if (!Utf8To1251(CodeText, Shown)) Shown = "?";
      Problems.Add(R.Line, TSeverity::Error,
                   Column(0) + ": " + Quote(Shown) + " does not convert: " + WhyNotInt(CodeText));
      Good = false;
    }
    std::string *Targets[] = {&Item.Text, &Item.Extra, &Item.Tag};
    for (std::size_t C = 1; C < R.Fields.size() && C < 4; ++C) {
      const std::string Why = ConvertField(R.Fields[C], *Targets[C - 1], C == 3);
      if (Why.empty()) continue;
      Problems.Add(R.Line, TSeverity::Error, Column(C) + ": " + Why);
      Good = false;
    }
    if (!Good) continue;
    if (Item.Text.empty()) Problems.Add(R.Line, TSeverity::Warning, "the text is empty");
    if (Item.Tag.find(';') != std::string::npos)
      Problems.Add(
          R.Line, TSeverity::Warning,
          "the tag holds \";\", which separates the tags of a filter: no filter naming it alone keeps the item");
    // The last part of the line loses its trailing blanks when LoadAllVok trims the line.
    const std::size_t Last = !Item.Tag.empty() ? 3 : !Item.Extra.empty() ? 2 : 1;
    const std::string &LastText = *Targets[Last - 1];
    if (!LastText.empty() && IsBlankChar(LastText.back()))
      Problems.Add(R.Line, TSeverity::Warning,
                   Column(Last) + " ends with blanks, which LoadAllVok (it trims lines) drops");
    Items.push_back(std::move(Item));
  }

  // The header lines.
  std::vector<int32_t> Widths;
  if (AOptions.Format) {
    const std::string V = AConsole.FromArg(*AOptions.Format);
    const std::vector<std::string_view> Pieces = SplitWidths(V);
    for (std::size_t N = 0; N < Pieces.size(); ++N) {
      const std::string_view Piece = Pieces[N];
      const auto W = TryStrToInt(TrimView(Piece));
      if (!W)
        Problems.Add(0, TSeverity::Error,
                     "--format: width " + std::to_string(N + 1) + " " + Quote(Piece) +
                         " does not convert: " + WhyNotInt(TrimView(Piece)));
      else if (*W < 1)
        Problems.Add(0, TSeverity::Error, "--format: width " + std::to_string(N + 1) + " is not positive");
      else
        Widths.push_back(*W);
    }
  } else {
    int Digits = 1;
    for (const TItem &I : Items)
      Digits = std::max(Digits, static_cast<int>(std::to_string(I.Code < 0 ? -int64_t(I.Code) : I.Code).size()));
    Widths.push_back(Digits);
  }
  std::string Display;
  if (AOptions.Display) {
    Display = HeaderValue(AConsole, "--display", *AOptions.Display, Problems);
  } else {
    for (std::size_t K = 1; K <= Widths.size(); ++K) Display += "%" + std::to_string(K);
  }
  const std::string Delimit = AOptions.Delimit ? HeaderValue(AConsole, "--delimit", *AOptions.Delimit, Problems) : ",";
  const std::string Section = AConsole.FromArg(AOptions.Section ? *AOptions.Section : DefaultSection(AOptions.CsvFile));
  if (TrimView(Section).empty())
    Problems.Add(0, TSeverity::Error, "the section name is blank");
  else if (TrimView(Section) != Section)
    Problems.Add(0, TSeverity::Error, "the section name begins or ends with blanks, so LoadVok could not find it");
  else if (Section.size() > MaxShortLen)
    Problems.Add(0, TSeverity::Error, "the section name is longer than 255 characters");
  else if (std::any_of(Section.begin(), Section.end(), [](char C) { return static_cast<unsigned char>(C) < 32; }))
    Problems.Add(0, TSeverity::Error, "the section name holds control characters");

  std::vector<std::string> Lines;
  if (!Problems.HasErrors()) {
    std::string Format;
    for (std::size_t K = 0; K < Widths.size(); ++K) Format += (K ? "," : "") + std::to_string(Widths[K]);
    Lines = {"Format=" + Format, "Display=" + Display, "Delimit=" + Delimit};
    for (const TItem &I : Items) {
      std::string L = std::to_string(I.Code) + "=" + I.Text;
      if (!I.Extra.empty() || !I.Tag.empty()) L += "#" + I.Extra;
      if (!I.Tag.empty()) L += "#" + I.Tag;
      Lines.push_back(std::move(L));
    }
    // What the loaders will make of it: duplicates, ancestors, digits, lengths, filters.
    std::vector<TSourceLine> Source;
    for (std::size_t K = 0; K < Lines.size(); ++K) Source.push_back({K < 3 ? 0 : Items[K - 3].Line, Lines[K]});
    TLookup Lookup;
    Lookup.BeginLoad(AOptions.CsvFile, Section, Section, "*");
    for (const std::string &L : Lines) Lookup.AddLine(L);
    Lookup.EndLoad();
    std::vector<TDiagnostic> Found;
    CheckSectionLines(ByLoadVok, Section, 0, Source, Lookup, Found);
    for (TDiagnostic &D : Found) Problems.List.push_back(std::move(D));
    if (!Lookup.Ready() && !Problems.HasErrors())
      Problems.Add(0, TSeverity::Error, "the section made from this file does not load");
  }

  std::stable_sort(Problems.List.begin(), Problems.List.end(),
                   [](const TDiagnostic &A, const TDiagnostic &B) { return A.Line < B.Line; });
  bool Warned = false;
  for (const TDiagnostic &D : Problems.List) {
    Warned |= D.Severity == TSeverity::Warning;
    if (D.Line)
      AConsole.Err << AOptions.CsvFile << ":" << D.Line << ": ";
    else
      AConsole.Err << "vok: import: ";
    AConsole.Err << SeverityName(D.Severity) << ": " << AConsole.Show(D.Text) << "\n";
  }
  if (Problems.HasErrors()) {
    AConsole.Err << "vok: import: nothing written\n";
    return 2;
  }

  std::ostringstream Text;
  Text << "[" << Section << "]\r\n";
  for (const std::string &L : Lines) Text << L << "\r\n";
  if (AOptions.Output.empty()) {
    AConsole.Out << Text.str();
  } else {
    std::ofstream Out(AOptions.Output, std::ios::binary | std::ios::trunc);
    if (!(Out << Text.str()) || !Out.flush()) {
      AConsole.Err << AOptions.Output << ": error: cannot write the file\n";
      return 2;
    }
  }
  return Warned ? 1 : 0;
}

}  // namespace vok::tool
