// What the integration tests share: Vokabra.dll loaded the way the MapBasic host loads it,
// a host window, files in a temporary folder, and message boxes read and answered.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tests/common/Pinned.h"
#include "tests/common/Texts.h"
#include "win32/ExportTable.h"

namespace vok::test {

// The library, loaded once by LoadLibraryA for the whole test program.
HMODULE Dll();

// The export AName of AModule resolved by GetProcAddress; fails the test when it is missing.
template <typename F>
F *ExportOf(HMODULE AModule, const char *AName) {
  FARPROC P = GetProcAddress(AModule, AName);
  EXPECT_NE(P, nullptr) << "missing export " << AName;
  return reinterpret_cast<F *>(reinterpret_cast<void *>(P));
}

// The host's exports, with the argument types the MapBasic host passes.
using TText3 = void VOK_STDCALL(const char *, int32_t, char *);
using TExports = TExportTable;

const TExports &Vok();

// A message box that the library showed, as the test saw it before answering it.
struct TShownMessage {
  std::string Text, Caption;
  HWND Owner;
  std::wstring TextW, CaptionW;  // as Unicode, whatever the code page
};

// While alive, every message box shown on this thread is read and closed with OK.
class TMessageCatcher : TPinned {
 public:
  TMessageCatcher();
  ~TMessageCatcher();
  // The messages shown since the last call, oldest first.
  std::vector<TShownMessage> Take();
  std::vector<std::string> TakeTexts();
  // The one message shown since the last call; fails the test, and gives an empty message, when
  // not exactly one was shown.
  TShownMessage TakeOne();

 private:
  static LRESULT CALLBACK HookProc(int ACode, WPARAM AWParam, LPARAM ALParam);
  HHOOK fHook;
};

// A temporary folder, removed with its files at the end.
class TTempDir : TPinned {
 public:
  TTempDir();
  ~TTempDir();
  const std::string &Path() const { return fPath; }
  // Writes AContents (bytes as given) to file AName in the folder; returns its full path.
  std::string Write(const std::string &AName, const std::string &AContents) const;
  // Copies Vokabra.dll to file AName in the folder, a library of its own that really unloads
  // while the test program's stays loaded; returns its full path.
  std::string CopyOfDll(const std::string &AName) const;

 private:
  std::string fPath;
};

// A hidden top-level window that stands for the host's main window.
HWND HostWindow();

// While alive, the host window is shown and active, as the host is when it calls a dialog.
class TShownHost : TPinned {
 public:
  TShownHost();
  ~TShownHost();
};

// A handle that was a window and is one no more.
HWND DestroyedWindow();

// The text of window AWnd (in the ANSI code page, and as Unicode), and the name of its class.
std::string WindowText(HWND AWnd);
std::wstring WindowTextW(HWND AWnd);
// A Windows-1251 text, such as the library's own, as Unicode.
std::wstring FromCyrillic(const std::string &AText);
std::string ClassName(HWND AWnd);

// Key AKey pressed (or released, AUp) as input for SendInput.
INPUT KeyInput(WORD AKey, bool AUp);

// Writes the text AValue as value AName (null: the default value) of key AKey under ARoot,
// creating the key.
void SetRegText(HKEY ARoot, const std::string &AKey, const char *AName, const std::string &AValue);

// Whether the long runs were asked for (VOK_STRESS=full).
bool FullStressRun();

// Result buffers of one call. Each offers the room the host is told to offer, filled as the host
// fills it (blanks, then the zero byte that ends its string), and is followed by guard bytes.
class TBuffers {
 public:
  static constexpr std::size_t GuardSize = 64;

  // ABytes of room: ABytes - 1 blanks and a zero byte.
  char *Room(std::size_t ABytes) {
    std::string Fill(ABytes, ' ');
    Fill.back() = '\0';
    return Add(Fill);
  }
  // Exactly the bytes of AContents as the room.
  char *Holding(const std::string &AContents) { return Add(AContents); }

