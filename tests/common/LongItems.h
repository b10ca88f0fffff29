// Dictionary files whose one item carries a text, or an extra text, of a length at or around a
// size that the text store or the file reader works with. Shared by the native tests of the
// core and the tests of the DLL.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vok::test {

// A text of ALength characters in which a piece that went missing or moved shows.
inline std::string LongText(std::size_t ALength, char AFirst) {
  std::string S(ALength, ' ');
  for (std::size_t I = 0; I < ALength; ++I) S[I] = static_cast<char>(AFirst + I % 23);
  return S;
}

// Section S: item 2 with a long text, or with a long extra text, between the short items 1 and
// 3; section T after it. ALineEnd ends every line.
struct TLongItem {
  bool InExtra;
  std::size_t Length;
  std::string Label() const { return std::string(InExtra ? "extra text" : "item text") + " of " + std::to_string(Length); }
  std::string Long() const { return LongText(Length, InExtra ? 'a' : 'A'); }
  std::string Text() const { return InExtra ? "two" : Long(); }
  std::string Extra() const { return InExtra ? Long() : ""; }
  static std::string Prefix(bool AInExtra, const std::string &ALineEnd = "\n") {
    const std::string &E = ALineEnd;
    return "[S]" + E + "Format=1" + E + "Display=%1" + E + "Delimit=," + E + "1=one#first" + E + "2=" +
           (AInExtra ? "two#" : "");
  }
  std::string File(const std::string &ALineEnd = "\n") const {
    const std::string &E = ALineEnd;
    return Prefix(InExtra, E) + Long() + (InExtra ? "#tag" : "") + E + "3=three#third" + E + "[T]" + E + "Format=1" + E +
           "Display=%1" + E + "Delimit=" + E + "1=t" + E;
  }
};

// The lengths: a short string and one more; the text store's first block (4 KiB) and each
// doubling up to its largest block (1 MiB), among them the size from which a text takes a
// block of its own (256 KiB); and lines that end around the end of the reader's 1 MiB block.
// Each for an item text and for an extra text.
inline std::vector<TLongItem> LongItems(const std::string &ALineEnd = "\n") {
  std::vector<TLongItem> R;
  for (bool InExtra : {false, true}) {
    for (std::size_t L : {255, 256}) R.push_back({InExtra, L});
    for (std::size_t S = 4096; S <= std::size_t(1) << 20; S *= 2)
      for (std::size_t L : {S - 1, S, S + 1}) R.push_back({InExtra, L});
    const std::size_t AtBlock = (std::size_t(1) << 20) - TLongItem::Prefix(InExtra, ALineEnd).size() - (InExtra ? 4 : 0);
    for (std::size_t L = AtBlock - 2; L <= AtBlock + 1; ++L) R.push_back({InExtra, L});
  }
  return R;
}

}  // namespace vok::test
