#include "tests/win32/TestHost.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

namespace vok::test {

HMODULE Dll() {
  static HMODULE H = LoadLibraryA("Vokabra.dll");
  if (!H) ADD_FAILURE() << "Vokabra.dll did not load: " << GetLastError();
  return H;
}

const TExports &Vok() {
  static const TExports E = [] {
    TExports Table(Dll());
    if (const char *Name = Table.Missing()) ADD_FAILURE() << "missing export " << Name;
    return Table;
  }();
  return E;
}

std::string WindowText(HWND AWnd) {
  char Buf[4096] = "";
  GetWindowTextA(AWnd, Buf, sizeof Buf);
  return Buf;
}

std::wstring WindowTextW(HWND AWnd) {
  wchar_t Buf[4096] = L"";
  GetWindowTextW(AWnd, Buf, 4096);
  return Buf;
}

std::wstring FromCyrillic(const std::string &AText) {
  std::wstring W(AText.size(), L'\0');
  W.resize(static_cast<std::size_t>(
      MultiByteToWideChar(1251, 0, AText.data(), static_cast<int>(AText.size()), W.data(), static_cast<int>(W.size()))));
  return W;
}

std::string ClassName(HWND AWnd) {
  char Class[256] = "";
  GetClassNameA(AWnd, Class, sizeof Class);
  return Class;
}

INPUT KeyInput(WORD AKey, bool AUp) {
  INPUT I{};
  I.type = INPUT_KEYBOARD;
  I.ki.wVk = AKey;
  I.ki.wScan = static_cast<WORD>(MapVirtualKeyW(AKey, MAPVK_VK_TO_VSC));
  I.ki.dwFlags = AUp ? KEYEVENTF_KEYUP : 0;
  return I;
}

void SetRegText(HKEY ARoot, const std::string &AKey, const char *AName, const std::string &AValue) {
  HKEY K = nullptr;
  ASSERT_EQ(RegCreateKeyExA(ARoot, AKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &K, nullptr), 0) << AKey;
  RegSetValueExA(K, AName, 0, REG_SZ, reinterpret_cast<const BYTE *>(AValue.c_str()),
                 static_cast<DWORD>(AValue.size() + 1));
  RegCloseKey(K);
}

bool FullStressRun() {
  const char *E = std::getenv("VOK_STRESS");
  return E && std::strcmp(E, "full") == 0;
}

namespace {
thread_local std::vector<TShownMessage> *Shown = nullptr;
}  // namespace

TMessageCatcher::TMessageCatcher() {
  Shown = new std::vector<TShownMessage>();
  fHook = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

TMessageCatcher::~TMessageCatcher() {
  UnhookWindowsHookEx(fHook);
  delete Shown;
  Shown = nullptr;
}

LRESULT CALLBACK TMessageCatcher::HookProc(int ACode, WPARAM AWParam, LPARAM ALParam) {
  if ((ACode == HCBT_ACTIVATE || ACode == HCBT_DESTROYWND) && Shown) {
    HWND H = reinterpret_cast<HWND>(AWParam);
    // Read when it closes: a system-modal box is activated before its text is set.
    if (ClassName(H) == "#32770") {
      if (ACode == HCBT_ACTIVATE)
        PostMessageA(H, WM_COMMAND, IDOK, 0);
      else
        Shown->push_back({WindowText(GetDlgItem(H, 0xFFFF)), WindowText(H), GetWindow(H, GW_OWNER),
                          WindowTextW(GetDlgItem(H, 0xFFFF)), WindowTextW(H)});
    }
  }
  return CallNextHookEx(nullptr, ACode, AWParam, ALParam);
}

std::vector<TShownMessage> TMessageCatcher::Take() {
  std::vector<TShownMessage> R;
  R.swap(*Shown);
  return R;
}

std::vector<std::string> TMessageCatcher::TakeTexts() {
  std::vector<std::string> R;
  for (const TShownMessage &M : Take()) R.push_back(M.Text);
  return R;
}

TShownMessage TMessageCatcher::TakeOne() {
  const std::vector<TShownMessage> All = Take();
  EXPECT_EQ(All.size(), 1u) << "messages shown";
  return All.size() == 1 ? All[0] : TShownMessage{};
}

TTempDir::TTempDir() {
  char Base[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, Base);
  static int Counter = 0;
  fPath = std::string(Base) + "voktest" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++Counter);
  CreateDirectoryA(fPath.c_str(), nullptr);
}

TTempDir::~TTempDir() {
  std::string From = fPath + std::string(1, '\0');
  SHFILEOPSTRUCTA Op{};
  Op.wFunc = FO_DELETE;
  Op.pFrom = From.c_str();
  Op.fFlags = FOF_NO_UI;
  SHFileOperationA(&Op);
}

std::string TTempDir::Write(const std::string &AName, const std::string &AContents) const {
  const std::string Path = fPath + "\\" + AName;
  HANDLE H = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD Written = 0;
  WriteFile(H, AContents.data(), static_cast<DWORD>(AContents.size()), &Written, nullptr);
  CloseHandle(H);
  return Path;
}

std::string TTempDir::CopyOfDll(const std::string &AName) const {
  char Source[MAX_PATH] = "";
  GetModuleFileNameA(Dll(), Source, MAX_PATH);
  const std::string Path = fPath + "\\" + AName;
  EXPECT_TRUE(CopyFileA(Source, Path.c_str(), FALSE)) << Path;
  return Path;
}

HWND HostWindow() {
  static HWND H = CreateWindowExA(0, "STATIC", "Test host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return H;
}

TShownHost::TShownHost() {
  ShowWindow(HostWindow(), SW_SHOW);
  SetForegroundWindow(HostWindow());
  SetActiveWindow(HostWindow());
}

TShownHost::~TShownHost() { ShowWindow(HostWindow(), SW_HIDE); }

HWND DestroyedWindow() {
  static const HWND Gone = [] {
    HWND H = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(H);
    return H;
  }();
  return Gone;
}

void TOpenLibrary::SetUp() { ASSERT_EQ(V.OpenVokList(HostWindow()), 0xFFFF); }

void TOpenLibrary::TearDown() { V.CloseVokabra(); }

}  // namespace vok::test
