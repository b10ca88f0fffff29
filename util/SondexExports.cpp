// The host's fuzzy word comparison: SetParse sets the word delimiters, Sondex scores two texts.
#include <windows.h>

#include "util/SondexCore.h"
#include "win32/ExportGuard.h"
#include "win32/Message.h"
#include "win32/Text.h"

using namespace vok;

namespace {
// The delimiter set, library-wide from SetParse to SetParse or unload.
TSondex &Comparer() {
  static TSondex S;
  return S;
}
}  // namespace

VOK_EXPORT void SetParse(const char *ADelimiters) {
  Guarded([&] { Comparer().SetParse(Arg(ADelimiters)); });
}

VOK_EXPORT int32_t Sondex(const char *AText1, const char *AText2, int32_t AMinLength) {
  return Guarded(-1, [&] {
    try {
      return Comparer().Compare(Arg(AText1), Arg(AText2), AMinLength);
    } catch (...) {
      ShowMessage(nullptr, AnsiToWide("Sondex error: " + CurrentErrorText()), L"Vokabra", TModality::Task);
      return -1;
    }
  });
}
