// Deterministic dictionary files for the benchmark, and the floor it measures loading against.
//
// A generated section has three levels with widths 2, 3, 3 (codes TTCCCGGG), Cyrillic texts in
// Windows-1251 and extra texts on four items of five. Every top item has AChildren children;
// the first AFullChildren of them have AGrandChildren children each, the rest exactly ten, so
// that a listing of ten children can be timed on any size. Depth-first file order, as real
// classifiers are written. The large shape (99 x 110, 100 grandchildren under 100 of the 110
// children) has 1,010,889 items, the small one (10 x 10 x 10) 1,110.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vok::bench {

struct TDictShape {
  int Top, Children, FullChildren, GrandChildren;
};

constexpr TDictShape LargeShape{99, 110, 100, 100};
constexpr TDictShape SmallShape{10, 10, 10, 10};
constexpr const char *BenchSection = "Municipalities";

// Children of a level-1 item (its third field is zero) in a dictionary of that shape.
inline int ChildrenOf(const TDictShape &AShape, int AChild) {
  return AChild <= AShape.FullChildren ? AShape.GrandChildren : 10;
}

inline int32_t ShapeCode(int ATop, int AChild, int AGrand) { return ATop * 1000000 + AChild * 1000 + AGrand; }

namespace detail {

// A 32-bit mix of a code: the same texts on every platform and every run.
inline uint32_t Mix(uint32_t X) {
  X ^= X >> 16;
  X *= 0x7FEB352Du;
  X ^= X >> 15;
  X *= 0x846CA68Bu;
  X ^= X >> 16;
  return X;
}

// Lower-case Cyrillic syllables in Windows-1251.
inline const char *const Syllables[] = {
    "\xED\xEE", "\xE2\xEE",     "\xEA\xE0",     "\xEB\xE8",     "\xF0\xE0",     "\xEC\xE8", "\xE4\xEE",
    "\xF1\xE5", "\xEB\xEE",     "\xE3\xEE\xF0", "\xE1\xE5",     "\xF0\xE5",     "\xE7\xEE", "\xF1\xF2\xE0",
    "\xEF\xE5", "\xF2\xF0\xEE", "\xEA\xF0\xE0", "\xE1\xEE\xF0", "\xE2\xE5\xF0", "\xF5\xEE", "\xE6\xE0",
    "\xF7\xE5", "\xF8\xE8",     "\xEF\xEE\xEB", "\xF0\xFF",     "\xE4\xF3",     "\xEB\xFE", "\xE3\xEB\xE8",
    "\xF1\xEE", "\xE7\xE8",     "\xEA\xEE\xE2", "\xEC\xE0\xEB"};
inline const char *const Endings[] = {"\xEE\xE2\xEE", "\xE8\xED\xEE", "\xEA\xE0",     "\xF1\xEA",
                                      "\xE5\xE2\xEE", "\xEE\xE5",     "\xE8\xF6\xFB", "\xE8\xF7\xE8"};
// Prefixes of level-2 items: "с. ", "д. ", "пос. ", "г. ".
inline const char *const Settlements[] = {"\xF1. ", "\xE4. ", "\xEF\xEE\xF1. ", "\xE3. "};

// A place name: two or three syllables and an ending, the first letter upper case.
inline std::string PlaceName(uint32_t ASeed) {
  std::string S;
  const int Count = 2 + static_cast<int>(ASeed % 2);
  for (int I = 0; I < Count; ++I) {
    S += Syllables[(ASeed >> (1 + 5 * I)) & 31];
  }
  S += Endings[(ASeed >> 16) & 7];
  S[0] = static_cast<char>(static_cast<unsigned char>(S[0]) - 32);
  return S;
}

}  // namespace detail

// The text of an item: "<Name> область" / "<Name> район" / "с. <Name>".
inline std::string ShapeText(int32_t ACode, int ALevel) {
  const uint32_t H = detail::Mix(static_cast<uint32_t>(ACode));
  const std::string Name = detail::PlaceName(H);
  if (ALevel == 0) return Name + " \xEE\xE1\xEB\xE0\xF1\xF2\xFC";
  if (ALevel == 1) return Name + " \xF0\xE0\xE9\xEE\xED";
  return detail::Settlements[(H >> 20) & 3] + Name;
}

// The extra text of an item, empty for one item of five: "ОКТМО <8 digits>; нас. <N> чел.".
inline std::string ShapeExtra(int32_t ACode) {
  const uint32_t H = detail::Mix(static_cast<uint32_t>(ACode) ^ 0x5bd1e995u);
  if (H % 5 == 0) return std::string();
  char Buf[96];
  std::snprintf(Buf, sizeof Buf, "\xCE\xCA\xD2\xCC\xCE %08u; \xED\xE0\xF1. %u \xF7\xE5\xEB.",
                static_cast<unsigned>(H % 100000000u), static_cast<unsigned>((H >> 8) % 50000u));
  return Buf;
}

