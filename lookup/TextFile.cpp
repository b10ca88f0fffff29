#include "lookup/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "lookup/TextOps.h"

namespace vok {

namespace {
constexpr std::size_t BlockSize = 1 << 20;

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

TTextReader::TTextReader(const std::string &AFileName) : fBuffer(new char[BlockSize]), fBlockSize(BlockSize) {
  if (AFileName.find('\0') != std::string::npos) throw EInOutError("File not found");
  errno = 0;
  fFile = std::fopen(AFileName.c_str(), "rb");
  if (!fFile) throw EInOutError(OpenErrorText(errno));
  ReadMark();
}

TTextReader::TTextReader(std::FILE *AFile, std::size_t ABlockSize)
    : fFile(AFile), fBlockSize(std::max<std::size_t>(ABlockSize, 1)) {
  fBuffer.reset(new char[fBlockSize]);
  if (!fFile) throw EInOutError("File not found");
  ReadMark();
}

// A failure to read here shows again, and is raised, at the first block.
void TTextReader::ReadMark() {
  fHeadLen = std::fread(fHead, 1, sizeof fHead, fFile);
  fUtf8 = fHeadLen == sizeof fHead && std::memcmp(fHead, "\xEF\xBB\xBF", sizeof fHead) == 0;
  if (fUtf8) fHeadLen = 0;
}

TTextReader::~TTextReader() { Close(); }

void TTextReader::Close() {
  if (fFile) std::fclose(fFile);
  fFile = nullptr;
}

bool TTextReader::Fill() {
  if (fEof || !fFile) return false;
  fPos = 0;
  fEnd = std::min(fHeadLen - fHeadPos, fBlockSize);
  std::memcpy(fBuffer.get(), fHead + fHeadPos, fEnd);
  fHeadPos += fEnd;
  if (fEnd < fBlockSize) fEnd += std::fread(fBuffer.get() + fEnd, 1, fBlockSize - fEnd, fFile);
  if (fEnd == 0) {
    if (std::ferror(fFile)) throw EInOutError("Read error");
    fEof = true;
    return false;
  }
  return true;
}

bool TTextReader::Eof() {
  if (fPos == fEnd && !Fill()) return true;
  if (fBuffer[fPos] == 26) {
    fEof = true;
    fPos = fEnd = 0;
    return true;
  }
  return false;
}

bool TTextReader::ReadLine(std::string_view &ALine) {
  if (Eof()) return false;
  if (fUtf8) {
    ReadLine(fLine);
    ALine = fLine;
    return true;
  }
  const char *Start = fBuffer.get() + fPos;
  const void *Lf = std::memchr(Start, '\n', fEnd - fPos);
  if (Lf) {
    std::size_t Len = static_cast<const char *>(Lf) - Start;
    const std::size_t Body = Len && Start[Len - 1] == '\r' ? Len - 1 : Len;
    if (!std::memchr(Start, '\r', Body)) {
      fPos += Len + 1;
      ++fLineNumber;
      ALine = std::string_view(Start, Body);
      return true;
    }
  }
  ReadRawLine(fLine);
  ALine = fLine;
  return true;
}

bool TTextReader::ReadLine(std::string &ALine) {
  if (!fUtf8) return ReadRawLine(ALine);
  if (!ReadRawLine(fUtf8Line)) return false;
  ALine = Utf8ToAnsi(fUtf8Line);
  return true;
}

bool TTextReader::ReadRawLine(std::string &ALine) {
  ALine.clear();
  if (Eof()) return false;
  ++fLineNumber;
  for (;;) {
    const char *Start = fBuffer.get() + fPos;
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
