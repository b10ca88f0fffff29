#include "tools/vok/Diff.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "lookup/Lookup.h"
#include "lookup/ShortStr.h"
#include "lookup/TextFile.h"
#include "lookup/TextOps.h"
#include "lookup/VokRules.h"
#include "tools/vok/Check.h"

namespace vok::tool {

namespace {

// A section header: the name between the brackets, as written, and its line.
struct THeader {
  std::string Name;
  int Line;
  int Dictionary = -1;  // of its name, unless the name is blank
};

// One item line, its parts viewing its value: what a lookup by its code answers when it is the
// code's first line, and what a filter sees of it.
struct TItemLine {
  int32_t Code;
  std::string Value;  // after "=", as written
  uint32_t TextLength, ExtraFrom, ExtraLength, TagFrom;
  bool HasTag;  // the line has a "#" part, so filters apply to it

  std::string_view Text() const { return std::string_view(Value).substr(0, TextLength); }
  std::string_view Extra() const { return std::string_view(Value).substr(ExtraFrom, ExtraLength); }
  std::optional<std::string_view> Tag() const {
    return HasTag ? std::optional<std::string_view>(std::string_view(Value).substr(TagFrom)) : std::nullopt;
  }
  bool operator==(const TItemLine &O) const { return Text() == O.Text() && Extra() == O.Extra() && Tag() == O.Tag(); }
  bool operator!=(const TItemLine &O) const { return !(*this == O); }
};

TItemLine ItemLine(const TSectionLine &L) {
  auto Offset = [&](std::string_view APart) { return static_cast<uint32_t>(APart.data() - L.Value.data()); };
  // A blank extra text counts as none; an empty part may view nothing.
  const bool Extra = !IsBlank(ShortView(L.Extra));
  return {L.Code,
          std::string(L.Value),
          static_cast<uint32_t>(L.Text.size()),
          Extra ? Offset(L.Extra) : 0,
          Extra ? static_cast<uint32_t>(L.Extra.size()) : 0,
          L.Tag.empty() ? static_cast<uint32_t>(L.Value.size()) : Offset(L.Tag),
          L.HasHash};
}

// A dictionary of a file as LoadVok reads it under one name.
struct TDictionary {
  std::string Key;  // the name LoadVok is asked for: trimmed, cut at 255
  int First = -1;   // the first header of that name
  int Read = -1;    // the header of the section LoadVok reads; -1 when it finds none
  std::unique_ptr<TLookup> Lookup;
  std::vector<TItemLine> Items;  // by code, each code's lines in file order
};

struct TVokFile {
  std::string Path;
  std::vector<THeader> Headers;
  std::vector<TDictionary> Dictionaries;  // in the order their names first occur
  std::vector<int> Blanks;                // headers of names of blanks only: no loader can ask for them
  // Upper-cased name -> dictionary: names the locale compares equal ignoring case upper-case
  // alike, so a file of many sections costs no comparison of every name with every other.
  std::unordered_map<std::string, std::size_t> Index;

