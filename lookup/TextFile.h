// Line-by-line reading of 8-bit text files, the way dictionary files are read.
#pragma once

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vok {

// An input/output failure while opening or reading a file; what() is the text shown to users.
class EInOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How a text was read.
enum class TEncoding {
  Ansi,      // byte for byte, in the ANSI code page (a text of ASCII alone too)
  Utf8Mark,  // UTF-8 after its byte order mark EF BB BF
  Utf8,      // UTF-8 without the mark: valid throughout, with a byte above 127
  Utf16Le,   // UTF-16 after the mark FF FE
  Utf16Be,   // UTF-16 after the mark FE FF
};

// The encoding that a byte order mark at the start of AText names (Utf8Mark, Utf16Le, Utf16Be),
// its length in AMarkLength; Ansi and 0 without one.
TEncoding EncodingOfMark(std::string_view AText, std::size_t &AMarkLength);

// Reads a text file line by line. A line ends at a line feed; every carriage return is
// dropped; a character 26 at the start of a line ends the text. The encoding is decided once
// for the whole file: after a byte order mark, UTF-8 or UTF-16; without one, UTF-8 when the
// file holds a byte above 127 and is valid UTF-8 to its end, otherwise the ANSI code page.
// The lines of UTF-8 and UTF-16 texts are handed out in the ANSI code page ("?" for a
// character it cannot hold), the others byte for byte. The file is open from construction to
// destruction (or Close) only.
class TTextReader {
 public:
  // Opens AFileName for reading; throws EInOutError when it cannot be opened.
  explicit TTextReader(const std::string &AFileName);
  // Reads the open stream AFile, which it owns from then on, in blocks of ABlockSize bytes
  // (at least 1): for texts that are not files, and for tests of lines across blocks. Where
  // the encoding must be decided from the rest of a stream that cannot seek (a pipe), that rest
  // is kept in memory. Throws EInOutError when AFile is null.
  TTextReader(std::FILE *AFile, std::size_t ABlockSize);
  ~TTextReader();
  TTextReader(const TTextReader &) = delete;
  TTextReader &operator=(const TTextReader &) = delete;

  // Reads the next line into ALine; false at the end of the text. Throws EInOutError
  // when reading fails.
  bool ReadLine(std::string &ALine);
  // The same, without copying where it can: ALine stays valid until the next call of
  // ReadLine or Eof.
  bool ReadLine(std::string_view &ALine);
  // True when no line is left (the end of the file, or a character 26 starting the next line).
  bool Eof();
  // The number of lines read so far: the line number, from 1, of the last line read.
  std::size_t LineNumber() const { return fLineNumber; }
  // How the text is read. Without a mark, Ansi until the first byte above 127 is read, which
  // decides.
  TEncoding Encoding() const { return fEncoding; }
  // True when the last line read was converted from UTF-8 or UTF-16; Utf8Line() is then
  // that line in UTF-8, before its conversion.
  bool LineConverted() const { return fLineConverted; }
  const std::string &Utf8Line() const { return fUtf8Line; }
  void Close();

 private:
  bool Converting() const { return fEncoding != TEncoding::Ansi; }
  // Reads the first bytes and takes the byte order mark from them when they are one.
  void ReadMark();
  // Reads up to ACount bytes of the file to ATo, the bytes read ahead first; the number read,
  // 0 at the end of the file.
  std::size_t ReadBytes(char *ATo, std::size_t ACount);
  bool Fill();
  // Converts the next UTF-16 bytes into fDecoded; the number of UTF-8 bytes, 0 at the end.
  std::size_t FillUtf16();
  // Of a text without a mark whose bytes were ASCII up to the block just read: decides its
  // encoding when the block holds a byte above 127.
  void Decide();
  // True when the file is valid UTF-8 from AFrom, in the block, to its end.
  bool RestIsUtf8(const char *AFrom);
  // Reads the next line's bytes into ALine, CRs dropped; false at the end of the text.
  bool ReadRawLine(std::string &ALine);

  std::FILE *fFile = nullptr;
  std::unique_ptr<char[]> fBuffer;  // filled by reads only: a short file touches little of it
  std::size_t fBlockSize;
  const char *fData = nullptr;  // the block the lines are cut from: fBuffer, or fDecoded
  std::size_t fPos = 0, fEnd = 0;
  std::size_t fLineNumber = 0;
  std::string fLine;  // a line that spans blocks, holds carriage returns or is converted
  // Bytes read ahead of the blocks, which the next reads take first: those after the mark's test,
  // and the rest of a stream that cannot seek, read by the encoding's test.
  std::string fAhead;
  std::size_t fAheadPos = 0;
  std::string fDecoded;   // UTF-16 bytes in UTF-8
  std::size_t fKept = 0;  // UTF-16 bytes at the start of fBuffer left for the next block
  TEncoding fEncoding = TEncoding::Ansi;
  bool fDecided = false;
  std::string fUtf8Line;
  bool fLineConverted = false;
  bool fEof = false;
};

}  // namespace vok
