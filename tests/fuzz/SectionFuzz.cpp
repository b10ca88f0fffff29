// Reading one section: the line splitting of TTextReader, the section scan, ReadSection with
// LoadVokEx, LoadVok from a file and the streaming load must agree on any text with each other
// and with the reference dictionary.
//
// The input is the whole file. Every section it names (up to four) is loaded; a line
// "#filter TAGS" picks the filter (otherwise "*").
#include <cstddef>

#include "lookup/VokRules.h"
#include "tests/fuzz/FuzzCommon.h"

using namespace vok;
using namespace vok::fuzz;

namespace {

// Reads every line with both ReadLine forms, alternating, in blocks of ABlockSize.
std::vector<std::string> ReadAll(TMemoryText &AText, std::size_t ABlockSize) {
  const std::unique_ptr<TTextReader> Reader = AText.Open(ABlockSize);
  std::vector<std::string> Lines;
  for (bool View = true;; View = !View) {
    if (View) {
      std::string_view Line;
      if (!Reader->ReadLine(Line)) break;
      Lines.emplace_back(Line);
    } else {
      std::string Line;
      if (!Reader->ReadLine(Line)) break;
      Lines.push_back(Line);
    }
  }
  VOK_CHECK(Reader->Eof());
  VOK_CHECK(Reader->LineNumber() == Lines.size());
  return Lines;
}

// Finds section AName in a reader over the text in blocks of ABlockSize and hands its
// lines to AOnLine, as ReadSection and LoadVok read them.
template <typename F>
void ForSectionLines(TMemoryText &AText, std::size_t ABlockSize, const std::string &AName, F &&AOnLine) {
  const std::unique_ptr<TTextReader> Reader = AText.Open(ABlockSize);
  std::string_view Line;
  if (!FindSection(*Reader, AName)) return;
  while (NextSectionLine(*Reader, Line)) AOnLine(Line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, std::size_t ASize) {
  const std::string_view Text(reinterpret_cast<const char *>(AData), ASize);
  TMemoryText Memory(Text);
  const std::size_t Block = 1 + ASize % 13;

  const std::vector<std::string> Lines = ReferenceLines(Text);
  VOK_CHECK(ReadAll(Memory, Block) == Lines);
  VOK_CHECK(ReadAll(Memory, 4096) == Lines);

  std::vector<std::string> Names;
  std::string Filter = "*";
  for (const std::string &Line : Lines) {
    std::string_view Name;
    if (HeaderName(TrimView(Line), Name) && Names.size() < 4) Names.emplace_back(Name);
    if (Filter == "*" && Line.rfind("#filter ", 0) == 0) Filter = Line.substr(8);
  }
  if (Names.empty()) Names.emplace_back("S");

  // Every section through the streaming load and through LoadVokEx; the first one also
  // from a file through LoadVok and ReadSection (each reader of a file takes a large buffer,
  // so they are used once per input).
  const std::string Path = "memory.vok";
  for (std::size_t I = 0; I < Names.size(); ++I) {
    const std::string &Name = Names[I];
    const std::string Alias = I % 2 ? std::string() : "Alias " + std::to_string(I);

    TLookup Streamed;
    Streamed.BeginLoad(Path, Name, Alias, Filter);
    TLines Section;
    ForSectionLines(Memory, Block, Name, [&](std::string_view ALine) {
      Streamed.AddLine(ALine);
      Section.emplace_back(ALine);
    });
    Streamed.EndLoad();
    TRefLines RefSection;
    bench::ReferenceSection(Lines, Name, RefSection);
    VOK_CHECK(RefSection == Section);
    const TRefLines RefRest = ExerciseBesideReference(Streamed, Path, Section, Name, Alias, Filter);
    const std::string Expected = Digest(Streamed);

    TLines Rest = Section;
    TLookup FromLines;
    FromLines.LoadVokEx(Path, &Rest, Name, Alias, Filter);
    VOK_CHECK(Digest(FromLines) == Expected);
    // The three header lines leave the caller's list when the load succeeds, as they leave the
    // reference's; some may when it fails.
    VOK_CHECK(Rest.size() <= Section.size() && Rest.size() + 3 >= Section.size());
    if (FromLines.Ready()) VOK_CHECK(Rest.size() + 3 == Section.size() && Rest == RefRest);

    // A second load into the same object replaces the first one entirely.
    FromLines.LoadVokEx(Path, nullptr, Name, Alias, Filter);
    VOK_CHECK(!FromLines.Ready() && FromLines.GroupCount() == 0);
    Rest = Section;
    FromLines.LoadVokEx(Path, &Rest, Name, Alias, Filter);
    VOK_CHECK(Digest(FromLines) == Expected);

    if (I > 0) continue;
    const test::TTempFile Temp(Text);
    const std::string &File = Temp.Path();
    TLines FileSection;
    ReadSection(File, Name, FileSection);
    VOK_CHECK(FileSection == Section);
    TLookup FromFile;
    FromFile.LoadVok(File, Name, Alias, Filter);
    TLookup Expect;
    Expect.LoadVokEx(File, &Section, Name, Alias, Filter);
    VOK_CHECK(Digest(FromFile) == Digest(Expect));
  }
  return 0;
}
