// What the integration tests share: Vokabra.dll loaded the way the MapBasic host loads it,
// a host window, files in a temporary folder, and message boxes read and answered.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

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

// The same in the library the test program loaded.
template <typename F>
F *Export(const char *AName) {
  return ExportOf<F>(Dll(), AName);
}

// The host's exports, with the argument types the MapBasic host passes.
using TText3 = void __stdcall(const char *, int32_t, char *);

struct TExports {
  int32_t(__stdcall *OpenVokList)(HWND) = Export<int32_t __stdcall(HWND)>("OpenVokList");
  void(__stdcall *CloseVokList)() = Export<void __stdcall()>("CloseVokList");
  int32_t(__stdcall *VokExists)(const char *) = Export<int32_t __stdcall(const char *)>("VokExists");
  int32_t(__stdcall *LoadVok)(const char *, const char *) = Export<int32_t __stdcall(const char *, const char *)>("LoadVok");
  int32_t(__stdcall *LoadVokEx)(const char *, const char *, const char *, const char *) =
      Export<int32_t __stdcall(const char *, const char *, const char *, const char *)>("LoadVokEx");
  int32_t(__stdcall *UnLoadVok)(const char *) = Export<int32_t __stdcall(const char *)>("UnLoadVok");
  void(__stdcall *CloseVokabra)() = Export<void __stdcall()>("CloseVokabra");
  void(__stdcall *GetVokPath)(const char *, char *) = Export<void __stdcall(const char *, char *)>("GetVokPath");
  TText3 *GetVokString = Export<TText3>("GetVokString");
  TText3 *GetVokStr = Export<TText3>("GetVokStr");
  TText3 *GetVokExtra = Export<TText3>("GetVokExtra");
  int32_t(__stdcall *GetGroupCount)(const char *) = Export<int32_t __stdcall(const char *)>("GetGroupCount");
  int32_t(__stdcall *GetItemCount)(const char *, int32_t) = Export<int32_t __stdcall(const char *, int32_t)>("GetItemCount");
  int32_t(__stdcall *GetItem)(const char *, int32_t, int32_t) =
      Export<int32_t __stdcall(const char *, int32_t, int32_t)>("GetItem");
  int32_t(__stdcall *FindFirstItem)(const char *, int32_t) = Export<int32_t __stdcall(const char *, int32_t)>("FindFirstItem");
  int32_t(__stdcall *FindNextItem)() = Export<int32_t __stdcall()>("FindNextItem");
  void(__stdcall *FindCloseItem)() = Export<void __stdcall()>("FindCloseItem");
  int32_t(__stdcall *GetGroupFilter)(const char *, int32_t) =
      Export<int32_t __stdcall(const char *, int32_t)>("GetGroupFilter");
  void(__stdcall *GetLikeValues)(const char *, const char *, char *) =
      Export<void __stdcall(const char *, const char *, char *)>("GetLikeValues");
  int32_t(__stdcall *LoadAllVok)(const char *) = Export<int32_t __stdcall(const char *)>("LoadAllVok");
  int32_t(__stdcall *GetVokCount)(const char *) = Export<int32_t __stdcall(const char *)>("GetVokCount");
  TText3 *GetVokName = Export<TText3>("GetVokName");
  int32_t(__stdcall *GetVokValue)(const char *, const char *, int32_t) =
      Export<int32_t __stdcall(const char *, const char *, int32_t)>("GetVokValue");
  int32_t(__stdcall *GetVokValueEx)(const char *, const char *, int32_t) =
      Export<int32_t __stdcall(const char *, const char *, int32_t)>("GetVokValueEx");
  int32_t(__stdcall *GetVokValueSt)(const char *, const char *, int32_t, int32_t) =
      Export<int32_t __stdcall(const char *, const char *, int32_t, int32_t)>("GetVokValueSt");
  int32_t(__stdcall *GetPrjString)(HWND, const char *, char *, char *) =
      Export<int32_t __stdcall(HWND, const char *, char *, char *)>("GetPrjString");
  void(__stdcall *ShowHelpFile)(const char *, const char *) = Export<void __stdcall(const char *, const char *)>("ShowHelpFile");
  void(__stdcall *SetHelpFile)(const char *, const char *) = Export<void __stdcall(const char *, const char *)>("SetHelpFile");
  void(__stdcall *GetHelpFile)(char *, char *) = Export<void __stdcall(char *, char *)>("GetHelpFile");
  void(__stdcall *SetHelpParent)(HWND) = Export<void __stdcall(HWND)>("SetHelpParent");
  HWND(__stdcall *GetHelpParent)() = Export<HWND __stdcall()>("GetHelpParent");
  void(__stdcall *SetHelpHook)(int32_t) = Export<void __stdcall(int32_t)>("SetHelpHook");
  void(__stdcall *GetRegString)(HKEY, const char *, const char *, char *) =
      Export<void __stdcall(HKEY, const char *, const char *, char *)>("GetRegString");
  void(__stdcall *GetExcelPath)(char *) = Export<void __stdcall(char *)>("GetExcelPath");
  void(__stdcall *GetNewGUID)(char *) = Export<void __stdcall(char *)>("GetNewGUID");
  int32_t(__stdcall *FileCount)(const char *) = Export<int32_t __stdcall(const char *)>("FileCount");
  void(__stdcall *ReplaceZero)(char *, int32_t) = Export<void __stdcall(char *, int32_t)>("ReplaceZero");
  void(__stdcall *ReplaceString)(const char *, const char *, const char *, char *) =
      Export<void __stdcall(const char *, const char *, const char *, char *)>("ReplaceString");
  int32_t(__stdcall *MapinfoCount)() = Export<int32_t __stdcall()>("MapinfoCount");
  void(__stdcall *SetParse)(const char *) = Export<void __stdcall(const char *)>("SetParse");
  int32_t(__stdcall *Sondex)(const char *, const char *, int32_t) =
      Export<int32_t __stdcall(const char *, const char *, int32_t)>("Sondex");
};

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
