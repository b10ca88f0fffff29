#include "tools/vok/Import.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unordered_map>

#include "lookup/Cp1251.h"
#include "lookup/Lookup.h"
#include "lookup/ShortStr.h"
#include "lookup/TextFile.h"
#include "lookup/VokRules.h"
#include "tools/vok/Check.h"

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

// Where a setting comes from: its option (line 0) or its settings row, and its value there in
// Windows-1251.
struct TSetting {
  int Line;
  std::string What;  // "--display" or "\"Display=\"", for messages
  std::string Value;
};

// The setting of AKey from its option AOptionName, or else from its settings row (a value in
// UTF-8); nothing when neither gives it.
std::optional<TSetting> SettingOf(const TConsole &AConsole, THeaderKey AKey, const char *AOptionName,
                                  const std::optional<std::string> &AOption, const std::optional<TSetting> &ARow,
                                  TProblems &AProblems) {
  if (AOption) return TSetting{0, AOptionName, AConsole.FromArg(*AOption)};
  if (!ARow) return std::nullopt;
  TSetting S{ARow->Line, std::string("\"") + HeaderKeyName(AKey) + "=\"", {}};
  TUtf8Problem P;
  if (!Utf8To1251(ARow->Value, S.Value, &P))
    AProblems.Add(S.Line, TSeverity::Error, S.What + ": " + Utf8ProblemText(ARow->Value, P));
  return S;
}

// A header value; reports what keeps it out of a header line.
const std::string &HeaderValue(const TSetting &ASetting, TProblems &AProblems) {
  const std::string &V = ASetting.Value;
  if (V.size() > MaxShortLen)
    AProblems.Add(ASetting.Line, TSeverity::Error,
                  ASetting.What + ": " + std::to_string(V.size()) + " characters; at most 255 are allowed");
  if (std::any_of(V.begin(), V.end(), [](char C) { return static_cast<unsigned char>(C) < 32; }))
    AProblems.Add(ASetting.Line, TSeverity::Error,
                  ASetting.What + ": control characters cannot stand in a header line");
  else if (!V.empty() && IsBlankChar(V.back()))
    AProblems.Add(ASetting.Line, TSeverity::Warning,
                  ASetting.What + ": the value ends with blanks, which LoadAllVok (it trims lines) drops");
  return V;
}

std::string DefaultSection(const std::string &ACsvFile) {
  std::string Name = ACsvFile.substr(ACsvFile.find_last_of("/\\") + 1);
  const std::size_t Dot = Name.rfind('.');
  if (Dot != std::string::npos && Dot > 0) Name.resize(Dot);
  return Name;
}

// A table's text in UTF-8, and how its bytes were read, in words.
struct TDecoded {
  std::string Text;
  std::string How;
};

TDecoded Decode(std::string AData, std::optional<TCsvEncoding> AForced) {
  std::size_t MarkLength;
  const TEncoding Mark = EncodingOfMark(AData, MarkLength);
  TCsvEncoding E;
  const char *Why;
  if (AForced) {
    E = *AForced;
    Why = "--encoding";
  } else if (Mark != TEncoding::Ansi) {
    E = Mark == TEncoding::Utf8Mark ? TCsvEncoding::Utf8 : TCsvEncoding::Utf16;
    Why = "byte order mark";
  } else if (IsUtf8(AData)) {
    E = TCsvEncoding::Utf8;
    Why = "no byte order mark";
  } else {
    E = TCsvEncoding::Cp1251;
    Why = "not valid UTF-8";
  }
  if (E == TCsvEncoding::Utf16) E = Mark == TEncoding::Utf16Be ? TCsvEncoding::Utf16Be : TCsvEncoding::Utf16Le;
  TDecoded D;
  if (E == TCsvEncoding::Utf8) {
    D.Text = std::move(AData);
    if (Mark == TEncoding::Utf8Mark) D.Text.erase(0, MarkLength);
    D.How = "UTF-8";
  } else if (E == TCsvEncoding::Cp1251) {
    D.Text = Cp1251ToUtf8(AData);
    D.How = "Windows-1251";
  } else {
    const bool Be = E == TCsvEncoding::Utf16Be;
    const bool OwnMark = Mark == (Be ? TEncoding::Utf16Be : TEncoding::Utf16Le);
    AppendUtf16AsUtf8(std::string_view(AData).substr(OwnMark ? MarkLength : 0), Be, true, D.Text);
    D.How = Be ? "UTF-16 big-endian" : "UTF-16";
  }
  D.How += std::string(" (") + Why + ")";
  return D;
}

// The first character after any apostrophes begins a formula.
bool FormulaAfterApostrophes(std::string_view AText) {
  const std::size_t P = AText.find_first_not_of('\'');
  return P != std::string_view::npos && std::string_view("=+-@").find(AText[P]) != std::string_view::npos;
}

}  // namespace

std::optional<TCsvEncoding> CsvEncodingByName(std::string_view AName) {
  std::string N;
  for (char C : AName)
    if (C != '-' && C != '_' && C != ' ') N += static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  if (N == "utf8") return TCsvEncoding::Utf8;
  if (N == "utf16" || N == "unicode") return TCsvEncoding::Utf16;
  if (N == "utf16le") return TCsvEncoding::Utf16Le;
  if (N == "utf16be") return TCsvEncoding::Utf16Be;
  if (N == "cp1251" || N == "windows1251" || N == "win1251" || N == "1251") return TCsvEncoding::Cp1251;
  return std::nullopt;
}

bool IsSettingsCell(std::string_view ACell) {
  const std::size_t Eq = ACell.find('=');
  return Eq != std::string_view::npos && HeaderKeyOf(ACell.substr(0, Eq));
}

