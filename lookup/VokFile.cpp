#include "lookup/VokFile.h"

namespace vok {

bool HeaderName(std::string_view ATrimmed, std::string_view &AName) {
  if (ATrimmed.size() < 2 || ATrimmed.front() != '[' || ATrimmed.back() != ']') return false;
  AName = ATrimmed.substr(1, ATrimmed.size() - 2);
  return true;
}

bool NextTrimmedLine(TTextReader &AReader, std::string_view &ALine) {
  while (AReader.ReadLine(ALine)) {
    ALine = TrimView(ALine);
    if (!ALine.empty()) return true;
  }
  ALine = std::string_view();
  return false;
}

void LoadAllSections(TTextReader &AReader, std::string_view AFile, const TSectionSink &AOnSection) {
  std::string_view Line, Name;
  while (NextTrimmedLine(AReader, Line) && !HeaderName(Line, Name)) {
  }
  if (!HeaderName(Line, Name)) return;
  // Each section's trimmed lines go straight into its dictionary. The end of the file is
  // tested after each section, so a header on the last line is loaded (and fails, having
  // no body) only when it is the first header of the file. A header's name is copied as
  // soon as it is read: testing the end may read on into the buffer the name points to.
  std::string Section(Name);
  bool AtHeader;
  do {
    std::unique_ptr<TLookup> Lookup;
    if (!Section.empty()) {
      Lookup = std::make_unique<TLookup>();
      Lookup->BeginLoad(ShortView(AFile), ShortView(Section), ShortView(Section), "*");
    }
    AtHeader = false;
    while (NextTrimmedLine(AReader, Line)) {
      AtHeader = HeaderName(Line, Name);
      if (AtHeader) break;
      if (Lookup) Lookup->AddLine(Line);
    }
    std::string Next = AtHeader ? std::string(Name) : std::string();
    if (Lookup) {
      Lookup->EndLoad();
      AOnSection(Section, std::move(Lookup));
    }
    Section = std::move(Next);
  } while (AtHeader && !AReader.Eof());
}

}  // namespace vok
