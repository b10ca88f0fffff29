// The host's fuzzy word comparison: SetParse sets the word delimiters, Sondex scores two texts.
#include <windows.h>

#include "library/ExportGuard.h"
#include "util/SondexCore.h"

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
    } catch (const std::exception &E) {
      MessageBoxA(nullptr, (std::string("Sondex error: ") + E.what()).c_str(), "Vokabra", MB_OK | MB_TASKMODAL);
      return -1;
    } catch (...) {
      MessageBoxA(nullptr, "Sondex error: Unknown error", "Vokabra", MB_OK | MB_TASKMODAL);
      return -1;
    }
  });
}