char DetectSeparator(std::string_view AData) {
  for (std::size_t Pos = 0; Pos < AData.size();) {
    std::size_t Tabs = 0, Semicolons = 0, Commas = 0, End = Pos;
    for (bool Quoted = false; End < AData.size() && (Quoted || AData[End] != '\n'); ++End) {
      const char C = AData[End];
      if (C == '"')
        Quoted = !Quoted;
      else if (!Quoted && C == '\t')
        ++Tabs;
      else if (!Quoted && C == ';')
        ++Semicolons;
      else if (!Quoted && C == ',')
        ++Commas;
    }
    const std::string_view Line = AData.substr(Pos, End - Pos);
    Pos = End + 1;
    if (TrimView(Line).empty() || IsSettingsCell(Line.substr(!Line.empty() && Line[0] == '"'))) continue;
    if (Tabs && Tabs >= Semicolons && Tabs >= Commas) return '\t';
    return Semicolons && Semicolons >= Commas ? ';' : ',';
  }
  return ',';
}

std::string CsvField(std::string_view AText, char ASeparator) {
  const bool Quote = !AText.empty() && (AText.front() == ' ' || AText.back() == ' ' ||
                                        std::any_of(AText.begin(), AText.end(), [&](char C) {
                                          return C == ASeparator || C == '"' || static_cast<unsigned char>(C) < 32;
                                        }));
  if (!Quote) return std::string(AText);
  std::string R = "\"";
  for (char C : AText) R += C == '"' ? std::string("\"\"") : std::string(1, C);
  return R + "\"";
}

std::string GuardFormula(std::string_view AText) {
  return FormulaAfterApostrophes(AText) ? "'" + std::string(AText) : std::string(AText);
}

std::string UnguardFormula(std::string_view AText) {
  return AText.substr(0, 1) == "'" && FormulaAfterApostrophes(AText) ? std::string(AText.substr(1))
                                                                     : std::string(AText);
}

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
  const TDecoded Table = Decode(std::move(Data), AOptions.Encoding);
  const char Separator = AOptions.Separator ? *AOptions.Separator : DetectSeparator(Table.Text);
  AConsole.Err << "vok: " << AOptions.CsvFile << ": " << Table.How << ", separator "
               << (Separator == '\t' ? std::string("tab") : "\"" + std::string(1, Separator) + "\"")
               << (AOptions.Separator ? " (--sep)" : "") << "\n";

  TProblems Problems;
  std::vector<TItem> Items;
  std::optional<TSetting> Rows[std::size(HeaderKeys)];  // the settings rows, values in UTF-8
  bool Settings = true, First = true;
  for (const TCsvRecord &R : ParseCsv(Table.Text, Separator)) {
    Settings = Settings && !R.Fields.empty() && IsSettingsCell(R.Fields[0]);
    if (Settings) {
      const std::string &Cell = R.Fields[0];
      const std::size_t Eq = Cell.find('=');
      std::optional<TSetting> &Row = Rows[static_cast<std::size_t>(*HeaderKeyOf(std::string_view(Cell).substr(0, Eq)))];
      if (!R.Problem.empty())
        Problems.Add(R.Line, TSeverity::Error, R.Problem);
      else if (std::any_of(R.Fields.begin() + 1, R.Fields.end(), [](const std::string &F) { return !F.empty(); }))
        Problems.Add(R.Line, TSeverity::Error, "a settings row holds its header line in its first cell alone");
      else if (Row)
        Problems.Add(R.Line, TSeverity::Error,
                     "repeated " + Quote(Cell.substr(0, Eq + 1)) + " row: the one on line " +
                         std::to_string(Row->Line) + " gives it");
      else
        Row = TSetting{R.Line, {}, Cell.substr(Eq + 1)};
      continue;
    }
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
      const std::string Why = ConvertField(UnguardFormula(R.Fields[C]), *Targets[C - 1], C == 3);
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

  // The header lines: from the options, else from the settings rows, else the defaults.
  const auto Setting = [&](THeaderKey AKey, const char *AOptionName, const std::optional<std::string> &AOption) {
    return SettingOf(AConsole, AKey, AOptionName, AOption, Rows[static_cast<std::size_t>(AKey)], Problems);
  };
  std::vector<int32_t> Widths;
  if (const auto Format = Setting(THeaderKey::Format, "--format", AOptions.Format)) {
    const std::vector<std::string_view> Pieces = SplitWidths(Format->Value);
    for (std::size_t N = 0; N < Pieces.size(); ++N) {
      const std::string_view Piece = Pieces[N];
      const auto W = TryStrToInt(TrimView(Piece));
      if (!W)
        Problems.Add(Format->Line, TSeverity::Error,
                     Format->What + ": width " + std::to_string(N + 1) + " " + Quote(Piece) +
                         " does not convert: " + WhyNotInt(TrimView(Piece)));
      else if (*W < 1)
        Problems.Add(Format->Line, TSeverity::Error,
                     Format->What + ": width " + std::to_string(N + 1) + " is not positive");
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
  if (const auto Given = Setting(THeaderKey::Display, "--display", AOptions.Display)) {
    Display = HeaderValue(*Given, Problems);
  } else {
    for (std::size_t K = 1; K <= Widths.size(); ++K) Display += "%" + std::to_string(K);
  }
  const auto GivenDelimit = Setting(THeaderKey::Delimit, "--delimit", AOptions.Delimit);
  const std::string Delimit = GivenDelimit ? HeaderValue(*GivenDelimit, Problems) : ",";
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
  if (AOptions.Output.empty())
    AConsole.Out << Text.str();
  else if (!WriteWholeFile(AConsole, AOptions.Output, Text.str(), true))
    return 2;
  return Warned ? 1 : 0;
}

}  // namespace vok::tool
