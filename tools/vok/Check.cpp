#include "tools/vok/Check.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "lookup/CodeList.h"
#include "lookup/ShortStr.h"
#include "lookup/TextFile.h"
#include "lookup/TextOps.h"
#include "lookup/VokFile.h"
#include "lookup/VokRules.h"
#include "lookup/Cp1251.h"

namespace vok::tool {

namespace {

inline bool IsDigit(char C) { return C >= '0' && C <= '9'; }

std::string Str(int64_t AValue) { return std::to_string(AValue); }

// "1st", "2nd" ... for widths and columns.
std::string Ordinal(std::size_t N) {
  const char *Suffix = (N % 100 >= 11 && N % 100 <= 13) ? "th"
                       : N % 10 == 1                    ? "st"
                       : N % 10 == 2                    ? "nd"
                       : N % 10 == 3                    ? "rd"
                                                        : "th";
  return std::to_string(N) + Suffix;
}

std::string SectionRef(std::string_view AName) { return "section [" + std::string(AName) + "]"; }

int DigitCount(int32_t ACode) {
  int64_t V = ACode < 0 ? -int64_t(ACode) : ACode;
  int N = 1;
  while (V >= 10) V /= 10, ++N;
  return N;
}

// One item line as a loader splits it.
struct TItemLine {
  int Line;
  int32_t Code;
  std::string_view Text, Extra, Tag;
  bool HasHash;  // the line has a "#" part: filters apply to it
};

// A header key and what one loader found of it.
struct TKeyState {
  explicit TKeyState(THeaderKey AKey) : Key(HeaderKeyName(AKey)) {}
  const char *Key;
  bool Found = false;
  int Line = 0;  // the line that counts
  std::string_view Value;
  struct TNearMiss {
    int Line;
    bool Indented;  // only blanks before the key; otherwise blanks between key and "="
  };
  std::vector<TNearMiss> NearMisses;
};

// The checks of one section along one loader's lines.
class TPathCheck {
 public:
  TPathCheck(unsigned APath, std::string_view ASectionName, int AHeaderLine, const std::vector<TSourceLine> &ALines,
             const TLookup &ALookup, std::vector<TDiagnostic> &AOut)
      : fPath(APath), fName(ASectionName), fHeaderLine(AHeaderLine), fLines(ALines), fLookup(ALookup), fOut(AOut) {}

  void Run() {
    ScanLines();
    CheckHeaders();
    CheckItemTexts();
    if (!fLookup.Ready()) return;
    fNeedsLoad = true;
    CheckDisplay();
    CheckCodes();
    if (fPath == ByLoadVok) CheckTags();
    Walk(0, 0);
  }

 private:
  void Add(int ALine, TSeverity ASeverity, std::string AText, bool AExplained = false) {
    fOut.push_back({ALine, ASeverity, std::move(AText), fPath, AExplained, fNeedsLoad});
  }
  const char *LoaderName() const { return fPath == ByLoadVok ? "LoadVok" : "LoadAllVok"; }
  std::string QuotedKey(const TKeyState &K) const { return std::string("\"") + K.Key + "=\""; }

  void ScanLines();
  void CheckHeaders();
  void CheckFormat(const TKeyState &K);
  void CheckDisplay();
  void CheckItemTexts();
  void CheckCodes();
  void CheckTags();
  void Walk(int ALevel, int32_t AFilterId);

  unsigned fPath;
  std::string_view fName;
  int fHeaderLine;
  const std::vector<TSourceLine> &fLines;
  const TLookup &fLookup;
  std::vector<TDiagnostic> &fOut;

