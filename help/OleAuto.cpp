#include "help/OleAuto.h"

#include <cstdio>
#include <iterator>
#include <vector>

#include "win32/Text.h"

namespace vok {

namespace {

// The system's message for ACode, or empty when it has none.
std::string SystemMessage(DWORD ACode) {
  wchar_t *Text = nullptr;
  const DWORD N =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, ACode, 0, reinterpret_cast<wchar_t *>(&Text), 0, nullptr);
  std::wstring W(Text ? std::wstring_view(Text, N) : std::wstring_view());
  LocalFree(Text);
  while (!W.empty() && (W.back() == L'\r' || W.back() == L'\n' || W.back() == L' ')) W.pop_back();
  return WideToAnsi(W);
}

std::string BstrToAnsi(BSTR AText) { return WideToAnsi(std::wstring_view(AText, SysStringLen(AText))); }

// The message of an exception raised by the server; frees the strings of AInfo.
std::string ExceptionText(EXCEPINFO &AInfo) {
  if (AInfo.pfnDeferredFillIn) AInfo.pfnDeferredFillIn(&AInfo);
  TBstr Source, Description, HelpFile;
  *Source.put() = AInfo.bstrSource;
  *Description.put() = AInfo.bstrDescription;
  *HelpFile.put() = AInfo.bstrHelpFile;
  std::string Text = BstrToAnsi(Description.get());
  while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= 32) Text.pop_back();
  if (!Text.empty()) return Text;
  return OleErrorText(AInfo.scode ? AInfo.scode : DISP_E_EXCEPTION);
}

VARIANT MakeVariant(VARTYPE AType) {
  VARIANT V;
  VariantInit(&V);
  V.vt = AType;
  return V;
}

// AValue converted to AType; throws TOleError when it does not convert.
TVariant Converted(const TVariant &AValue, VARTYPE AType) {
  TVariant R;
  const HRESULT H = VariantChangeType(R.put(), const_cast<VARIANT *>(&AValue.get()), 0, AType);
  if (FAILED(H)) throw TOleError(H);
  return R;
}

TComPtr<IDispatch> AsObject(const TVariant &AValue) {
  TVariant V = Converted(AValue, VT_DISPATCH);
  IDispatch *D = V.get().pdispVal;
  if (!D) throw TOleError(DISP_E_TYPEMISMATCH);
  D->AddRef();
  return TComPtr<IDispatch>(D);
}

}  // namespace

std::string OleErrorText(HRESULT ACode) {
  std::string Text = SystemMessage(static_cast<DWORD>(ACode));
  if (Text.empty() && HRESULT_FACILITY(ACode) == FACILITY_WIN32) Text = SystemMessage(HRESULT_CODE(ACode));
  if (Text.empty()) {
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "OLE error %.8lX", static_cast<unsigned long>(ACode));
    Text = Buf;
  }
  return Text;
}

TOleError::TOleError(HRESULT ACode) : TOleError(ACode, OleErrorText(ACode)) {}

VARIANT ByRef(BSTR *AText) {
  VARIANT V = MakeVariant(VT_BYREF | VT_BSTR);
  V.pbstrVal = AText;
  return V;
}

VARIANT Int32Arg(int32_t AValue) {
  VARIANT V = MakeVariant(VT_I4);
  V.lVal = AValue;
  return V;
}

VARIANT BoolArg(bool AValue) {
  VARIANT V = MakeVariant(VT_BOOL);
  V.boolVal = AValue ? VARIANT_TRUE : VARIANT_FALSE;
  return V;
}

VARIANT Omitted() {
  VARIANT V = MakeVariant(VT_ERROR);
  V.scode = DISP_E_PARAMNOTFOUND;
  return V;
}

TVariant Invoke(IDispatch *AObject, const wchar_t *AName, WORD AKind, std::initializer_list<VARIANT> AArgs) {
  if (!AObject) throw TOleError(E_POINTER);
  DISPID Id = DISPID_UNKNOWN;
  LPOLESTR Name = const_cast<LPOLESTR>(AName);
  HRESULT H = AObject->GetIDsOfNames(IID_NULL, &Name, 1, LOCALE_USER_DEFAULT, &Id);
  if (FAILED(H)) throw TOleError(H);

  // IDispatch takes the arguments last to first.
  std::vector<VARIANT> Reversed(std::rbegin(AArgs), std::rend(AArgs));
  DISPID PutId = DISPID_PROPERTYPUT;
  DISPPARAMS Params{Reversed.data(), nullptr, static_cast<UINT>(Reversed.size()), 0};
  const bool Put = (AKind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (Put) {
    Params.rgdispidNamedArgs = &PutId;
    Params.cNamedArgs = 1;
  }
  TVariant Result;
  EXCEPINFO Info{};
  UINT ArgErr = 0;
  H = AObject->Invoke(Id, IID_NULL, LOCALE_USER_DEFAULT, AKind, &Params, Put ? nullptr : Result.put(), &Info, &ArgErr);
  if (H == DISP_E_EXCEPTION) throw TOleError(H, ExceptionText(Info));
  if (FAILED(H)) throw TOleError(H);
  return Result;
}

TComPtr<IDispatch> GetObjectProperty(IDispatch *AObject, const wchar_t *AName) {
  return AsObject(Invoke(AObject, AName, DISPATCH_PROPERTYGET));
}

TComPtr<IDispatch> CallForObject(IDispatch *AObject, const wchar_t *AName, std::initializer_list<VARIANT> AArgs) {
  return AsObject(Invoke(AObject, AName, DISPATCH_METHOD, AArgs));
}

std::string AsText(const TVariant &AValue) { return BstrToAnsi(Converted(AValue, VT_BSTR).get().bstrVal); }

bool AsBool(const TVariant &AValue) { return Converted(AValue, VT_BOOL).get().boolVal != VARIANT_FALSE; }

TComPtr<IDispatch> GetActiveOleObject(const wchar_t *AProgId) noexcept {
  CLSID Id;
  if (FAILED(CLSIDFromProgID(AProgId, &Id))) return {};
  TComPtr<IUnknown> Unknown;
  if (FAILED(GetActiveObject(Id, nullptr, Unknown.put())) || !Unknown) return {};
  TComPtr<IDispatch> Dispatch;
  if (FAILED(Unknown->QueryInterface(IID_IDispatch, Dispatch.put_void()))) return {};
  return Dispatch;
}

TComPtr<IDispatch> CreateOleObject(const wchar_t *AProgId) {
  CLSID Id;
  HRESULT H = CLSIDFromProgID(AProgId, &Id);
  if (FAILED(H)) throw TOleError(H);
  TComPtr<IDispatch> Dispatch;
  H = CoCreateInstance(Id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch, Dispatch.put_void());
  if (FAILED(H)) throw TOleError(H);
  if (!Dispatch) throw TOleError(E_NOINTERFACE);
  return Dispatch;
}

}  // namespace vok
