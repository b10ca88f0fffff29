#include "lookup/VokFile.h"

#include <string>

namespace vok {

TSectionSkip SectionSkip(std::string_view AName, bool AFirstHeader, bool AHeaderAtEnd) {
  if (AHeaderAtEnd && !AFirstHeader) return TSectionSkip::HeaderAtEnd;
  return AName.empty() ? TSectionSkip::EmptyName : TSectionSkip::None;
}

std::unique_ptr<TLookup> BeginSection(std::string_view AFile, std::string_view AName) {
  return BeginSection(std::make_shared<const std::string>(ShortStr(AFile)), AName);
}

std::unique_ptr<TLookup> BeginSection(const std::shared_ptr<const std::string> &APath, std::string_view AName) {
  auto Lookup = std::make_unique<TLookup>();
  Lookup->BeginLoad(APath, ShortView(AName), ShortView(AName), "*");
  return Lookup;
}

void LoadAllSections(TTextReader &AReader, std::string_view AFile, const TSectionSink &AOnSection) {
  std::unique_ptr<TLookup> Lookup;
  std::string Section;
  auto Finish = [&] {
    if (!Lookup) return;
    Lookup->EndLoad();
    AOnSection(Section, std::move(Lookup));
  };
  const auto Path = std::make_shared<const std::string>(ShortStr(AFile));
  bool First = true;
  std::string_view Line, Name;
  while (NextTrimmedLine(AReader, Line)) {
    if (!HeaderName(Line, Name)) {
      if (Lookup) Lookup->AddLine(Line);
      continue;
    }
    // The name is copied before the end of the text is tested: that may read on into the
    // buffer it points to.
    std::string Next(Name);
    Finish();
    Section = std::move(Next);
    const bool Skipped = SectionSkip(Section, First, AReader.Eof()) != TSectionSkip::None;
    if (!Skipped) Lookup = BeginSection(Path, Section);
    First = false;
  }
  Finish();
}

}  // namespace vok