  TKeyState fKeys[3] = {TKeyState(THeaderKey::Format), TKeyState(THeaderKey::Display), TKeyState(THeaderKey::Delimit)};
  std::vector<TItemLine> fItems;
  std::unordered_map<int32_t, std::size_t> fFirst;  // code -> its first item
  bool fNeedsLoad = false;                          // the checks that need the loaded dictionary run
};

void TPathCheck::ScanLines() {
  for (const TSourceLine &L : fLines) {
    const TSectionLine Line = ReadSectionLine(L.Text);
    if (Line.Kind == TSectionLine::NoKey) {
      const std::string_view T = TrimView(L.Text);
      if (!T.empty() && IsDigit(T[0]))
        Add(L.Number, TSeverity::Warning, "no \"=\" after the code: not an item line, ignored");
    } else if (Line.Kind == TSectionLine::Item) {
      fFirst.try_emplace(Line.Code, fItems.size());
      fItems.push_back({L.Number, Line.Code, Line.Text, Line.Extra, Line.Tag, Line.HasHash});
    } else if (Line.Kind == TSectionLine::Header) {
      TKeyState &K = fKeys[static_cast<int>(Line.HeaderKey)];
      if (!K.Found) {
        K.Found = true;
        K.Line = L.Number;
        K.Value = Line.Value;
      } else {
        Add(L.Number, TSeverity::Warning,
            "repeated " + QuotedKey(K) + " line: ignored, the one on line " + Str(K.Line) + " counts");
      }
    } else if (const auto Miss = HeaderKeyMiss(Line.Key)) {
      fKeys[static_cast<int>(Miss->Key)].NearMisses.push_back({L.Number, Miss->Indented});
    } else if (LooksLikeCode(Line.Key)) {
      Add(L.Number, TSeverity::Warning,
          "line skipped: code " + Quote(Line.Key) + " does not convert: " + WhyNotInt(Line.Key));
    }
  }
}

void TPathCheck::CheckHeaders() {
  for (TKeyState &K : fKeys) {
    for (const TKeyState::TNearMiss &M : K.NearMisses) {
      const TSeverity Severity = K.Found ? TSeverity::Warning : TSeverity::Error;
      std::string Why;
      if (M.Indented) {
        Why = "the key \"" + std::string(K.Key) +
              "\" is indented: LoadVok takes header keys only at the start of a line" +
              (K.Found ? ", so it ignores this one"
                       : ", so " + SectionRef(fName) + " has no " + QuotedKey(K) + " line for it") +
              " (LoadAllVok, which trims lines, accepts it)";
      } else {
        Why = "blank between \"" + std::string(K.Key) + "\" and \"=\": not a header line" +
              (K.Found ? std::string(", ignored") : ", so " + SectionRef(fName) + " has no " + QuotedKey(K) + " line");
      }
      Add(M.Line, Severity, Why, M.Indented);
    }
    if (!K.Found && K.NearMisses.empty())
      Add(fHeaderLine, TSeverity::Error, SectionRef(fName) + " has no " + QuotedKey(K) + " line");
  }
  if (fKeys[0].Found) CheckFormat(fKeys[0]);
  for (const TKeyState *K : {&fKeys[1], &fKeys[2]}) {
    if (!K->Found) continue;
    if (K->Value.size() > MaxShortLen)
      Add(K->Line, TSeverity::Error,
          QuotedKey(*K) + " value is " + Str(K->Value.size()) + " characters long; at most 255 are allowed");
    else if (fPath == ByLoadVok && !K->Value.empty() && IsBlankChar(K->Value.back()))
      Add(K->Line, TSeverity::Warning,
          QuotedKey(*K) + " value ends with blanks: LoadVok keeps them, LoadAllVok (which trims lines) drops them",
          true);
  }
}

// Placeholders of the display template that name no level stay in every display string.
void TPathCheck::CheckDisplay() {
  if (fKeys[1].Found) {
    const std::string_view T = fKeys[1].Value;
    const int Levels = fLookup.GroupCount();
    bool Any = false;
    std::set<std::string> Reported;
    for (std::size_t P = T.find('%'); P != std::string_view::npos; P = T.find('%', P + 1)) {
      std::size_t E = P + 1;
      while (E < T.size() && IsDigit(T[E])) ++E;
      if (E == P + 1) continue;
      const std::string_view Digits = T.substr(P + 1, E - P - 1);
      const bool Names = Digits[0] != '0' && Digits.size() <= 3 && std::stoi(std::string(Digits)) <= Levels;
      Any |= Names;
      if (!Names && Reported.insert(std::string(Digits)).second)
        Add(fKeys[1].Line, TSeverity::Warning,
            "placeholder \"%" + std::string(Digits) + "\" of \"Display=\" names no level (the section has " +
                Str(Levels) + "): it stays in the display strings as it is");
    }
    if (!Any && !T.empty())
      Add(fKeys[1].Line, TSeverity::Warning,
          "\"Display=\" has no placeholder %1..%" + Str(Levels) + ": every display string is this same text");
  }
}

void TPathCheck::CheckFormat(const TKeyState &K) {
  const std::string_view V = K.Value;
  if (V.empty()) {
    Add(K.Line, TSeverity::Error,
        "\"Format=\" has no value: it needs the digit width of each level, such as Format=2,2,3");
    return;
  }
  const std::vector<std::string_view> Pieces = SplitWidths(V);
  bool Converted = true;
  int64_t Total = 0;
  for (std::size_t I = 0; I < Pieces.size(); ++I) {
    const std::string_view P = Pieces[I];
    const auto Width = TryStrToInt(P);
    if (Width) {
      Total += *Width;
      if (*Width < 1)
        Add(K.Line, TSeverity::Warning,
            "width " + Str(*Width) + " of level " + Str(I + 1) +
                " is not positive: that level has no digits of its own");
      continue;
    }
    Converted = false;
    std::string Why;
    if (P.empty())
      Why = I == 0                   ? "it is empty (nothing before the first comma)"
            : I + 1 == Pieces.size() ? "it is empty (nothing after the last comma)"
                                     : "it is empty (two commas in a row)";
    else
      Why = Quote(P) + ": " + WhyNotInt(P);
    Add(K.Line, TSeverity::Error, "the " + Ordinal(I + 1) + " width of \"Format=\" does not convert: " + Why);
  }
  if (Converted && Total > 10)
    Add(K.Line, TSeverity::Warning,
        "the widths of \"Format=\" add up to " + Str(Total) + " digits; a 32-bit code has at most 10");
}

void TPathCheck::CheckItemTexts() {
  for (const TItemLine &I : fItems) {
    if (I.Text.size() > MaxShortLen)
      Add(I.Line, TSeverity::Warning,
          "text of item " + Str(I.Code) + " is " + Str(I.Text.size()) +
              " characters long: the library hands out only the first 255");
    if (I.Extra.size() > MaxShortLen)
      Add(I.Line, TSeverity::Warning,
          "extra text of item " + Str(I.Code) + " is " + Str(I.Extra.size()) +
              " characters long: the library hands out only the first 255");
    if (I.Code == UndefinedValueCode)
      Add(I.Line, TSeverity::Warning,
          "code -1 is the code of the dialog row \"" + std::string(UndefinedValueText) +
              "\": a host cannot tell this item from that row");
    else if (I.Code == 0)
      Add(I.Line, TSeverity::Note,
          "code 0: the selection dialog returns 0 also when the user cancels it, so a host cannot tell this item "
          "from a cancel");
  }
}

}  // namespace

TReach ReachOf(const TLookup &ALookup, int32_t ACode) {
  TReach R;
  const int Level = ALookup.GetGroupId(ACode);
  for (int K = 0; K < Level; ++K) {
    const int32_t A = ALookup.SetGroupId(ACode, K);
    if (ALookup.GetGroupId(A) != K)
      R.ZeroLevels.push_back(K);
    else if (!ALookup.ItemExists(A))
      R.Missing.emplace_back(A, K);
  }
  return R;
}

namespace {

void TPathCheck::CheckCodes() {
  int64_t Total = 0;
  for (int32_t W : fLookup.Formats()) Total += W;
  for (std::size_t N = 0; N < fItems.size(); ++N) {
    const TItemLine &I = fItems[N];
    const std::size_t First = fFirst.at(I.Code);
    if (First != N) {
      Add(I.Line, TSeverity::Warning,
          "duplicate code " + Str(I.Code) + ": the item on line " + Str(fItems[First].Line) +
              " comes first, and lookups by code find that one");
      continue;
    }
    if (Total > 0 && DigitCount(I.Code) > Total)
      Add(I.Line, TSeverity::Warning,
          "code " + Str(I.Code) + " has " + Str(DigitCount(I.Code)) + " digits, more than the " + Str(Total) +
              " that \"Format=\" gives: the selection dialog cannot reach it from the top level");
    const TReach Reach = ReachOf(fLookup, I.Code);
    for (const int K : Reach.ZeroLevels)
      Add(I.Line, TSeverity::Warning,
          "item " + Str(I.Code) + " is on level " + Str(fLookup.GetGroupId(I.Code) + 1) + " but its field of level " +
              Str(K + 1) +
              " is zero: it has no parent on that level, and the selection dialog cannot reach it by browsing");
    std::string Missing;
    for (const auto &[A, K] : Reach.Missing)
      Missing += (Missing.empty() ? "" : ", ") + Str(A) + " (level " + Str(K + 1) + ")";
    if (!Reach.Missing.empty())
      Add(I.Line, TSeverity::Warning,
          "item " + Str(I.Code) + " lacks its " + (Reach.Missing.size() > 1 ? "ancestors " : "ancestor ") + Missing +
              ": the selection dialog cannot reach it by browsing");
  }
}

// Tags matter only to a load with a filter (LoadVokEx): it keeps a line with a "#" part only
// when its tag is in the filter, and lines without "#" always.
void TPathCheck::CheckTags() {
  std::set<std::string_view> Tags;
  for (const TItemLine &I : fItems)
    if (I.HasHash && !I.Tag.empty()) Tags.insert(I.Tag);
  if (Tags.empty()) return;
  for (const TItemLine &I : fItems)
    if (I.HasHash && !I.Tag.empty() && (IsBlankChar(I.Tag.front()) || IsBlankChar(I.Tag.back())))
      Add(I.Line, TSeverity::Warning,
          "tag " + Quote(I.Tag) + " has blanks around it: filters compare tags byte for byte, so the filter " +
              Quote(TrimView(I.Tag)) + " does not keep this item",
          true);
  // For each tag as a filter: ancestors that the filter drops while it keeps items under them.
  std::map<std::size_t, std::pair<std::string_view, int>> Harmed;  // item -> (filter, line of a kept descendant)
  for (std::string_view T : Tags) {
    auto Kept = [&](const TItemLine &I) { return !I.HasHash || I.Tag == T; };
    std::unordered_set<int32_t> KeptCodes;
    for (const TItemLine &I : fItems)
      if (Kept(I)) KeptCodes.insert(I.Code);
    for (const TItemLine &I : fItems) {
      if (!Kept(I)) continue;
      const int G = fLookup.GetGroupId(I.Code);
      for (int K = 0; K < G; ++K) {
        const int32_t A = fLookup.SetGroupId(I.Code, K);
        if (fLookup.GetGroupId(A) != K || KeptCodes.count(A)) continue;
        const auto First = fFirst.find(A);
        if (First != fFirst.end()) Harmed.try_emplace(First->second, T, I.Line);
      }
    }
  }
  for (std::size_t N = 0; N < fItems.size(); ++N) {
    const TItemLine &I = fItems[N];
    if (!I.HasHash) continue;
    const auto H = Harmed.find(N);
    const std::string Own = I.Tag.empty() ? "its \"#\" part has no tag" : "its tag is " + Quote(I.Tag);
    if (H != Harmed.end())
      Add(I.Line, TSeverity::Warning,
          "item " + Str(I.Code) + " is dropped by the filter " + Quote(H->second.first) + " (" + Own +
              "), which keeps the item on line " + Str(H->second.second) +
              " under it: that item then lacks this ancestor",
          true);
    else if (I.Tag.empty())
      Add(I.Line, TSeverity::Note,
          "item " + Str(I.Code) +
              " has a \"#\" part but no tag: every filter drops it (lines without \"#\" are never filtered)",
          true);
  }
}

// Visits the levels as the selection dialog offers them: sorted rows, equal texts (ignoring
// case) shown once, the row "(Значение не определено)" normally first.
void TPathCheck::Walk(int ALevel, int32_t AFilterId) {
  TCodeList Plain;
  fLookup.LoadGroup(ALevel, AFilterId, Plain);
  if (Plain.Empty()) return;
  TCodeList Sorted(true, TDuplicates::Ignore);
  for (const TCodeRow &Row : Plain.Rows()) {
    if (Sorted.Add(Row.Text, Row.Code) >= 0) continue;
    for (const TCodeRow &Shown : Sorted.Rows()) {
      if (CompareText(Shown.Text, Row.Text) != 0 || Shown.Code == Row.Code) continue;
      const auto Hidden = fFirst.find(Row.Code), Kept = fFirst.find(Shown.Code);
      if (Hidden == fFirst.end() || Kept == fFirst.end()) break;
      Add(fItems[Hidden->second].Line, TSeverity::Warning,
          "item " + Str(Row.Code) + " has the same text as item " + Str(Shown.Code) + " (line " +
              Str(fItems[Kept->second].Line) +
              ") under the same parent: the selection dialog shows one row for both, "
              "and it stands for item " +
              Str(Shown.Code));
      break;
    }
  }
  const TCodeRow &Row0 = Sorted[0];
  const bool UndefinedFirst = Row0.Code == UndefinedValueCode && Row0.Text == UndefinedValueText;
  const auto First0 = fFirst.find(Row0.Code);
  if (!UndefinedFirst && First0 != fFirst.end()) {
    TCodeList Children;
    if (ALevel + 1 < fLookup.GroupCount()) fLookup.LoadGroup(ALevel + 1, Row0.Code, Children);
    Add(fItems[First0->second].Line, TSeverity::Warning,
        "the text of item " + Str(Row0.Code) + " sorts before \"" + UndefinedValueText +
            "\": in the selection dialog it takes row 0, which ends the dialog at once" +
            (Children.Empty() ? "" : ", so the items under it cannot be opened"));
  }
  if (ALevel + 1 >= fLookup.GroupCount()) return;
  for (const TCodeRow &Row : Sorted.Rows())
    if (!(Row.Code == UndefinedValueCode && Row.Text == UndefinedValueText)) Walk(ALevel + 1, Row.Code);
}

// ---- the file ----

// A line of the file that is not blank.
struct TFileLine {
  int Index;  // in the file, from 0
  std::string Text;
};

struct TSection {
  int Header;                     // index of the header line
  std::string Name;               // between the brackets, as written
  std::vector<std::size_t> Body;  // its lines, as positions in the list of the file's non-blank lines
  // LoadVok
  enum { VokLoads, VokFails, VokBlankName, VokNotFound, VokOther } Vok = VokFails;
  int VokOtherLine = 0;  // the section that LoadVok reads under this name instead
  // LoadAllVok
  enum { AllLoads, AllFails, AllEmptyName, AllLastLine, AllNotReached } All = AllNotReached;
  int AllStopLine = 0;      // the section where LoadAllVok stopped
  int ReplacedBy = 0;       // a later section that replaces this one in the registry
  std::vector<int> Counts;  // items per level, of a loader that loaded it
  std::vector<int32_t> Widths;
  std::vector<int> OtherCounts;  // the other loader's counts, when they differ
};

// The index of the header line of the section that LoadVok reads for the name AName, or -1 when
// it finds none (or the file can no longer be read).
int HeaderLoadVokReads(const std::string &AFile, std::string_view AName) {
  try {
    TTextReader Reader(AFile);
    if (FindSection(Reader, AName)) return static_cast<int>(Reader.LineNumber()) - 1;
  } catch (const EInOutError &) {
  }
  return -1;
}

const char *EncodingName(TEncoding AEncoding) {
  switch (AEncoding) {
    case TEncoding::Utf8Mark:
      return "UTF-8 (byte order mark)";
    case TEncoding::Utf8:
      return "UTF-8 (no byte order mark)";
    case TEncoding::Utf16Le:
      return "UTF-16 little-endian (byte order mark)";
    case TEncoding::Utf16Be:
      return "UTF-16 big-endian (byte order mark)";
    default:
      return "Windows-1251";
  }
}

std::vector<int> LevelCounts(const TLookup &L) {
  std::vector<int> R;
  for (int K = 0; K < L.GroupCount(); ++K) R.push_back(L.GetLevelItemCount(K));
  return R;
}

}  // namespace

std::string JoinInts(const std::vector<int> &V, const char *ASep) {
  std::string R;
  for (std::size_t I = 0; I < V.size(); ++I) R += (I ? ASep : "") + Str(V[I]);
  return R;
}

const char *SeverityName(TSeverity ASeverity) {
  switch (ASeverity) {
    case TSeverity::Error:
      return "error";
    case TSeverity::Warning:
      return "warning";
    default:
      return "note";
  }
}

std::string Quote(std::string_view S, std::size_t AMax) {
  std::string R = "\"";
  for (std::size_t I = 0; I < S.size() && I < AMax; ++I) {
    const unsigned char C = static_cast<unsigned char>(S[I]);
    if (C == '\t') {
      R += "\\t";
    } else if (C < 32) {
      char Buf[8];
      std::snprintf(Buf, sizeof Buf, "\\x%02X", C);
      R += Buf;
    } else {
      R += static_cast<char>(C);
    }
  }
  if (S.size() > AMax) R += "...";
  return R + "\"";
}

bool LooksLikeCode(std::string_view AKey) {
  const std::string_view T = TrimView(AKey);
  return !T.empty() && (IsDigit(T[0]) || T[0] == '-' || T[0] == '+' || T[0] == '$');
}

std::string WhyNotInt(std::string_view S) {
  const TIntReading R = ReadInt(S);
  switch (R.Fault) {
    case TIntFault::None:
      return std::string();
    case TIntFault::Empty:
      return "empty";
    case TIntFault::OnlySpaces:
      return "only blanks";
    case TIntFault::BlankBefore:
      return "a tab or control character before the number, where only spaces may stand";
    case TIntFault::NoDigits:
      return R.Hex ? "no hexadecimal digits after the prefix" : "a sign without digits";
    case TIntFault::OutOfRange:
      return "out of the 32-bit range -2147483648..2147483647";
    case TIntFault::BlankAfter:
      return "blank after the number";
    case TIntFault::NotADigit:
      break;
  }
  const unsigned char C = static_cast<unsigned char>(S[R.At]);
  const std::string Char =
      C > 32 && C < 127 ? "\"" + std::string(1, static_cast<char>(C)) + "\"" : "character " + Str(C);
  return std::string("not a number (") + Char + " is not a " + (R.Hex ? "hexadecimal " : "") + "digit)";
}

void CheckSectionLines(unsigned APath, std::string_view ASectionName, int AHeaderLine,
                       const std::vector<TSourceLine> &ALines, const TLookup &ALookup, std::vector<TDiagnostic> &AOut) {
  TPathCheck(APath, ASectionName, AHeaderLine, ALines, ALookup, AOut).Run();
}

int RunCheck(const TConsole &AConsole, const std::string &AFile) {
  std::vector<TFileLine> Lines;
  std::vector<std::pair<int, std::string>> Unheld;  // converted lines with what 1251 cannot hold
  int LastIndex = -1;
  TEncoding Encoding = TEncoding::Ansi;
  try {
    TTextReader Reader(AFile);
    std::string_view Line, Trimmed;
    while (NextNonBlankLine(Reader, Line, Trimmed)) {
      const int Index = static_cast<int>(Reader.LineNumber()) - 1;
      Lines.push_back({Index, std::string(Line)});
      std::string Converted;
      TUtf8Problem P;
      if (Reader.LineConverted() && !Utf8To1251(Reader.Utf8Line(), Converted, &P))
        Unheld.emplace_back(Index, Utf8ProblemText(Reader.Utf8Line(), P));
    }
    LastIndex = static_cast<int>(Reader.LineNumber()) - 1;
    Encoding = Reader.Encoding();
  } catch (const EInOutError &E) {
    AConsole.Out << AFile << ": error: cannot read the file: " << E.what() << "\n";
    return 2;
  }
  std::vector<TDiagnostic> Diags;
  auto Add = [&](int AIndex, TSeverity ASeverity, std::string AText, unsigned APaths = ByLoadVok | ByLoadAllVok) {
    Diags.push_back({AIndex + 1, ASeverity, std::move(AText), APaths, true});
  };

  // A UTF-8 or UTF-16 file is converted line by line: what Windows-1251 cannot hold becomes "?".
  for (const auto &[Index, Problem] : Unheld)
    Add(Index, TSeverity::Warning, Problem + ": the loaders read \"?\" in its place");

  // Sections, as both loaders split the file.
  std::vector<TSection> Sections;
  for (std::size_t P = 0; P < Lines.size(); ++P) {
    const int I = Lines[P].Index;
    const std::string_view T = TrimView(Lines[P].Text);
    std::string_view Name;
    if (HeaderName(T, Name)) {
      TSection S;
      S.Header = I;
      S.Name = std::string(Name);
      Sections.push_back(std::move(S));
      continue;
    }
    if (T.front() == '[')
      Add(I, TSeverity::Warning, "the line begins with \"[\" but does not end with \"]\": it is no section header");
    if (Sections.empty()) {
      if (T.find('=') != std::string_view::npos)
        Add(I, TSeverity::Warning, "line before the first section: no loader reads it");
    } else {
      Sections.back().Body.push_back(P);
    }
  }
  if (Sections.empty()) Add(0, TSeverity::Warning, "the file has no section");

  // LoadAllVok: every section in file order, read past as SectionSkip says, until the first that
  // fails.
  std::vector<std::unique_ptr<TLookup>> AllLoads(Sections.size());
  {
    int StopLine = 0;
    for (std::size_t N = 0; N < Sections.size(); ++N) {
      TSection &S = Sections[N];
      if (StopLine) {
        S.AllStopLine = StopLine;
        S.All = TSection::AllNotReached;
      } else if (const TSectionSkip Skip = SectionSkip(S.Name, N == 0, S.Header == LastIndex);
                 Skip != TSectionSkip::None) {
        S.All = Skip == TSectionSkip::HeaderAtEnd ? TSection::AllLastLine : TSection::AllEmptyName;
        continue;
      }
      std::unique_ptr<TLookup> L = BeginSection(AFile, S.Name);
      for (std::size_t P : S.Body) L->AddLine(TrimView(Lines[P].Text));
      L->EndLoad();
      if (!StopLine) {
        if (L->Ready()) {
          S.All = TSection::AllLoads;
          for (std::size_t E = 0; E < N; ++E)
            if (Sections[E].All == TSection::AllLoads && !Sections[E].ReplacedBy &&
                SameAsciiText(TrimView(Sections[E].Name), TrimView(S.Name)))
              Sections[E].ReplacedBy = S.Header + 1;
        } else {
          S.All = TSection::AllFails;
          StopLine = S.Header + 1;
        }
      }
      AllLoads[N] = std::move(L);
    }
  }

  for (std::size_t N = 0; N < Sections.size(); ++N) {
    TSection &S = Sections[N];
    const std::string Trimmed = Trim(S.Name);
    const std::string Ref = SectionRef(S.Name);
    if (S.Name.empty()) {
      S.Vok = TSection::VokBlankName;
      Add(S.Header, TSeverity::Warning,
          "section with an empty name: LoadAllVok skips it with its lines, and LoadVok cannot be asked for it");
      continue;
    }
    if (Trimmed.empty()) {
      S.Vok = TSection::VokBlankName;
      Add(S.Header, TSeverity::Error,
          "the name of " + Ref + " is blank: LoadVok cannot load it" +
              (S.All == TSection::AllFails
                   ? ", and LoadAllVok fails on it (\"Operation aborted\") and stops reading the file"
                   : ""));
      continue;
    }
    if (S.All == TSection::AllLastLine)
      Add(S.Header, TSeverity::Warning, "the header of " + Ref + " is the last line of the file: LoadAllVok skips it",
          ByLoadAllVok);

    // LoadVok: the registry trims the name and cuts it at 255, and the loader finds the section.
    const std::string Asked = ShortStr(Trimmed);
    const int ReadsHeader = HeaderLoadVokReads(AFile, Asked);
    const auto Found =
        std::find_if(Sections.begin(), Sections.end(), [&](const TSection &F) { return F.Header == ReadsHeader; });
    const TSection *Reads = Found == Sections.end() ? nullptr : &*Found;
    if (Trimmed != S.Name || Trimmed.size() > MaxShortLen) {
      S.Vok = Reads ? TSection::VokOther : TSection::VokNotFound;
      if (Reads) S.VokOtherLine = Reads->Header + 1;
      std::string Why =
          Trimmed.size() > MaxShortLen
              ? "the name of " + Ref.substr(0, 60) + "...] is " + Str(Trimmed.size()) +
                    " characters long: LoadVok cuts names at 255"
              : "the name of " + Ref + " has blanks inside the brackets: LoadVok trims the name it is given";
      Why += Reads ? " and reads the section on line " + Str(Reads->Header + 1) + " instead"
                   : " and finds no such section";
      if (Trimmed.size() <= MaxShortLen) Why += " (LoadAllVok registers it as \"" + Trimmed + "\")";
      Add(S.Header, TSeverity::Error, Why, ByLoadVok);
    } else if (Reads != &S) {
      S.Vok = TSection::VokOther;
      S.VokOtherLine = Reads->Header + 1;
      Add(S.Header, TSeverity::Warning,
          "LoadVok never reads " + Ref + ": it reads the section on line " + Str(Reads->Header + 1) +
              ", which has the same name" +
              (S.All == TSection::AllLoads && SameAsciiText(Reads->Name, S.Name)
                   ? "; LoadAllVok loads both, and this one replaces the first"
                   : ""));
    }

    std::vector<TSourceLine> Raw, TrimmedLines;
    for (std::size_t P : S.Body) {
      Raw.push_back({Lines[P].Index + 1, Lines[P].Text});
      TrimmedLines.push_back({Lines[P].Index + 1, TrimView(Lines[P].Text)});
    }
    const std::size_t From = Diags.size();
    unsigned Analyzed = 0;
    TLookup VokLoad;
    if (Reads == &S && S.Vok != TSection::VokNotFound && S.Vok != TSection::VokOther) {
      VokLoad.LoadVok(AFile, Asked, Asked, "*");
      S.Vok = VokLoad.Ready() ? TSection::VokLoads : TSection::VokFails;
      CheckSectionLines(ByLoadVok, S.Name, S.Header + 1, Raw, VokLoad, Diags);
      Analyzed |= ByLoadVok;
    }
    const TLookup *AllLoad = AllLoads[N].get();
    if (AllLoad) {
      CheckSectionLines(ByLoadAllVok, S.Name, S.Header + 1, TrimmedLines, *AllLoad, Diags);
      Analyzed |= ByLoadAllVok;
    }

    // The same finding along both loaders is told once; one that only a loader meets says so.
    std::vector<TDiagnostic> Merged;
    for (std::size_t I = From; I < Diags.size(); ++I) {
      auto Same = std::find_if(Merged.begin(), Merged.end(), [&](const TDiagnostic &M) {
        return M.Line == Diags[I].Line && M.Severity == Diags[I].Severity && M.Text == Diags[I].Text;
      });
      if (Same == Merged.end())
        Merged.push_back(std::move(Diags[I]));
      else
        Same->Paths |= Diags[I].Paths;
    }
    Diags.resize(From);
    for (TDiagnostic &D : Merged) {
      const bool BothLoaded = VokLoad.Ready() && AllLoad && AllLoad->Ready();
      if (Analyzed == (ByLoadVok | ByLoadAllVok) && D.Paths != Analyzed && !D.Explained && (BothLoaded || !D.NeedsLoad))
        D.Text += D.Paths == ByLoadVok ? " (LoadVok only)" : " (LoadAllVok only)";
      D.Explained = true;
      Diags.push_back(std::move(D));
    }
    // Should the core refuse a section for a reason the checks above do not know, say so.
    auto HasError = [&](unsigned APath) {
      return std::any_of(Diags.begin() + static_cast<std::ptrdiff_t>(From), Diags.end(),
                         [&](const TDiagnostic &D) { return D.Severity == TSeverity::Error && (D.Paths & APath); });
    };
    if (S.Vok == TSection::VokFails && !HasError(ByLoadVok))
      Add(S.Header, TSeverity::Error, Ref + " does not load through LoadVok, for a reason this check does not know",
          ByLoadVok);
    if (AllLoad && !AllLoad->Ready() && !HasError(ByLoadAllVok))
      Add(S.Header, TSeverity::Error, Ref + " does not load through LoadAllVok, for a reason this check does not know",
          ByLoadAllVok);

    const TLookup *Loaded = AllLoad && AllLoad->Ready() ? AllLoad : VokLoad.Ready() ? &VokLoad : nullptr;
    if (Loaded) {
      S.Counts = LevelCounts(*Loaded);
      S.Widths = Loaded->Formats();
      if (Loaded == AllLoad && VokLoad.Ready() && LevelCounts(VokLoad) != S.Counts)
        S.OtherCounts = LevelCounts(VokLoad);
    }
  }

  std::stable_sort(Diags.begin(), Diags.end(),
                   [](const TDiagnostic &A, const TDiagnostic &B) { return A.Line < B.Line; });
  int Errors = 0, Warnings = 0, Notes = 0;
  for (const TDiagnostic &D : Diags) {
    (D.Severity == TSeverity::Error ? Errors : D.Severity == TSeverity::Warning ? Warnings : Notes)++;
    AConsole.Out << AFile << ":" << D.Line << ": " << SeverityName(D.Severity) << ": " << AConsole.Show(D.Text) << "\n";
  }

  for (const TSection &S : Sections) {
    std::string Line = "[" + S.Name + "] line " + Str(S.Header + 1) + ": ";
    if (!S.Counts.empty()) {
      Line += Str(S.Counts.size()) + (S.Counts.size() == 1 ? " level" : " levels") + " (widths " +
              JoinInts(S.Widths, ",") + "), items per level " + JoinInts(S.Counts, ", ");
      if (!S.OtherCounts.empty()) Line += " (LoadVok: " + JoinInts(S.OtherCounts, ", ") + ")";
      Line += "; ";
    }
    Line += "LoadVok: ";
    switch (S.Vok) {
      case TSection::VokLoads:
        Line += "loads";
        break;
      case TSection::VokFails:
        Line += "fails";
        break;
      case TSection::VokBlankName:
        Line += "cannot load it";
        break;
      case TSection::VokNotFound:
        Line += "cannot find it";
        break;
      case TSection::VokOther:
        Line += "reads the section on line " + Str(S.VokOtherLine) + " instead";
        break;
    }
    Line += "; LoadAllVok: ";
    switch (S.All) {
      case TSection::AllLoads:
        Line += S.ReplacedBy ? "loads, then replaces it by the section on line " + Str(S.ReplacedBy) : "loads";
        break;
      case TSection::AllFails:
        Line += "fails (\"Operation aborted\") and reads no further sections";
        break;
      case TSection::AllEmptyName:
        Line += "skips it (empty name)";
        break;
      case TSection::AllLastLine:
        Line += "skips it (header on the last line)";
        break;
      case TSection::AllNotReached:
        Line += "does not reach it (stops at line " + Str(S.AllStopLine) + ")";
        break;
    }
    AConsole.Out << AConsole.Show(Line) << "\n";
  }
  AConsole.Out << AFile << ": " << Sections.size() << (Sections.size() == 1 ? " section, " : " sections, ") << Errors
               << (Errors == 1 ? " error, " : " errors, ") << Warnings << (Warnings == 1 ? " warning, " : " warnings, ")
               << Notes << (Notes == 1 ? " note" : " notes") << "; read as " << EncodingName(Encoding) << "\n";
  return Errors ? 2 : Warnings ? 1 : 0;
}

}  // namespace vok::tool
