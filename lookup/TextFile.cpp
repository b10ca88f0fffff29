#include "lookup/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "lookup/Cp1251.h"
#include "lookup/TextOps.h"

namespace vok {

namespace {
constexpr std::size_t BlockSize = 1 << 20;
// The most UTF-16 bytes a block leaves for the next: a high surrogate and an odd byte.
constexpr std::size_t MaxKept = 3;

std::string OpenErrorText(int AErr) {
  switch (AErr) {
    case ENOENT:
      return "File not found";
    case EACCES:
      return "File access denied";
    case EISDIR:
      return "File access denied";
    case EMFILE:
      return "Too many open files";
    default:
      return "I/O error " + std::to_string(AErr);
  }
}
}  // namespace

TTextReader::TTextReader(const std::string &AFileName) : fBuffer(new char[BlockSize + MaxKept]), fBlockSize(BlockSize) {
  if (AFileName.find('\0') != std::string::npos) throw EInOutError("File not found");
  errno = 0;
  fFile = std::fopen(AFileName.c_str(), "rb");
  if (!fFile) throw EInOutError(OpenErrorText(errno));
  ReadMark();
}

TTextReader::TTextReader(std::FILE *AFile, std::size_t ABlockSize)
    : fFile(AFile), fBlockSize(std::max<std::size_t>(ABlockSize, 1)) {
  fBuffer.reset(new char[fBlockSize + MaxKept]);
  if (!fFile) throw EInOutError("File not found");
  ReadMark();
}

TEncoding EncodingOfMark(std::string_view AText, std::size_t &AMarkLength) {
  AMarkLength = 0;
  if (AText.substr(0, 3) == "\xEF\xBB\xBF") return AMarkLength = 3, TEncoding::Utf8Mark;
  if (AText.substr(0, 2) == "\xFF\xFE") return AMarkLength = 2, TEncoding::Utf16Le;
  if (AText.substr(0, 2) == "\xFE\xFF") return AMarkLength = 2, TEncoding::Utf16Be;
  return TEncoding::Ansi;
}

// A failure to read here shows again, and is raised, at the first block.
void TTextReader::ReadMark() {
  char Head[3];
  const std::string_view H(Head, std::fread(Head, 1, sizeof Head, fFile));
  std::size_t Mark;
  fEncoding = EncodingOfMark(H, Mark);
  fDecided = Mark != 0;
  fAhead = H.substr(Mark);
}

TTextReader::~TTextReader() { Close(); }

void TTextReader::Close() {
  if (fFile) std::fclose(fFile);
  fFile = nullptr;
}

std::size_t TTextReader::ReadBytes(char *ATo, std::size_t ACount) {
  std::size_t Got = std::min(fAhead.size() - fAheadPos, ACount);
  std::memcpy(ATo, fAhead.data() + fAheadPos, Got);
  fAheadPos += Got;
  if (fAheadPos == fAhead.size() && !fAhead.empty()) {
    fAhead = std::string();  // frees what was read ahead of a stream that cannot seek
    fAheadPos = 0;
  }
  if (Got < ACount) Got += std::fread(ATo + Got, 1, ACount - Got, fFile);
  if (Got == 0 && std::ferror(fFile)) throw EInOutError("Read error");
  return Got;
}

bool TTextReader::Fill() {
  if (fEof || !fFile) return false;
  fPos = 0;
  if (fEncoding == TEncoding::Utf16Le || fEncoding == TEncoding::Utf16Be) {
    fEnd = FillUtf16();
  } else {
    fData = fBuffer.get();
    fEnd = ReadBytes(fBuffer.get(), fBlockSize);
    if (!fDecided) Decide();
  }
  if (fEnd == 0) {
    fEof = true;
    return false;
  }
  return true;
}

// fBuffer holds fKept bytes that the last block left (an odd byte, a high surrogate), then the
// new ones; their UTF-8 is at most 3 bytes for every 2, and 3 for a last odd byte.
std::size_t TTextReader::FillUtf16() {
  fDecoded.clear();
  while (fDecoded.empty()) {
    const std::size_t Got = ReadBytes(fBuffer.get() + fKept, fBlockSize);
    const std::string_view Raw(fBuffer.get(), fKept + Got);
    if (Raw.empty()) break;
    fDecoded.reserve(Raw.size() / 2 * 3 + 3);
    const std::size_t Used = AppendUtf16AsUtf8(Raw, fEncoding == TEncoding::Utf16Be, Got == 0, fDecoded);
    fKept = Raw.size() - Used;
    std::memmove(fBuffer.get(), Raw.data() + Used, fKept);
  }
  fData = fDecoded.data();
  return fDecoded.size();
}

void TTextReader::Decide() {
  const std::size_t High = AsciiPrefix(std::string_view(fData, fEnd));
  if (High == fEnd) return;
  fDecided = true;
  if (RestIsUtf8(fData + High)) fEncoding = TEncoding::Utf8;
}

// Reads the rest of the file once, up to its first malformed byte, and goes back to where it
// was; a stream that cannot go back keeps what it read ahead for the next blocks. A Windows-1251
// text stops it at once: a Cyrillic letter followed by a letter is malformed UTF-8.
bool TTextReader::RestIsUtf8(const char *AFrom) {
  TUtf8Validator Check;
  if (!Check.Feed(std::string_view(AFrom, fData + fEnd - AFrom)) ||
      !Check.Feed(std::string_view(fAhead).substr(fAheadPos)))
    return false;
  std::fpos_t Here;
  const bool Seekable = std::fgetpos(fFile, &Here) == 0 && std::fsetpos(fFile, &Here) == 0;
  const std::size_t ChunkSize = std::min<std::size_t>(fBlockSize, 1 << 16);
  const std::unique_ptr<char[]> Chunk(new char[ChunkSize]);
  bool Valid = true;
  for (std::size_t Got; Valid && (Got = std::fread(Chunk.get(), 1, ChunkSize, fFile)) > 0;) {
    Valid = Check.Feed(std::string_view(Chunk.get(), Got));
    if (!Seekable) fAhead.append(Chunk.get(), Got);
  }
  if (std::ferror(fFile) || (Seekable && std::fsetpos(fFile, &Here) != 0)) throw EInOutError("Read error");
  return Valid && Check.Complete();
}

bool TTextReader::Eof() {
  if (fPos == fEnd && !Fill()) return true;
  if (fData[fPos] == 26) {
    fEof = true;
    fPos = fEnd = 0;
    return true;
  }
  return false;
}

bool TTextReader::ReadLine(std::string_view &ALine) {
  if (Eof()) return false;
  if (!Converting()) {
    const char *Start = fData + fPos;
    const void *Lf = std::memchr(Start, '\n', fEnd - fPos);
    if (Lf) {
      std::size_t Len = static_cast<const char *>(Lf) - Start;
      const std::size_t Body = Len && Start[Len - 1] == '\r' ? Len - 1 : Len;
      if (!std::memchr(Start, '\r', Body)) {
        fPos += Len + 1;
        ++fLineNumber;
        fLineConverted = false;
        ALine = std::string_view(Start, Body);
        return true;
      }
    }
  }
  ReadLine(fLine);
  ALine = fLine;
  return true;
}

bool TTextReader::ReadLine(std::string &ALine) {
  fLineConverted = Converting();
  if (!ReadRawLine(fLineConverted ? fUtf8Line : ALine)) return false;
  if (!fLineConverted && Converting()) {  // a block within the line decided that the text is UTF-8
    fUtf8Line.swap(ALine);
    fLineConverted = true;
  }
  if (fLineConverted) ALine = Utf8ToAnsi(fUtf8Line);
  return true;
}

bool TTextReader::ReadRawLine(std::string &ALine) {
  ALine.clear();
  if (Eof()) return false;
  ++fLineNumber;
  for (;;) {
    const char *Start = fData + fPos;
    const void *Lf = std::memchr(Start, '\n', fEnd - fPos);
    const std::size_t Len = Lf ? static_cast<const char *>(Lf) - Start : fEnd - fPos;
    const std::size_t From = ALine.size();
    ALine.append(Start, Len);
    if (std::memchr(Start, '\r', Len)) ALine.erase(std::remove(ALine.begin() + From, ALine.end(), '\r'), ALine.end());
    fPos += Len;
    if (Lf) {
      ++fPos;
      return true;
    }
    if (!Fill()) return true;
  }
}

}  // namespace vok
