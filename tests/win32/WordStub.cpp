// A stand-in for the word processor's automation server, for the help tests only (it never
// ships): "Word.Application" as an in-process server with exactly the members the library uses,
// late-bound through IDispatch. It checks how each member is called (property read, property
// write with its named argument, method), records every call with its arguments, shows a
// top-level window titled "<document> - Microsoft Word" when made visible, and can register
// itself as the running instance.
#include "tests/win32/WordStub.h"

#include <ole2.h>
#include <oleauto.h>

#include <memory>
#include <string>
#include <vector>

using namespace vok::test;

namespace {

HINSTANCE Module = nullptr;
const wchar_t *const Caption = L"Microsoft Word";
const wchar_t *const WindowClass = L"WordStubWindow";

struct TApp {
  int Number = 0;
  bool Alive = true;
  std::wstring DocName;
  HWND Window = nullptr;
  DWORD Cookie = 0;  // running-object registration, 0 when none
};

struct TStubState {
  int Flags = 0;
  std::vector<std::wstring> Bookmarks;
  std::wstring WindowTitle;
  std::wstring Log;
  int Counter = 0;
  std::vector<std::shared_ptr<TApp>> Apps;
  HCURSOR OpenCursor = nullptr;
  HWND LastWindow = nullptr;
};

TStubState &Stub() {
  static TStubState S;
  return S;
}

std::wstring Wide(const char *AText) {
  if (!AText || !*AText) return {};
  const int N = MultiByteToWideChar(CP_ACP, 0, AText, -1, nullptr, 0);
  std::wstring W(static_cast<size_t>(N), L'\0');
  MultiByteToWideChar(CP_ACP, 0, AText, -1, W.data(), N);
  W.resize(static_cast<size_t>(N - 1));
  return W;
}

std::string Ansi(const std::wstring &AText) {
  if (AText.empty()) return {};
  const int N = WideCharToMultiByte(CP_ACP, 0, AText.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string S(static_cast<size_t>(N), '\0');
  WideCharToMultiByte(CP_ACP, 0, AText.c_str(), -1, S.data(), N, nullptr, nullptr);
  S.resize(static_cast<size_t>(N - 1));
  return S;
}

CLSID StubClsid() {
  CLSID Id{};
  CLSIDFromString(Wide(WordStubClsid).c_str(), &Id);
  return Id;
}

void Note(const std::wstring &ALine) { Stub().Log += ALine + L"\n"; }

std::wstring WindowTitle(const TApp &AApp) {
  return Stub().WindowTitle.empty() ? AApp.DocName + L" - " + Caption : Stub().WindowTitle;
}

void ShowWindowOf(TApp &AApp) {
  if (!AApp.Window) {
    WNDCLASSW C{};
    C.lpfnWndProc = DefWindowProcW;
    C.hInstance = Module;
    C.lpszClassName = WindowClass;
    RegisterClassW(&C);
    AApp.Window = CreateWindowExW(0, WindowClass, L"", WS_OVERLAPPEDWINDOW, 120, 120, 400, 300, nullptr, nullptr,
                                  Module, nullptr);
    ShowWindow(AApp.Window, SW_SHOWNOACTIVATE);
  }
  SetWindowTextW(AApp.Window, WindowTitle(AApp).c_str());
  Stub().LastWindow = AApp.Window;
}

void CloseApp(TApp &AApp) {
  AApp.Alive = false;
  if (AApp.Window) DestroyWindow(AApp.Window);
  if (Stub().LastWindow == AApp.Window) Stub().LastWindow = nullptr;
  AApp.Window = nullptr;
  if (AApp.Cookie) RevokeActiveObject(AApp.Cookie, nullptr);
  AApp.Cookie = 0;
}

HRESULT Raise(EXCEPINFO *AInfo, const wchar_t *ADescription) {
  if (!AInfo) return E_FAIL;
  *AInfo = EXCEPINFO{};
  AInfo->bstrSource = SysAllocString(Caption);
  AInfo->bstrDescription = SysAllocString(ADescription);
  AInfo->scode = static_cast<SCODE>(0x800A1066);
  return DISP_E_EXCEPTION;
}

enum class TKind { App, Documents, Document, Bookmarks, Selection };
const wchar_t *const KindNames[] = {L"App", L"Documents", L"Document", L"Bookmarks", L"Selection"};

struct TMember {
  TKind Kind;
  const wchar_t *Name;
  WORD Flag;  // how the member must be called
};

const TMember Members[] = {
    {TKind::App, L"Application", DISPATCH_PROPERTYGET},    {TKind::App, L"Documents", DISPATCH_PROPERTYGET},
    {TKind::App, L"Visible", DISPATCH_PROPERTYPUT},        {TKind::App, L"Caption", DISPATCH_PROPERTYGET},
    {TKind::App, L"Selection", DISPATCH_PROPERTYGET},      {TKind::App, L"Quit", DISPATCH_METHOD},
    {TKind::Documents, L"Open", DISPATCH_METHOD},          {TKind::Document, L"Name", DISPATCH_PROPERTYGET},
    {TKind::Document, L"Bookmarks", DISPATCH_PROPERTYGET}, {TKind::Bookmarks, L"Exists", DISPATCH_METHOD},
    {TKind::Selection, L"GoTo", DISPATCH_METHOD},
};
constexpr DISPID MemberCount = sizeof Members / sizeof Members[0];

std::wstring FlagsText(WORD AFlags) {
  const std::pair<WORD, const wchar_t *> Names[] = {{DISPATCH_PROPERTYGET, L"get"},
                                                    {DISPATCH_METHOD, L"call"},
                                                    {DISPATCH_PROPERTYPUT, L"put"},
                                                    {DISPATCH_METHOD | DISPATCH_PROPERTYGET, L"get|call"}};
  for (const auto &[Flags, Name] : Names)
    if (Flags == AFlags) return Name;
  return L"flags" + std::to_wstring(AFlags);
}

// A string argument, by value or by reference.
bool ArgString(const VARIANT &AArg, std::wstring &AText) {
  BSTR B = nullptr;
  if (AArg.vt == VT_BSTR)
    B = AArg.bstrVal;
  else if (AArg.vt == (VT_BYREF | VT_BSTR) && AArg.pbstrVal)
    B = *AArg.pbstrVal;
  else
    return false;
  AText.assign(B ? B : L"", SysStringLen(B));
  return true;
}

std::wstring ArgText(const VARIANT &AArg) {
  std::wstring S;
  if (AArg.vt == VT_BSTR && ArgString(AArg, S)) return L"\"" + S + L"\"";
  if (AArg.vt == (VT_BYREF | VT_BSTR) && ArgString(AArg, S)) return L"&\"" + S + L"\"";
  if (AArg.vt == VT_I4) return std::to_wstring(AArg.lVal);
  if (AArg.vt == VT_BOOL) return AArg.boolVal == VARIANT_TRUE ? L"true" : AArg.boolVal ? L"bool?" : L"false";
  if (AArg.vt == VT_ERROR && AArg.scode == DISP_E_PARAMNOTFOUND) return L"-";
  return L"vt" + std::to_wstring(AArg.vt);
}

// QueryInterface of an object AObject whose one interface besides IUnknown is AOwn.
template <typename I>
HRESULT Query(I *AObject, REFIID AOwn, REFIID AIid, void **AResult) {
  if (!AResult) return E_POINTER;
  *AResult = AIid == IID_IUnknown || AIid == AOwn ? AObject : nullptr;
  if (!*AResult) return E_NOINTERFACE;
  AObject->AddRef();
  return S_OK;
}

class TStubObject final : public IDispatch {
 public:
  TStubObject(TKind AKind, std::shared_ptr<TApp> AApp) : fKind(AKind), fApp(std::move(AApp)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID AIid, void **AObject) override {
    return Query<IDispatch>(this, IID_IDispatch, AIid, AObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&fRefs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG N = InterlockedDecrement(&fRefs);
    if (N == 0) delete this;
    return static_cast<ULONG>(N);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *ACount) override {
    *ACount = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *ANames, UINT ACount, LCID, DISPID *AIds) override {
    if (ACount != 1) return DISP_E_UNKNOWNNAME;
    for (DISPID I = 0; I < MemberCount; ++I)
      if (Members[I].Kind == fKind && lstrcmpiW(Members[I].Name, ANames[0]) == 0) {
        AIds[0] = I;
        return S_OK;
      }
    AIds[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID AId, REFIID, LCID, WORD AFlags, DISPPARAMS *AParams, VARIANT *AResult,
                                   EXCEPINFO *AInfo, UINT *) override {
    if (AId < 0 || AId >= MemberCount || Members[AId].Kind != fKind || !AParams) return DISP_E_MEMBERNOTFOUND;
    const TMember &M = Members[AId];
    // The arguments in the member's own order (IDispatch passes them last to first).
    std::vector<VARIANT> Args(AParams->rgvarg, AParams->rgvarg + AParams->cArgs);
    std::vector<VARIANT> Ordered(Args.rbegin(), Args.rend());
    std::wstring Line = FlagsText(AFlags) + L" " + KindNames[static_cast<int>(fKind)] + std::to_wstring(fApp->Number) +
                        L"." + M.Name + L"(";
    for (size_t I = 0; I < Ordered.size(); ++I) Line += (I ? L", " : L"") + ArgText(Ordered[I]);
    Line += L")";
    const bool NamedPut =
        AParams->cNamedArgs == 1 && AParams->rgdispidNamedArgs && AParams->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    if (AParams->cNamedArgs && !NamedPut) Line += L" !named";
    Note(Line);

    if (!fApp->Alive) return RPC_E_DISCONNECTED;
    if (!(AFlags & M.Flag)) return DISP_E_MEMBERNOTFOUND;
    if (M.Flag == DISPATCH_PROPERTYPUT && (!NamedPut || Ordered.size() != 1)) return DISP_E_PARAMNOTOPTIONAL;
    if (AResult) VariantInit(AResult);
    return Run(M.Name, Ordered, AResult, AInfo);
  }

 private:
  HRESULT Object(VARIANT *AResult, TKind AKind) {
    if (!AResult) return S_OK;
    AResult->vt = VT_DISPATCH;
    AResult->pdispVal = new TStubObject(AKind, fApp);
    return S_OK;
  }
  static HRESULT Text(VARIANT *AResult, const std::wstring &AText) {
    if (!AResult) return S_OK;
    AResult->vt = VT_BSTR;
    AResult->bstrVal = SysAllocStringLen(AText.data(), static_cast<UINT>(AText.size()));
    return S_OK;
  }

  HRESULT Run(std::wstring_view AName, const std::vector<VARIANT> &AArgs, VARIANT *AResult, EXCEPINFO *AInfo) {
    TStubState &S = Stub();
    std::wstring Str;
    if (AName == L"Application") return Object(AResult, TKind::App);
    if (AName == L"Documents") return Object(AResult, TKind::Documents);
    if (AName == L"Selection") return Object(AResult, TKind::Selection);
    if (AName == L"Bookmarks") return Object(AResult, TKind::Bookmarks);
    if (AName == L"Caption") return Text(AResult, Caption);
    if (AName == L"Name") return Text(AResult, fApp->DocName);
    if (AName == L"Visible") {
      if (AArgs[0].vt != VT_BOOL) return DISP_E_TYPEMISMATCH;
      if (AArgs[0].boolVal) ShowWindowOf(*fApp);
      return S_OK;
    }
    if (AName == L"Quit") {
      if (!AArgs.empty()) return DISP_E_BADPARAMCOUNT;
      if (S.Flags & StubFailQuit) return Raise(AInfo, L"The server threw an exception.");
      CloseApp(*fApp);
      return S_OK;
    }
    if (AName == L"Open") {
      if (AArgs.empty() || !ArgString(AArgs[0], Str)) return DISP_E_TYPEMISMATCH;
      S.OpenCursor = GetCursor();
      // "Не удалось открыть документ."
      if (S.Flags & StubFailOpen)
        return Raise(
            AInfo,
            L"\x041D\x0435 \x0443\x0434\x0430\x043B\x043E\x0441\x044C \x043E\x0442\x043A\x0440\x044B\x0442\x044C "
            L"\x0434\x043E\x043A\x0443\x043C\x0435\x043D\x0442.");
      fApp->DocName = Str.substr(Str.find_last_of(L"\\/") + 1);
      if (fApp->Window) ShowWindowOf(*fApp);
      return Object(AResult, TKind::Document);
    }
    if (AName == L"Exists") {
      if (AArgs.size() != 1 || !ArgString(AArgs[0], Str)) return DISP_E_TYPEMISMATCH;
      bool Found = false;
      for (const std::wstring &B : S.Bookmarks) Found = Found || lstrcmpiW(B.c_str(), Str.c_str()) == 0;
      if (AResult) {
        AResult->vt = VT_BOOL;
        AResult->boolVal = Found ? VARIANT_TRUE : VARIANT_FALSE;
      }
      return S_OK;
    }
    if (AName == L"GoTo") return AArgs.size() <= 4 ? S_OK : DISP_E_BADPARAMCOUNT;
    return DISP_E_MEMBERNOTFOUND;
  }

  LONG fRefs = 1;
  TKind fKind;
  std::shared_ptr<TApp> fApp;
};

// A new application; with ARegister it is also the running instance.
TStubObject *NewApp(bool ARegister) {
  auto App = std::make_shared<TApp>();
  App->Number = ++Stub().Counter;
  Stub().Apps.push_back(App);
  auto *Object = new TStubObject(TKind::App, App);
  if (ARegister) RegisterActiveObject(Object, StubClsid(), ACTIVEOBJECT_STRONG, &App->Cookie);
  return Object;
}

class TFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID AIid, void **AObject) override {
    return Query<IClassFactory>(this, IID_IClassFactory, AIid, AObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *AOuter, REFIID AIid, void **AObject) override {
    if (!AObject) return E_POINTER;
    *AObject = nullptr;
    if (AOuter) return CLASS_E_NOAGGREGATION;
    if (Stub().Flags & StubFailCreate) {
      Note(L"refuse new App");
      return CO_E_SERVER_EXEC_FAILURE;
    }
    TStubObject *App = NewApp(Stub().Flags & StubRegisterCreated);
    Note(L"new App" + std::to_wstring(Stub().Counter));
    const HRESULT H = App->QueryInterface(AIid, AObject);
    App->Release();
    return H;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

TFactory Factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE AInstance, DWORD AReason, LPVOID) {
  if (AReason == DLL_PROCESS_ATTACH) {
    Module = AInstance;
    DisableThreadLibraryCalls(AInstance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID AClsid, REFIID AIid, LPVOID *AObject) {
  if (!AObject) return E_POINTER;
  *AObject = nullptr;
  if (AClsid != StubClsid()) return CLASS_E_CLASSNOTAVAILABLE;
  return Factory.QueryInterface(AIid, AObject);
}

STDAPI DllCanUnloadNow() { return S_FALSE; }

extern "C" {

void StubCloseAll() {
  for (auto &App : Stub().Apps) CloseApp(*App);
}

void StubReset() {
  StubCloseAll();
  Stub() = TStubState{};
}

void StubSetBookmarks(const char *ANames) {
  std::vector<std::wstring> &B = Stub().Bookmarks;
  B.clear();
  const std::wstring All = Wide(ANames);
  for (size_t Start = 0; Start <= All.size();) {
    size_t End = All.find(L';', Start);
    if (End == std::wstring::npos) End = All.size();
    if (End > Start) B.push_back(All.substr(Start, End - Start));
    Start = End + 1;
  }
}

void StubSetFlags(int AFlags) { Stub().Flags = AFlags; }

void StubSetWindowTitle(const char *ATitle) { Stub().WindowTitle = Wide(ATitle); }

void StubRun() {
  NewApp(true)->Release();
  Note(L"run App" + std::to_wstring(Stub().Counter));
}

const char *StubLog() {
  static std::string Log;
  Log = Ansi(Stub().Log);
  return Log.c_str();
}

HWND StubWindow() { return Stub().LastWindow; }

HCURSOR StubOpenCursor() { return Stub().OpenCursor; }
}
