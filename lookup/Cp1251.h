// Windows-1251 <-> UTF-8 (and UTF-16 to UTF-8): .vok files are 1251, UTF-8 or UTF-16; terminals
// are UTF-8; CSV files from spreadsheets are any of them. The native builds take 1251 as their ANSI code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vok {

// Why a UTF-8 text could not be converted: the first offending character.
struct TUtf8Problem {
  std::size_t Offset = 0;  // byte offset in the UTF-8 text
  uint32_t CodePoint = 0;  // the character, when Malformed is false
  bool Malformed = false;  // not valid UTF-8 at Offset
};

// Converts UTF-8 text to Windows-1251. Returns false (AOut then partial) at the first character
// that the code page cannot hold or at malformed UTF-8, described in AProblem when given.
bool Utf8To1251(std::string_view AText, std::string &AOut, TUtf8Problem *AProblem = nullptr);

// The same where every character that 1251 cannot hold, and every byte of malformed UTF-8,
// becomes "?".
std::string Utf8To1251Lossy(std::string_view AText);

// Converts Windows-1251 text to UTF-8; the one unassigned byte 0x98 becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view AText);

// Appends the UTF-16 text ABytes (little-endian, or big-endian when ABigEndian) to AOut as UTF-8
// and returns the number of bytes it took. It takes whole code units and surrogate pairs only:
// an odd last byte or a high surrogate at the end is left for the next call with more bytes,
// unless AFinal, when it becomes U+FFFD, as every unpaired surrogate does.
std::size_t AppendUtf16AsUtf8(std::string_view ABytes, bool ABigEndian, bool AFinal, std::string &AOut);

// Decodes the UTF-8 character at AText[APos]; returns its length, 0 when malformed (overlong
// forms, surrogates and values beyond U+10FFFF included).
std::size_t DecodeUtf8(std::string_view AText, std::size_t APos, uint32_t &ACodePoint);

// True when AText is well-formed UTF-8.
bool IsUtf8(std::string_view AText);

// The number of bytes below 128 at the start of AText.
std::size_t AsciiPrefix(std::string_view AText);

// Tells whether a text given in pieces is well-formed UTF-8 so far, a character split between
// pieces included; the whole text is when Feed never returned false and Complete() holds at its
// end. IsUtf8 in one piece, faster over long texts.
class TUtf8Validator {
 public:
  // Takes the next bytes; false from the first malformed byte on.
  bool Feed(std::string_view ABytes);
  // True when no character is left unfinished.
  bool Complete() const { return fValid && fNeed == 0; }

 private:
  bool fValid = true;
  int fNeed = 0;                            // continuation bytes still to come
  unsigned char fLow = 0x80, fHigh = 0xBF;  // the range of the next one
};

// What AProblem of the UTF-8 text AText is, in words: "invalid UTF-8 at character 3", or
// "character 3, U+00E9, has no Windows-1251 code".
std::string Utf8ProblemText(std::string_view AText, const TUtf8Problem &AProblem);

// "U+00E9" for a code point.
std::string CodePointName(uint32_t ACodePoint);

}  // namespace vok
