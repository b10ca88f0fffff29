// Every export of the library, written once: its result, name and parameters, in the order
// of the module-definition files. The definitions are declared from this list, so a definition
// whose signature disagrees does not compile; the tests, the stand-in host and the benchmark
// take their function types from it, and a test holds the module-definition files to it.
#pragma once

#include <windows.h>

#include <cstdint>

// The library's one calling convention on Win32; x64 has only one.
#define VOK_STDCALL __stdcall

// X(Result, Name, (Parameters)) for each export.
// clang-format off
#define VOK_EXPORTS(X) \
  X(int32_t, OpenVokList, (HWND AHostWnd)) \
  X(void, CloseVokList, ()) \
  X(int32_t, VokExists, (const char *AVokName)) \
  X(int32_t, LoadVok, (const char *AVokFile, const char *AVokName)) \
  X(int32_t, LoadVokEx, (const char *AVokFile, const char *AVokName, const char *AVokAlias, const char *AFilter)) \
  X(int32_t, UnLoadVok, (const char *AVokName)) \
  X(void, CloseVokabra, ()) \
  X(void, GetVokPath, (const char *AVokName, char *ABuffer)) \
  X(void, GetVokString, (const char *AVokName, int32_t AItemId, char *ABuffer)) \
  X(void, GetVokStr, (const char *AVokName, int32_t AItemId, char *ABuffer)) \
  X(void, GetVokExtra, (const char *AVokName, int32_t AItemId, char *ABuffer)) \
  X(int32_t, GetGroupCount, (const char *AVokName)) \
  X(int32_t, GetItemCount, (const char *AVokName, int32_t ALevel)) \
  X(int32_t, GetItem, (const char *AVokName, int32_t ALevel, int32_t AItemIndex)) \
  X(int32_t, FindFirstItem, (const char *AVokName, int32_t AItemId)) \
  X(int32_t, FindNextItem, ()) \
  X(void, FindCloseItem, ()) \
  X(int32_t, GetGroupFilter, (const char *AVokName, int32_t ALevel)) \
  X(void, GetLikeValues, (const char *AVokName, const char *APattern, char *ABuffer)) \
  X(int32_t, LoadAllVok, (const char *AVokFile)) \
  X(int32_t, GetVokCount, (const char *AVokFile)) \
  X(void, GetVokName, (const char *AVokFile, int32_t AIndex, char *ABuffer)) \
  X(int32_t, GetPrjString, (HWND AHostWnd, const char *APrjPath, char *ANameBuffer, char *ACoordSysBuffer)) \
  X(void, ShowHelpFile, (const char *AFileName, const char *ASection)) \
  X(void, SetHelpFile, (const char *AFileName, const char *ASection)) \
  X(void, GetHelpFile, (char *AFileName, char *ASection)) \
  X(void, SetHelpParent, (HWND AHandle)) \
  X(HWND, GetHelpParent, ()) \
  X(void, SetHelpHook, (int32_t AOn)) \
  X(void, GetRegString, (HKEY ARootKey, const char *AKeyPath, const char *AValueName, char *ABuffer)) \
  X(void, GetExcelPath, (char *ABuffer)) \
  X(void, GetNewGUID, (char *ABuffer)) \
  X(int32_t, FileCount, (const char *AMask)) \
  X(void, ReplaceZero, (char *ABuffer, int32_t ALength)) \
  X(void, ReplaceString, (const char *ASource, const char *AOldPattern, const char *ANewPattern, char *ABuffer)) \
  X(int32_t, MapinfoCount, ()) \
  X(void, SetParse, (const char *ADelimiters)) \
  X(int32_t, Sondex, (const char *AText1, const char *AText2, int32_t AMinLength)) \
  X(int32_t, GetVokValue, (const char *ACaption, const char *AVokName, int32_t AItemId)) \
  X(int32_t, GetVokValueEx, (const char *ACaption, const char *AVokName, int32_t AEndGroup)) \
  X(int32_t, GetVokValueSt, (const char *ACaption, const char *AVokName, int32_t AItemId, int32_t AEndGroup))

// clang-format on

#define VOK_DECLARE_EXPORT(AResult, AName, AParams) extern "C" AResult VOK_STDCALL AName AParams;
VOK_EXPORTS(VOK_DECLARE_EXPORT)
#undef VOK_DECLARE_EXPORT

// Begins the definition of an export of the list.
#define VOK_EXPORT extern "C" VOK_STDCALL
