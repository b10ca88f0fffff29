// Late-bound OLE Automation: owners of COM pointers, VARIANTs and BSTRs, and calls by member
// name through IDispatch (GetIDsOfNames, then Invoke).
#pragma once

#include <ole2.h>
#include <oleauto.h>
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "win32/Handles.h"

namespace vok {

namespace detail {
template <typename T>
struct TComTraits {
  using Type = T *;
  static Type Invalid() { return nullptr; }
  static void Close(Type APtr) { APtr->Release(); }
};
}  // namespace detail

// Owns one reference to a COM object, released on every path. No copying, moving allowed;
// the pointer given to the constructor or reset() is a reference the caller already owns.
template <typename T>
class TComPtr : public TUniqueHandle<detail::TComTraits<T>> {
 public:
  using TUniqueHandle<detail::TComTraits<T>>::TUniqueHandle;
  T *operator->() const { return this->get(); }
  void **put_void() { return reinterpret_cast<void **>(this->put()); }
};

// Owns a VARIANT: cleared (its string freed, its object released) on destruction.
class TVariant {
 public:
  TVariant() { VariantInit(&fValue); }
  ~TVariant() { VariantClear(&fValue); }
  TVariant(const TVariant &) = delete;
  TVariant &operator=(const TVariant &) = delete;
  TVariant(TVariant &&AOther) noexcept : fValue(AOther.fValue) { VariantInit(&AOther.fValue); }
  TVariant &operator=(TVariant &&AOther) noexcept {
    if (this != &AOther) {
      VariantClear(&fValue);
      fValue = AOther.fValue;
      VariantInit(&AOther.fValue);
    }
    return *this;
  }

  const VARIANT &get() const { return fValue; }
  // Clears the value held and returns the slot for an API that writes a new one.
  VARIANT *put() {
    VariantClear(&fValue);
    return &fValue;
  }

 private:
  VARIANT fValue;
};

// Owns a BSTR.
class TBstr {
 public:
  TBstr() = default;
  explicit TBstr(std::wstring_view AText) : fValue(SysAllocStringLen(AText.data(), static_cast<UINT>(AText.size()))) {
    if (!fValue) throw std::bad_alloc();
  }
  ~TBstr() { SysFreeString(fValue); }
  TBstr(const TBstr &) = delete;
  TBstr &operator=(const TBstr &) = delete;

  BSTR get() const { return fValue; }
  // The slot itself, for a string passed by reference: the callee may replace the string.
  BSTR *ref() { return &fValue; }
  BSTR *put() {
    SysFreeString(std::exchange(fValue, nullptr));
    return &fValue;
  }

 private:
  BSTR fValue = nullptr;
};

// A failed automation call; what() is its message in the ANSI code page.
class TOleError : public std::runtime_error {
 public:
  TOleError(HRESULT ACode, const std::string &AMessage) : std::runtime_error(AMessage), fCode(ACode) {}
  explicit TOleError(HRESULT ACode);  // with the system's message for ACode
  HRESULT Code() const { return fCode; }

 private:
  HRESULT fCode;
};

// The system's message for ACode in the ANSI code page, without the line break at its end;
// "OLE error XXXXXXXX" when the system has none.
std::string OleErrorText(HRESULT ACode);

// Arguments of a late-bound call. They do not own what they point to: the strings passed by
// reference must outlive the call.
VARIANT ByRef(BSTR *AText);
VARIANT Int32Arg(int32_t AValue);
VARIANT BoolArg(bool AValue);
VARIANT Omitted();

// Calls member AName of AObject as AKind (DISPATCH_METHOD, DISPATCH_PROPERTYGET or
// DISPATCH_PROPERTYPUT) with AArgs given in the member's own order; returns the result (empty
// for a property write). Throws TOleError: with the server's description when it raised an
// exception, else with the system's message for the failure.
TVariant Invoke(IDispatch *AObject, const wchar_t *AName, WORD AKind, std::initializer_list<VARIANT> AArgs = {});

// Property read and method call whose result is an object; throws TOleError when it is none.
TComPtr<IDispatch> GetObjectProperty(IDispatch *AObject, const wchar_t *AName);
TComPtr<IDispatch> CallForObject(IDispatch *AObject, const wchar_t *AName, std::initializer_list<VARIANT> AArgs);

// The result converted to text in the ANSI code page, or to a truth value; throws TOleError
// when it does not convert.
std::string AsText(const TVariant &AValue);
bool AsBool(const TVariant &AValue);

// The running instance of class AProgId from the running-object table, or null when there is
// none (any failure counts as none).
TComPtr<IDispatch> GetActiveOleObject(const wchar_t *AProgId) noexcept;

// A new instance of class AProgId, in-process or local server; throws TOleError.
TComPtr<IDispatch> CreateOleObject(const wchar_t *AProgId);

}  // namespace vok
