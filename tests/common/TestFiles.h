// Temporary files, texts read from memory, the sample dictionary and comparable rows, for the
// native tests and the fuzz targets of the core.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <iconv.h>
#include <unistd.h>

#include "lookup/CodeList.h"
#include "lookup/TextFile.h"
#include "tests/common/Pinned.h"
#include "tests/common/Texts.h"

namespace vok::test {

// A file with the given bytes, removed when the object goes.
class TTempFile : TPinned {
 public:
  explicit TTempFile(std::string_view AContents) {
    char Name[] = "/tmp/vokXXXXXX";
    const int Fd = mkstemp(Name);
    if (Fd >= 0) close(Fd);
    fPath = Name;
    std::ofstream(fPath, std::ios::binary) << AContents;
  }
  ~TTempFile() { std::remove(fPath.c_str()); }
  const std::string &Path() const { return fPath; }

 private:
  std::string fPath;
};

// A text kept in memory, read through TTextReader in blocks of any size, so that lines
// cross block boundaries in every way.
class TMemoryText {
 public:
  explicit TMemoryText(std::string_view AText) : fText(AText) {}
  // A new reader from the start of the text.
  std::unique_ptr<TTextReader> Open(std::size_t ABlockSize) {
    std::FILE *F = fmemopen(fText.empty() ? fEmpty : fText.data(), fText.size(), "r");
    return std::make_unique<TTextReader>(F, ABlockSize);
  }

 private:
  std::string fText;
  char fEmpty[1] = {0};
};

// AText converted by the C library from the encoding AFrom to ATo ("UTF-8", "UTF-16LE", "CP1251");
// empty when it cannot be converted.
inline std::string Iconv(std::string_view AText, const char *ATo, const char *AFrom) {
  const iconv_t Cd = iconv_open(ATo, AFrom);
  if (Cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string In(AText), Out(AText.size() * 4 + 4, '\0');
  char *InP = In.data(), *OutP = Out.data();
  std::size_t InLeft = In.size(), OutLeft = Out.size();
  const bool Done = iconv(Cd, &InP, &InLeft, &OutP, &OutLeft) != static_cast<std::size_t>(-1);
  iconv_close(Cd);
  return Done ? Out.substr(0, Out.size() - OutLeft) : std::string();
}

// A row of a level or of a code list, as expectations compare and print it.
struct TRow {
  int32_t Code;
  std::string Text;
  bool operator==(const TRow &O) const { return Code == O.Code && Text == O.Text; }
  friend std::ostream &operator<<(std::ostream &AOut, const TRow &R) { return AOut << R.Code << '=' << R.Text; }
};
using TRows = std::vector<TRow>;

inline TRows Rows(const TCodeList &AList) {
  TRows R;
  for (const TCodeRow &Row : AList.Rows()) R.push_back({Row.Code, Row.Text});
  return R;
}

// The entries of level ALevel of a dictionary (TLookup or the reference) in file order.
template <typename TDictionary>
TRows LevelRows(const TDictionary &ALookup, int ALevel) {
  TRows R;
  for (int I = 0; I < ALookup.GetLevelItemCount(ALevel); ++I) {
    const auto Item = ALookup.GetLevelItem(ALevel, I);
    R.push_back({Item.Code, Item.Text});
  }
  return R;
}

}  // namespace vok::test
