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

// Reads a text file line by line. A line ends at a line feed; a carriage return before it,
// or one that no line feed follows, is dropped; a character 26 at the start of a line ends
// the text. A text that begins with the UTF-8 byte order mark is UTF-8: the mark is skipped
// and every line is handed out in the ANSI code page ("?" for a character it cannot hold);
// any other text is handed out byte for byte. The file is open from construction to
// destruction (or Close) only.
class TTextReader {
 public:
  // Opens AFileName for reading; throws EInOutError when it cannot be opened.
  explicit TTextReader(const std::string &AFileName);
  // Reads the open stream AFile, which it owns from then on, in blocks of ABlockSize bytes
  // (at least 1): for texts that are not files, and for tests of lines across blocks.
  // Throws EInOutError when AFile is null.
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
  // True when the text began with the UTF-8 byte order mark.
  bool Utf8() const { return fUtf8; }
  // For a UTF-8 text, the last line read as the file holds it, before its conversion.
  const std::string &Utf8Line() const { return fUtf8Line; }
  void Close();

 private:
  // Reads the first bytes and takes the byte order mark from them when they are one.
  void ReadMark();
  bool Fill();
  // Reads the next line's bytes into ALine, CRs dropped; false at the end of the text.
  bool ReadRawLine(std::string &ALine);

  std::FILE *fFile = nullptr;
  std::unique_ptr<char[]> fBuffer;  // filled by reads only: a short file touches little of it
  std::size_t fBlockSize;
  std::size_t fPos = 0, fEnd = 0;
  std::size_t fLineNumber = 0;
  std::string fLine;  // a line that spans blocks, holds carriage returns or is converted
  char fHead[3];      // the first bytes, read before the first block, unless they are the mark
  std::size_t fHeadPos = 0, fHeadLen = 0;
  bool fUtf8 = false;
  std::string fUtf8Line;
  bool fEof = false;
};

}  // namespace vok