  // The text of buffer AIndex before its first zero byte.
  std::string Text(std::size_t AIndex = 0) const {
    const TBuffer &B = fBuffers.at(AIndex);
    const auto End = B.Bytes.begin() + static_cast<std::ptrdiff_t>(B.Room);
    const auto Zero = std::find(B.Bytes.begin(), End, '\0');
    return Zero == End ? "<no zero byte in the room>" : std::string(B.Bytes.begin(), Zero);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> R;
    for (std::size_t I = 0; I < fBuffers.size(); ++I) R.push_back(Text(I));
    return R;
  }
  // The bytes of the room of buffer AIndex.
  std::string Bytes(std::size_t AIndex) const {
    const TBuffer &B = fBuffers.at(AIndex);
    return std::string(B.Bytes.begin(), B.Bytes.begin() + static_cast<std::ptrdiff_t>(B.Room));
  }
  // The guard bytes that changed, as "buffer 0 (room 256): bytes 256..300 written"; empty when none.
  std::string Overruns() const {
    std::string R;
    for (std::size_t I = 0; I < fBuffers.size(); ++I) {
      const TBuffer &B = fBuffers[I];
      std::size_t First = 0, Last = 0;
      for (std::size_t G = 0; G < GuardSize; ++G)
        if (B.Bytes[B.Room + G] != Guard(G)) {
          if (!Last) First = B.Room + G;
          Last = B.Room + G + 1;
        }
      if (Last)
        R += "buffer " + std::to_string(I) + " (room " + std::to_string(B.Room) + "): bytes " + std::to_string(First) +
             ".." + std::to_string(Last - 1) + " written; ";
    }
    return R;
  }

 private:
  struct TBuffer {
    std::size_t Room;
    std::vector<char> Bytes;
  };
  static char Guard(std::size_t AIndex) { return static_cast<char>(0xA0 + AIndex % 32); }
  char *Add(const std::string &AContents) {
    TBuffer B{AContents.size(), std::vector<char>(AContents.begin(), AContents.end())};
    for (std::size_t G = 0; G < GuardSize; ++G) B.Bytes.push_back(Guard(G));
    fBuffers.push_back(std::move(B));
    return fBuffers.back().Bytes.data();
  }
  std::deque<TBuffer> fBuffers;
};

// The text ACall writes into a room of ARoom bytes, which it must not write past.
template <typename F>
std::string Written(std::size_t ARoom, F &&ACall) {
  TBuffers B;
  ACall(B.Room(ARoom));
  EXPECT_EQ(B.Overruns(), "") << "wrote past the room offered";
  return B.Text();
}

inline const std::string PlacesCrlf = Crlf(PlacesFile());  // the sample file as the host's users write it

// Base of the tests that use the open library: OpenVokList with the host window before each
// test, CloseVokabra after it, and every message box caught. Places is the path of PlacesCrlf
// written to the test's folder.
class TOpenLibrary : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  const TExports &V = Vok();
  TMessageCatcher Messages;
  TTempDir Dir;
  const std::string Places = Dir.Write("places.vok", PlacesCrlf);
};
// A projection file of one group with one entry.
inline const std::string PlaneFile = "\"--- Plane ---\"\r\n\"Metres\", 0, 7\r\n";
// Section AName of one level with the item lines AItems.
inline std::string FlatSection(const std::string &AName, const std::string &AItems = "") {
  return "[" + AName + "]\r\nFormat=3\r\nDisplay=%1\r\nDelimit=\r\n" + AItems;
}

// The library's own texts, in Windows-1251.
inline const std::string Undefined =  // the row of no value: (Значение не определено)
    "(\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xED\xE5 \xEE\xEF\xF0\xE5\xE4\xE5\xEB\xE5\xED\xEE)";
inline const std::string SearchHint = " (F3 - \xEF\xEE\xE8\xF1\xEA)";  // " (F3 - поиск)"
inline const std::string ChooserCaption =  // Выберите проекцию
    "\xC2\xFB\xE1\xE5\xF0\xE8\xF2\xE5 \xEF\xF0\xEE\xE5\xEA\xF6\xE8\xFE";
inline const std::string LoadVokAborted = "LoadVok error: Operation aborted";
inline const std::string LoadAllVokAborted = "LoadAllVok error: Operation aborted";
// "Файл справки не найден." and a blank line, followed by the path.
inline const std::string HelpFileNotFound =
    "\xD4\xE0\xE9\xEB \xF1\xEF\xF0\xE0\xE2\xEA\xE8 \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED.\n\n";

// Words of the sample dictionaries of the dialogs, in Windows-1251.
inline const std::string North = "\xD1\xE5\xE2\xE5\xF0";               // Север
inline const std::string South = "\xDE\xE3";                           // Юг
inline const std::string Lake = "\xCE\xE7\xE5\xF0\xED\xFB\xE9";        // Озерный
inline const std::string Stone = "\xCA\xE0\xEC\xE5\xED\xEA\xE0";       // Каменка
inline const std::string StoneLower = "\xEA\xE0\xEC\xE5\xED\xEA\xE0";  // каменка
inline const std::string Hills = "\xD5\xEE\xEB\xEC\xFB";               // Холмы

}  // namespace vok::test
