// The exports of a loaded Vokabra.dll as a host reaches them, by name through GetProcAddress,
// typed from the one list of the exports: for the tests, the stand-in host and the benchmark.
#pragma once

#include "win32/Exports.h"

namespace vok {

struct TExportTable {
  // Resolves every export of AModule; an export it lacks stays null (see Missing).
  explicit TExportTable(HMODULE AModule) {
#define VOK_RESOLVE_EXPORT(AResult, AName, AParams) \
  AName = reinterpret_cast<AResult(VOK_STDCALL *) AParams>(reinterpret_cast<void *>(GetProcAddress(AModule, #AName)));
    VOK_EXPORTS(VOK_RESOLVE_EXPORT)
#undef VOK_RESOLVE_EXPORT
  }
  // The name of the first export that did not resolve, or null when all did.
  const char *Missing() const {
#define VOK_MISSING_EXPORT(AResult, AName, AParams) \
  if (!AName) return #AName;
    VOK_EXPORTS(VOK_MISSING_EXPORT)
#undef VOK_MISSING_EXPORT
    return nullptr;
  }

#define VOK_EXPORT_POINTER(AResult, AName, AParams) AResult(VOK_STDCALL *AName) AParams = nullptr;
  VOK_EXPORTS(VOK_EXPORT_POINTER)
#undef VOK_EXPORT_POINTER
};

}  // namespace vok