// Calls AItem(code, level) for every item of the shape in file order.
template <typename F>
void ForEachShapeItem(const TDictShape &AShape, F &&AItem) {
  for (int T = 1; T <= AShape.Top; ++T) {
    AItem(ShapeCode(T, 0, 0), 0);
    for (int C = 1; C <= AShape.Children; ++C) {
      AItem(ShapeCode(T, C, 0), 1);
      for (int G = 1, N = ChildrenOf(AShape, C); G <= N; ++G) AItem(ShapeCode(T, C, G), 2);
    }
  }
}

// Writes the section to AFile line by line (nothing large is held in memory); returns the
// number of items. Throws std::runtime_error when the file cannot be written.
inline long WriteShapeFile(const std::string &AFile, const TDictShape &AShape) {
  std::FILE *F = std::fopen(AFile.c_str(), "wb");
  if (!F) throw std::runtime_error("cannot write " + AFile);
  std::string Out = "; generated for the benchmark\r\n[" + std::string(BenchSection) +
                    "]\r\nFormat=2,3,3\r\nDisplay=%1%2%3\r\nDelimit=,\r\n";
  long Count = 0;
  ForEachShapeItem(AShape, [&](int32_t ACode, int ALevel) {
    Out += std::to_string(ACode);
    Out += '=';
    Out += ShapeText(ACode, ALevel);
    const std::string Extra = ShapeExtra(ACode);
    if (!Extra.empty()) {
      Out += '#';
      Out += Extra;
    }
    Out += "\r\n";
    ++Count;
    if (Out.size() > (1 << 16)) {
      std::fwrite(Out.data(), 1, Out.size(), F);
      Out.clear();
    }
  });
  const bool Ok = std::fwrite(Out.data(), 1, Out.size(), F) == Out.size();
  if (std::fclose(F) != 0 || !Ok) throw std::runtime_error("cannot write " + AFile);
  return Count;
}

// The floor of loading: the file's lines in memory, each its own std::string (line ends
// removed), the file read in 1 MB blocks.
inline std::vector<std::string> ReadLinesFloor(const std::string &AFile) {
  std::FILE *F = std::fopen(AFile.c_str(), "rb");
  if (!F) throw std::runtime_error("cannot read " + AFile);
  std::vector<std::string> Lines;
  std::vector<char> Block(1 << 20);
  std::string Part;  // a line cut by the end of a block
  for (;;) {
    const std::size_t N = std::fread(Block.data(), 1, Block.size(), F);
    if (N == 0) break;
    const char *P = Block.data(), *End = P + N;
    while (P < End) {
      const char *Lf = static_cast<const char *>(std::memchr(P, '\n', static_cast<std::size_t>(End - P)));
      if (!Lf) {
        Part.append(P, End);
        break;
      }
      const char *E = Lf > P && Lf[-1] == '\r' ? Lf - 1 : Lf;
      if (Part.empty()) {
        Lines.emplace_back(P, E);
      } else {
        Part.append(P, E);
        if (!Part.empty() && Part.back() == '\r') Part.pop_back();
        Lines.push_back(std::move(Part));
        Part.clear();
      }
      P = Lf + 1;
    }
  }
  std::fclose(F);
  if (!Part.empty()) Lines.push_back(std::move(Part));
  return Lines;
}

// A lower floor, for information: the whole file in one buffer and its lines as views into
// it, split in place. AStore keeps the bytes the views point into.
inline std::vector<std::string_view> SplitLinesFloor(const std::string &AFile, std::string &AStore) {
  std::FILE *F = std::fopen(AFile.c_str(), "rb");
  if (!F) throw std::runtime_error("cannot read " + AFile);
  std::fseek(F, 0, SEEK_END);
  const long Size = std::ftell(F);
  std::fseek(F, 0, SEEK_SET);
  AStore.resize(static_cast<std::size_t>(Size < 0 ? 0 : Size));
  const std::size_t Got = std::fread(&AStore[0], 1, AStore.size(), F);
  std::fclose(F);
  AStore.resize(Got);
  std::vector<std::string_view> Lines;
  const char *P = AStore.data(), *End = P + AStore.size();
  while (P < End) {
    const char *Lf = static_cast<const char *>(std::memchr(P, '\n', static_cast<std::size_t>(End - P)));
    const char *E = Lf ? Lf : End;
    const char *T = E > P && E[-1] == '\r' ? E - 1 : E;
    Lines.emplace_back(P, static_cast<std::size_t>(T - P));
    P = E + 1;
  }
  return Lines;
}

}  // namespace vok::bench
