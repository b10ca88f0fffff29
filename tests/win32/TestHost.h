// What the integration tests share: Vokabra.dll loaded the way the MapBasic host loads it,
// a host window, files in a temporary folder, and message boxes read and answered.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

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
};

// While alive, every message box shown on this thread is read and closed with OK.
class TMessageCatcher {
 public:
  TMessageCatcher();
  ~TMessageCatcher();
  TMessageCatcher(const TMessageCatcher &) = delete;
  TMessageCatcher &operator=(const TMessageCatcher &) = delete;
  // The messages shown since the last call, oldest first.
  std::vector<TShownMessage> Take();
  std::vector<std::string> TakeTexts();

 private:
  static LRESULT CALLBACK HookProc(int ACode, WPARAM AWParam, LPARAM ALParam);
  HHOOK fHook;
};

// A temporary folder, removed with its files at the end.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  const std::string &Path() const { return fPath; }
  // Writes AContents (bytes as given) to file AName in the folder; returns its full path.
  std::string Write(const std::string &AName, const std::string &AContents) const;

 private:
  std::string fPath;
};

// A hidden top-level window that stands for the host's main window.
HWND HostWindow();

// The text of window AWnd, and the name of its class.
std::string WindowText(HWND AWnd);
std::string ClassName(HWND AWnd);

// Key AKey pressed (or released, AUp) as input for SendInput.
INPUT KeyInput(WORD AKey, bool AUp);

// Base of the tests that use the open library: OpenVokList with the host window before each
// test, CloseVokabra after it, and every message box caught.
class TOpenLibrary : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  const TExports &V = Vok();
  TMessageCatcher Messages;
  TTempDir Dir;
};

// The example dictionary file with the sections Places and Rivers.
extern const char *const PlacesFile;

}  // namespace vok::test