  // The dictionary of the name AKey (ignoring case), or null.
  TDictionary *Find(std::string_view AKey) {
    const auto I = Index.find(UpperCase(AKey));
    return I != Index.end() && SameText(Dictionaries[I->second].Key, AKey) ? &Dictionaries[I->second] : nullptr;
  }
};

std::string Bracketed(std::string_view AName) { return "[" + std::string(AName) + "]"; }

// Reads APath once, loading for each name the section LoadVok reads, as LoadVok does: the
// first whose header, trimmed, is "[name]" ignoring case, its lines that are not blank as they
// stand. False, with the message, when the file cannot be read.
bool ReadVokFile(const TConsole &AConsole, const std::string &APath, TVokFile &AFile) {
  AFile.Path = APath;
  TDictionary *Loading = nullptr;
  auto Finish = [&] {
    if (!Loading) return;
    Loading->Lookup->EndLoad();
    std::stable_sort(Loading->Items.begin(), Loading->Items.end(),
                     [](const TItemLine &A, const TItemLine &B) { return A.Code < B.Code; });
    Loading = nullptr;
  };
  try {
    TTextReader Reader(APath);
    std::string_view Line, Trimmed, Name;
    while (NextNonBlankLine(Reader, Line, Trimmed)) {
      if (!HeaderName(Trimmed, Name)) {
        if (!Loading) continue;
        Loading->Lookup->AddLine(Line);
        const TSectionLine L = ReadSectionLine(Line);
        if (L.Kind == TSectionLine::Item) Loading->Items.push_back(ItemLine(L));
        continue;
      }
      Finish();
      const int Header = static_cast<int>(AFile.Headers.size());
      AFile.Headers.push_back({std::string(Name), static_cast<int>(Reader.LineNumber())});
      const std::string &Written = AFile.Headers.back().Name;
      if (Written.empty()) continue;  // "[]": every loader passes over it with its lines
      const std::string Key = ShortStr(TrimView(Written));
      if (Key.empty()) {
        AFile.Blanks.push_back(Header);
        continue;
      }
      TDictionary *D = AFile.Find(Key);
      if (!D) {
        AFile.Index.emplace(UpperCase(Key), AFile.Dictionaries.size());
        D = &AFile.Dictionaries.emplace_back();
        D->Key = Key;
        D->First = Header;
      }
      AFile.Headers.back().Dictionary = static_cast<int>(D - AFile.Dictionaries.data());
      if (D->Read < 0 && SameText(Bracketed(Written), Bracketed(D->Key))) {
        D->Read = Header;
        D->Lookup = std::make_unique<TLookup>();
        D->Lookup->BeginLoad(APath, D->Key, D->Key, "*");
        Loading = D;
      }
    }
    Finish();
  } catch (const EInOutError &E) {
    AConsole.Err << APath << ": error: cannot read the file: " << E.what() << "\n";
    return false;
  }
  return true;
}

// True when AD loaded; otherwise says so with the line of its header.
bool Loaded(const TConsole &AConsole, const TVokFile &AFile, const TDictionary &AD) {
  if (AD.Read >= 0 && AD.Lookup->Ready()) return true;
  const THeader &H = AFile.Headers[static_cast<std::size_t>(AD.Read >= 0 ? AD.Read : AD.First)];
  AConsole.Err << AFile.Path << ":" << H.Line
               << ": error: " << AConsole.Show("section " + Bracketed(H.Name) + " does not load through LoadVok")
               << " (\"vok check " << AFile.Path << "\" tells why)\n";
  return false;
}

// Notes the sections of the names in ACompared that LoadVok passes over for the one it reads.
void NoteLeftOut(const TConsole &AConsole, const TVokFile &AFile, const std::vector<bool> &ACompared) {
  for (std::size_t H = 0; H < AFile.Headers.size(); ++H) {
    const THeader &Left = AFile.Headers[H];
    if (Left.Dictionary < 0 || !ACompared[static_cast<std::size_t>(Left.Dictionary)]) continue;
    const int Read = AFile.Dictionaries[static_cast<std::size_t>(Left.Dictionary)].Read;
    if (Read >= 0 && Read != static_cast<int>(H))
      AConsole.Err << AFile.Path << ":" << Left.Line << ": note: "
                   << AConsole.Show(
                          "section " + Bracketed(Left.Name) + " is left out: LoadVok reads the section on line " +
                          std::to_string(AFile.Headers[static_cast<std::size_t>(Read)].Line) + " for that name")
                   << "\n";
  }
}

std::string Quoted(std::string_view S) { return Quote(S, S.size()); }
// S with its control characters escaped, as a terminal can show it.
std::string Visible(std::string_view S) {
  const std::string Q = Quoted(S);
  return Q.substr(1, Q.size() - 2);
}

// What keeps the selection dialog from reaching ACode by browsing down from the top level: the
// ancestors it lacks and the levels above its own where its field is zero; empty when nothing does.
std::string WhyUnreachable(const TLookup &ALookup, int32_t ACode) {
  const TReach Reach = ReachOf(ALookup, ACode);
  std::string Missing, Zero;
  for (const auto &[A, K] : Reach.Missing) Missing += (Missing.empty() ? "" : ", ") + std::to_string(A);
  for (const int K : Reach.ZeroLevels) Zero += (Zero.empty() ? "" : ", ") + std::to_string(K + 1);
  std::string R;
  if (!Missing.empty()) R = (Reach.Missing.size() > 1 ? "ancestors missing: " : "ancestor missing: ") + Missing;
  if (!Zero.empty())
    R += (R.empty() ? "" : "; ") + (Reach.ZeroLevels.size() > 1 ? "its fields of levels " + Zero + " are zero"
                                                                : "its field of level " + Zero + " is zero");
  return R;
}

// The differences of one section, as lines in Windows-1251.
struct TSectionDiff {
  std::vector<std::string> Settings;  // which of the name, Format, Display, Delimit changed
  std::vector<std::string> Lines;
  int Added = 0, Removed = 0, Changed = 0, Unreachable = 0;
  bool Differs() const { return !Settings.empty() || Added || Removed || Changed; }
};

// The lines of one code, a range of a dictionary's items.
struct TCodeLines {
  const TItemLine *Begin, *End;
  std::size_t Size() const { return static_cast<std::size_t>(End - Begin); }
};

// The line of an item added or removed: its code and its value as written.
std::string AddedOrRemoved(char ASign, TCodeLines ALines) {
  std::string R = std::string(1, ASign) + " " + std::to_string(ALines.Begin->Code) + " " + Visible(ALines.Begin->Value);
  if (ALines.Size() > 1) R += " (" + std::to_string(ALines.Size()) + " lines)";
  return R;
}

// The changes of a code present in both: its first line's parts, which lookups answer, and its
// other lines. True when it changed.
bool CompareItem(TCodeLines AOld, TCodeLines ANew, std::vector<std::string> &ALines) {
  const std::string Head = "~ " + std::to_string(AOld.Begin->Code) + " ";
  const std::size_t From = ALines.size();
  const TItemLine &O = *AOld.Begin, &N = *ANew.Begin;
  if (O.Text() != N.Text()) ALines.push_back(Head + "text: " + Quoted(O.Text()) + " -> " + Quoted(N.Text()));
  if (O.Extra() != N.Extra()) ALines.push_back(Head + "extra text: " + Quoted(O.Extra()) + " -> " + Quoted(N.Extra()));
  if (O.Tag() != N.Tag()) {
    auto Tag = [](std::optional<std::string_view> T) { return T ? Quoted(*T) : std::string("none (no \"#\")"); };
    ALines.push_back(Head + "tag: " + Tag(O.Tag()) + " -> " + Tag(N.Tag()));
  }
  if (AOld.Size() != ANew.Size())
    ALines.push_back(Head + "lines with this code: " + std::to_string(AOld.Size()) + " -> " +
                     std::to_string(ANew.Size()) + " (lookups find the first)");
  else if (!std::equal(AOld.Begin + 1, AOld.End, ANew.Begin + 1))
    ALines.push_back(Head + "its later lines changed (lookups find the first)");
  return ALines.size() > From;
}

// The lines of the code that AFrom begins with, up to the end of AItems.
TCodeLines CodeAt(const std::vector<TItemLine> &AItems, std::size_t AFrom) {
  const TItemLine *Begin = AItems.data() + AFrom, *End = Begin;
  while (End != AItems.data() + AItems.size() && End->Code == Begin->Code) ++End;
  return {Begin, End};
}

TSectionDiff CompareSections(const TVokFile &AOldFile, const TDictionary &AOld, const TVokFile &ANewFile,
                             const TDictionary &ANew) {
  TSectionDiff D;
  auto Setting = [&](const char *AWhat, const std::string &AFrom, const std::string &ATo) {
    if (AFrom == ATo) return;
    D.Settings.push_back(AWhat);
    D.Lines.push_back("~ " + std::string(AWhat) + ": " + AFrom + " -> " + ATo);
  };
  const TLookup &O = *AOld.Lookup, &N = *ANew.Lookup;
  Setting("name", Bracketed(AOldFile.Headers[static_cast<std::size_t>(AOld.Read)].Name),
          Bracketed(ANewFile.Headers[static_cast<std::size_t>(ANew.Read)].Name));
  Setting("Format", JoinInts(O.Formats(), ","), JoinInts(N.Formats(), ","));
  Setting("Display", Quoted(O.Display()), Quoted(N.Display()));
  Setting("Delimit", Quoted(O.Delimiter()), Quoted(N.Delimiter()));

  for (std::size_t I = 0, J = 0; I < AOld.Items.size() || J < ANew.Items.size();) {
    const bool InOld = I < AOld.Items.size() && (J == ANew.Items.size() || AOld.Items[I].Code <= ANew.Items[J].Code);
    const bool InNew = J < ANew.Items.size() && (I == AOld.Items.size() || ANew.Items[J].Code <= AOld.Items[I].Code);
    const TCodeLines OldLines = InOld ? CodeAt(AOld.Items, I) : TCodeLines{},
                     NewLines = InNew ? CodeAt(ANew.Items, J) : TCodeLines{};
    if (!InNew) {
      D.Lines.push_back(AddedOrRemoved('-', OldLines));
      ++D.Removed;
    } else if (!InOld) {
      D.Lines.push_back(AddedOrRemoved('+', NewLines));
      ++D.Added;
    } else if (CompareItem(OldLines, NewLines, D.Lines)) {
      ++D.Changed;
    }
    if (InNew) {
      const int32_t Code = NewLines.Begin->Code;
      const std::string Why = WhyUnreachable(N, Code);
      if (!Why.empty() && (!InOld || WhyUnreachable(O, Code) != Why)) {
        D.Lines.push_back("! " + std::to_string(Code) + " " + Why);
        ++D.Unreachable;
      }
    }
    I += OldLines.Size();
    J += NewLines.Size();
  }
  return D;
}

std::string Items(std::size_t ACount) { return std::to_string(ACount) + (ACount == 1 ? " item" : " items"); }

std::string Summary(const TSectionDiff &D) {
  std::string R;
  for (const std::string &S : D.Settings) R += (R.empty() ? "" : ", ") + S;
  if (!R.empty()) R += " changed; ";
  return R + std::to_string(D.Added) + " added, " + std::to_string(D.Removed) + " removed, " +
         std::to_string(D.Changed) + " changed, " + std::to_string(D.Unreachable) + " unreachable";
}

}  // namespace

int RunDiff(const TConsole &AConsole, const std::string &AOld, const std::string &ANew,
            const std::vector<std::string> &ASections) {
  TVokFile Old, New;
  const bool Read = ReadVokFile(AConsole, AOld, Old);
  if (!ReadVokFile(AConsole, ANew, New) || !Read) return 2;

  // The names compared: those asked for, or every name of either file, the old file's first.
  std::vector<std::string> Keys;
  std::unordered_set<std::string> Listed;  // upper-cased
  bool Failed = false;
  auto List = [&](const std::string &AKey) {
    if (Listed.insert(UpperCase(AKey)).second) Keys.push_back(AKey);
  };
  for (const std::string &Asked : ASections) {
    const std::string Key = ShortStr(TrimView(Asked));
    if (!Old.Find(Key) && !New.Find(Key)) {
      AConsole.Err << "vok: diff: error: " << AConsole.Show("no section " + Bracketed(Key)) << " in " << AOld << " or "
                   << ANew << "\n";
      Failed = true;
    } else {
      List(Key);
    }
  }
  if (ASections.empty()) {
    for (const TVokFile *F : {&Old, &New}) {
      for (const TDictionary &D : F->Dictionaries) List(D.Key);
      for (const int H : F->Blanks) {
        const THeader &Blank = F->Headers[static_cast<std::size_t>(H)];
        AConsole.Err << F->Path << ":" << Blank.Line << ": error: "
                     << AConsole.Show("the name of section " + Bracketed(Blank.Name) +
                                      " is blank: LoadVok cannot load it")
                     << "\n";
        Failed = true;
      }
    }
  }
  for (TVokFile *F : {&Old, &New}) {
    std::vector<bool> Compared(F->Dictionaries.size());
    for (const std::string &Key : Keys)
      if (const TDictionary *D = F->Find(Key)) {
        Compared[static_cast<std::size_t>(D - F->Dictionaries.data())] = true;
        Failed |= !Loaded(AConsole, *F, *D);
      }
    NoteLeftOut(AConsole, *F, Compared);
  }
  if (Failed) return 2;

  bool Differ = false;
  for (const std::string &Key : Keys) {
    const TDictionary *O = Old.Find(Key), *N = New.Find(Key);
    if (!O || !N) {
      const TVokFile &File = O ? Old : New;
      const TDictionary &Only = O ? *O : *N;
      AConsole.Out << AConsole.Show(Bracketed(File.Headers[static_cast<std::size_t>(Only.Read)].Name) +
                                    (O ? ": section removed (" : ": section added (") + Items(Only.Items.size()) + ")")
                   << "\n";
      Differ = true;
      continue;
    }
    const TSectionDiff D = CompareSections(Old, *O, New, *N);
    const std::string Name = Bracketed(Old.Headers[static_cast<std::size_t>(O->Read)].Name) + ": ";
    if (!D.Differs()) {
      AConsole.Out << AConsole.Show(Name + "no changes (" + Items(N->Items.size()) + ")") << "\n";
      continue;
    }
    Differ = true;
    AConsole.Out << AConsole.Show(Name + Summary(D)) << "\n";
    for (const std::string &Line : D.Lines) AConsole.Out << AConsole.Show(Line) << "\n";
  }
  return Differ ? 1 : 0;
}

}  // namespace vok::tool
