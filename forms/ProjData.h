// Projection files: the group and entry lists shown by the projection dialog, and the
// MapBasic CoordSys clause built from a chosen entry.
//
// A projection file is a text file in the ANSI code page. Group headers look like
//   "--- Group name ---"
// and are followed by entry lines
//   "Entry name\p1234", 8, 104, 7, 27, 0, 0.9996, 500000, 0
// up to an empty line or the next header. The part after the closing quote and the comma
// is the entry's parameter text, kept as written.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vok {

// Thrown by GetCoordSys for an entry whose numbers cannot be used.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Results of LoadPrjGroups / LoadPrjNames. A positive result is the 1-based number
// of the line whose reading failed.
constexpr int prjOk = 0;
constexpr int prjCannotOpen = -1;

struct TCoordSys {
  std::string Name;       // the entry name
  std::string Clause;     // "CoordSys ..." clause, or the entry name when none applies
  std::string UnitStr;    // MapBasic unit with its quotes, e.g. "m"; empty for degrees
  std::string UnitName;   // Russian unit name, plural ("metres")
  std::string UnitName2;  // Russian "in a metre" form, for "units per ..." labels
};

// The next line of a text into ALine; false at the end of the text. Throws EInOutError
// when the line cannot be read.
using TLineSource = std::function<bool(std::string &ALine)>;

// Fills AGroups (cleared first) with the name of every group header, in file order,
// duplicates kept. A header without a closing ` ---"` gives an empty name. On a read
// failure the groups read before the failing line stay.
int LoadPrjGroups(const std::string &APrjPath, std::vector<std::string> &AGroups);
int LoadPrjGroups(const TLineSource &ANextLine, std::vector<std::string> &AGroups);

// Fills ANames and AParams (parallel lists, cleared first) with the entries of the first
// group named AGroupName. Both are left empty when the file cannot be opened or a line
// cannot be read. A missing group is not an error: prjOk, no entries.
int LoadPrjNames(const std::string &APrjPath, const std::string &AGroupName, std::vector<std::string> &ANames,
                 std::vector<std::string> &AParams);
int LoadPrjNames(const TLineSource &ANextLine, const std::string &AGroupName, std::vector<std::string> &ANames,
                 std::vector<std::string> &AParams);

// The CoordSys clause and unit texts of an entry from LoadPrjNames. Throws EConvertError
// when the projection type of a two-part list or the unit code is not an integer, or the
// unit code is not one of the known units (0..8).
TCoordSys GetCoordSys(const std::string &AEntryName, const std::string &AParamText);

}  // namespace vok
