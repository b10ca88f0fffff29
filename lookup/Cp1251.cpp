#include "lookup/Cp1251.h"

#include <cstdio>
#include <cstring>

namespace vok {

namespace {

// Unicode code points of the bytes 0x80..0xFF; 0 for the unassigned 0x98.
constexpr uint16_t HighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

uint32_t CodePointOf(unsigned char AByte) {
  if (AByte < 0x80) return AByte;
  if (AByte >= 0xC0) return 0x0410 + (AByte - 0xC0);
  return HighHalf[AByte - 0x80];
}

// The 1251 byte of a code point, or -1.
int ByteOf(uint32_t ACodePoint) {
  if (ACodePoint < 0x80) return static_cast<int>(ACodePoint);
  if (ACodePoint >= 0x0410 && ACodePoint <= 0x044F) return static_cast<int>(0xC0 + (ACodePoint - 0x0410));
  for (int I = 0; I < 64; ++I)
    if (HighHalf[I] == ACodePoint && HighHalf[I] != 0) return 0x80 + I;
  return -1;
}

void AppendUtf8(std::string &AOut, uint32_t C) {
  if (C < 0x80) {
    AOut += static_cast<char>(C);
  } else if (C < 0x800) {
    AOut += static_cast<char>(0xC0 | (C >> 6));
    AOut += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    AOut += static_cast<char>(0xE0 | (C >> 12));
    AOut += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    AOut += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    AOut += static_cast<char>(0xF0 | (C >> 18));
    AOut += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    AOut += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    AOut += static_cast<char>(0x80 | (C & 0x3F));
  }
}

}  // namespace

std::size_t DecodeUtf8(std::string_view AText, std::size_t APos, uint32_t &ACodePoint) {
  const unsigned char B = static_cast<unsigned char>(AText[APos]);
  std::size_t Len;
  uint32_t Min;
  if (B < 0x80) {
    ACodePoint = B;
    return 1;
  } else if ((B & 0xE0) == 0xC0) {
    Len = 2, Min = 0x80, ACodePoint = B & 0x1F;
  } else if ((B & 0xF0) == 0xE0) {
    Len = 3, Min = 0x800, ACodePoint = B & 0x0F;
  } else if ((B & 0xF8) == 0xF0) {
    Len = 4, Min = 0x10000, ACodePoint = B & 0x07;
  } else {
    return 0;
  }
  if (APos + Len > AText.size()) return 0;
  for (std::size_t I = 1; I < Len; ++I) {
    const unsigned char Next = static_cast<unsigned char>(AText[APos + I]);
    if ((Next & 0xC0) != 0x80) return 0;
    ACodePoint = (ACodePoint << 6) | (Next & 0x3F);
  }
  if (ACodePoint < Min || ACodePoint > 0x10FFFF || (ACodePoint >= 0xD800 && ACodePoint <= 0xDFFF)) return 0;
  return Len;
}

bool Utf8To1251(std::string_view AText, std::string &AOut, TUtf8Problem *AProblem) {
  AOut.clear();
  AOut.reserve(AText.size());
  for (std::size_t I = 0; I < AText.size();) {
    uint32_t C = 0;
    const std::size_t Len = DecodeUtf8(AText, I, C);
    const int Byte = Len ? ByteOf(C) : -1;
    if (Byte < 0) {
      if (AProblem) *AProblem = {I, C, Len == 0};
      return false;
    }
    AOut += static_cast<char>(Byte);
    I += Len;
  }
  return true;
}

std::string Utf8To1251Lossy(std::string_view AText) {
  std::string R(AText.size(), '\0');  // every character or malformed byte gives one byte
  std::size_t N = 0;
  for (std::size_t I = 0; I < AText.size();) {
    const unsigned char B = static_cast<unsigned char>(AText[I]);
    const unsigned char Next = I + 1 < AText.size() ? static_cast<unsigned char>(AText[I + 1]) : 0;
    if (B < 0x80) {
      R[N++] = static_cast<char>(B), ++I;
    } else if ((B == 0xD0 && Next >= 0x90 && Next <= 0xBF) || (B == 0xD1 && Next >= 0x80 && Next <= 0x8F)) {
      R[N++] = static_cast<char>(Next + (B == 0xD0 ? 0x30 : 0x70)), I += 2;  // А..я, most of a Russian text
    } else {
      uint32_t C = 0;
      const std::size_t Len = DecodeUtf8(AText, I, C);
      const int Byte = Len ? ByteOf(C) : -1;
      R[N++] = Byte < 0 ? '?' : static_cast<char>(Byte);
      I += Len ? Len : 1;
    }
  }
  R.resize(N);
  return R;
}

bool IsUtf8(std::string_view AText) {
  uint32_t C;
  for (std::size_t I = 0, Len; I < AText.size(); I += Len)
    if (!(Len = DecodeUtf8(AText, I, C))) return false;
  return true;
}

std::size_t AsciiPrefix(std::string_view AText) {
  std::size_t I = 0;
  for (uint64_t Word; I + sizeof Word <= AText.size(); I += sizeof Word) {
    std::memcpy(&Word, AText.data() + I, sizeof Word);
    if (Word & 0x8080808080808080u) break;
  }
  while (I < AText.size() && static_cast<unsigned char>(AText[I]) < 0x80) ++I;
  return I;
}

// The ranges of Unicode's table of well-formed byte sequences: no overlong form, no surrogate,
// nothing beyond U+10FFFF, as DecodeUtf8 decodes.
bool TUtf8Validator::Feed(std::string_view ABytes) {
  const auto *P = reinterpret_cast<const unsigned char *>(ABytes.data()), *End = P + ABytes.size();
  while (fValid && P < End) {
    const unsigned char B = *P++;
    if (fNeed) {
      fValid = B >= fLow && B <= fHigh;
      fLow = 0x80, fHigh = 0xBF;
      --fNeed;
    } else if (B < 0x80) {
      P += AsciiPrefix(std::string_view(reinterpret_cast<const char *>(P), End - P));
    } else if (B < 0xC2 || B > 0xF4) {
      fValid = false;
    } else if (B < 0xE0) {
      if (P < End)
        fValid = (*P++ & 0xC0) == 0x80;  // the whole of a two-byte character, such as a Cyrillic letter
      else
        fNeed = 1;
    } else if (B < 0xF0) {
      fNeed = 2;
      if (B == 0xE0) fLow = 0xA0;
      if (B == 0xED) fHigh = 0x9F;
    } else {
      fNeed = 3;
      if (B == 0xF0) fLow = 0x90;
      if (B == 0xF4) fHigh = 0x8F;
    }
  }
  return fValid;
}

std::string Cp1251ToUtf8(std::string_view AText) {
  std::string R;
  R.reserve(AText.size() * 2);
  for (char Ch : AText) {
    const uint32_t C = CodePointOf(static_cast<unsigned char>(Ch));
    AppendUtf8(R, C ? C : (Ch ? 0xFFFD : 0));
  }
  return R;
}

std::string Utf8ProblemText(std::string_view AText, const TUtf8Problem &AProblem) {
  std::size_t Char = 1;  // the problem's position in characters, from 1
  for (std::size_t I = 0; I < AProblem.Offset && I < AText.size(); ++I)
    if ((static_cast<unsigned char>(AText[I]) & 0xC0) != 0x80) ++Char;
  if (AProblem.Malformed) return "invalid UTF-8 at character " + std::to_string(Char);
  return "character " + std::to_string(Char) + ", " + CodePointName(AProblem.CodePoint) + ", has no Windows-1251 code";
}

std::string CodePointName(uint32_t ACodePoint) {
  char Buf[16];
  std::snprintf(Buf, sizeof Buf, "U+%04X", static_cast<unsigned>(ACodePoint));
  return Buf;
}

std::size_t AppendUtf16AsUtf8(std::string_view ABytes, bool ABigEndian, bool AFinal, std::string &AOut) {
  constexpr uint32_t Replacement = 0xFFFD;
  const auto Unit = [&](std::size_t APos) -> uint32_t {
    const unsigned char B0 = static_cast<unsigned char>(ABytes[APos]),
                        B1 = static_cast<unsigned char>(ABytes[APos + 1]);
    return ABigEndian ? (B0 << 8 | B1) : (B1 << 8 | B0);
  };
  std::size_t Pos = 0;
  while (Pos + 2 <= ABytes.size()) {
    const uint32_t U = Unit(Pos);
    if (U >= 0xD800 && U <= 0xDBFF) {
      if (Pos + 4 > ABytes.size()) {
        if (!AFinal) return Pos;
        AppendUtf8(AOut, Replacement);
        Pos += 2;
        continue;
      }
      const uint32_t Low = Unit(Pos + 2);
      if (Low >= 0xDC00 && Low <= 0xDFFF) {
        AppendUtf8(AOut, 0x10000 + ((U - 0xD800) << 10) + (Low - 0xDC00));
        Pos += 4;
      } else {
        AppendUtf8(AOut, Replacement);
        Pos += 2;
      }
    } else {
      AppendUtf8(AOut, U >= 0xDC00 && U <= 0xDFFF ? Replacement : U);
      Pos += 2;
    }
  }
  if (AFinal && Pos < ABytes.size()) {
    AppendUtf8(AOut, Replacement);
    Pos = ABytes.size();
  }
  return Pos;
}

}  // namespace vok
