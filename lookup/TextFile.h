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
// the text. The file is open from construction to destruction (or Close) only.
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
  void Close();

 private:
  bool Fill();

  std::FILE *fFile = nullptr;
  std::unique_ptr<char[]> fBuffer;  // filled by reads only: a short file touches little of it
  std::size_t fBlockSize;
  std::size_t fPos = 0, fEnd = 0;
  std::size_t fLineNumber = 0;
  std::string fLine;  // a line that spans blocks or holds carriage returns
  bool fEof = false;
};

}  // namespace vok
