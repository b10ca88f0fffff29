// The dictionary checker: what the two loaders (LoadVok, which reads one section's lines as
// they stand, and LoadAllVok, which trims every line) make of a .vok file, and why a section
// does not load.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lookup/Lookup.h"
#include "tools/vok/Console.h"

namespace vok::tool {

enum class TSeverity { Note, Warning, Error };

// The loaders a diagnostic concerns.
enum : unsigned { ByLoadVok = 1, ByLoadAllVok = 2 };

struct TDiagnostic {
  int Line;
  TSeverity Severity;
  std::string Text;        // English, quoting dictionary texts in Windows-1251
  unsigned Paths = 0;      // ByLoadVok, ByLoadAllVok or both
  bool Explained = false;  // the text itself says which loader it concerns
  bool NeedsLoad = false;  // found in the loaded dictionary, which the other loader may lack
};

// One line of a section as a loader receives it, with its line number in the source.
struct TSourceLine {
  int Number;
  std::string_view Text;
};

const char *SeverityName(TSeverity ASeverity);

// Why a text does not pass the integer conversion of codes and widths, in a few words
// ("blank after the number"); empty when it does convert.
std::string WhyNotInt(std::string_view S);

// True when a key (the text before "=") was meant as an item code: it begins, after blanks,
// with a digit, a sign or "$".
bool LooksLikeCode(std::string_view AKey);

// The numbers of V with ASep between them: the widths of "Format=" as "2,2,3".
std::string JoinInts(const std::vector<int> &V, const char *ASep);

// A text quoted for a message: control characters escaped, long texts cut with "...".
std::string Quote(std::string_view S, std::size_t AMax = 60);

// Why the selection dialog, browsing down from the top level, cannot reach the item ACode of
// ALookup: the levels above its own whose field of ACode is zero, and the ancestors that ALookup
// lacks, each with its level (levels counted from 0). Both empty when it can reach it.
struct TReach {
  std::vector<int> ZeroLevels;
  std::vector<std::pair<int32_t, int>> Missing;
};
TReach ReachOf(const TLookup &ALookup, int32_t ACode);

// Diagnoses the lines of one section as the loader APath (ByLoadVok or ByLoadAllVok) receives
// them: header lines, item lines, and once ALookup (the same lines loaded by the core) is
// ready, codes, ancestors, filters and the selection dialog's rows. Appends to AOut.
void CheckSectionLines(unsigned APath, std::string_view ASectionName, int AHeaderLine,
                       const std::vector<TSourceLine> &ALines, const TLookup &ALookup, std::vector<TDiagnostic> &AOut);

// vok check: diagnoses every section of AFile; returns 0 (clean), 1 (warnings) or 2 (errors).
int RunCheck(const TConsole &AConsole, const std::string &AFile);

}  // namespace vok::tool
