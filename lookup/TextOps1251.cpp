// Native builds: the locale operations for the Windows-1251 code page, from a table.
#include <array>

#include "lookup/Cp1251.h"
#include "lookup/TextOps.h"

namespace vok {

namespace {

struct TCaseTable {
  std::array<unsigned char, 256> Upper{}, Lower{};
  TCaseTable() {
    for (int C = 0; C < 256; ++C) Upper[C] = Lower[C] = static_cast<unsigned char>(C);
    auto Pair = [this](int AUp, int ALow) {
      Upper[ALow] = static_cast<unsigned char>(AUp);
      Lower[AUp] = static_cast<unsigned char>(ALow);
    };
    for (int C = 'A'; C <= 'Z'; ++C) Pair(C, C + 32);
    for (int C = 0xC0; C <= 0xDF; ++C) Pair(C, C + 32);  // А..Я / а..я
    const int Pairs[][2] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
                            {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
                            {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
    for (const auto &P : Pairs) Pair(P[0], P[1]);
  }
};

const TCaseTable &Table() {
  static const TCaseTable T;
  return T;
}

unsigned char Fold(char C) { return Table().Lower[static_cast<unsigned char>(C)]; }

}  // namespace

bool SameText(std::string_view A, std::string_view B) { return CompareText(A, B) == 0; }

int CompareText(std::string_view A, std::string_view B) {
  const std::size_t N = A.size() < B.size() ? A.size() : B.size();
  for (std::size_t I = 0; I < N; ++I) {
    const unsigned char X = Fold(A[I]), Y = Fold(B[I]);
    if (X != Y) return X < Y ? -1 : 1;
  }
  return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

const unsigned char *UpperCaseTable() { return Table().Upper.data(); }

std::string Utf8ToAnsi(std::string_view AText) { return Utf8To1251Lossy(AText); }

std::string AnsiToUtf8(std::string_view AText) { return Cp1251ToUtf8(AText); }

void UpperCaseInPlace(std::string &S) {
  for (char &C : S) C = static_cast<char>(Table().Upper[static_cast<unsigned char>(C)]);
}

}  // namespace vok
