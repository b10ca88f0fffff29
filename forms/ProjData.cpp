#include "forms/ProjData.h"

#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>

#include "lookup/ShortStr.h"
#include "lookup/TextFile.h"

namespace vok {

namespace {

const char HeaderOpen[] = "\"--- ";
const char HeaderClose[] = " ---\"";

// Counts the lines taken from a source; a line that fails to read still counts.
class TCountedLines {
 public:
  enum TResult { rrLine, rrEnd, rrFailed };

  explicit TCountedLines(const TLineSource &ASource) : fSource(ASource) {}

  TResult Next(std::string &ALine) {
    ++fLineNo;
    try {
      return fSource(ALine) ? rrLine : rrEnd;
    } catch (const EInOutError &) {
      return rrFailed;
    }
  }
  int LineNo() const { return fLineNo; }

 private:
  const TLineSource &fSource;
  int fLineNo = 0;
};

// Opens APrjPath for one pass of reading; null when it cannot be opened.
std::unique_ptr<TTextReader> OpenPrj(const std::string &APrjPath) {
  try {
    return std::make_unique<TTextReader>(APrjPath);
  } catch (const EInOutError &) {
    return nullptr;
  }
}

int StrToInt(const std::string &AText) {
  const std::optional<int32_t> Value = TryStrToInt(AText);
  if (!Value) throw EConvertError("'" + AText + "' is not a valid integer value");
  return *Value;
}

// Comma-separated, trimmed parts; a trailing comma adds no empty part.
std::vector<std::string> SplitParams(const std::string &AText) {
  std::vector<std::string> Parts;
  std::size_t Start = 0;
  while (Start < AText.size()) {
    std::size_t Comma = AText.find(',', Start);
    if (Comma == std::string::npos) Comma = AText.size();
    Parts.push_back(Trim(std::string_view(AText).substr(Start, Comma - Start)));
    Start = Comma + 1;
  }
  return Parts;
}

struct TUnitInfo {
  const char *Str, *Name, *Name2;
};

// MapBasic units by their codes in projection files: the name MapBasic knows, the Russian
// plural and the Russian "in one such unit".
const TUnitInfo Units[] = {
    {"\"mi\"", "\xEC\xE8\xEB\xE8", "\xE2 \xEC\xE8\xEB\xE5"},
    {"\"km\"", "\xEA\xE8\xEB\xEE\xEC\xE5\xF2\xF0\xFB", "\xE2 \xEA\xE8\xEB\xEE\xEC\xE5\xF2\xF0\xE5"},
    {"\"in\"", "\xE4\xFE\xE9\xEC\xFB", "\xE2 \xE4\xFE\xE9\xEC\xE5"},
    {"\"ft\"", "\xF4\xF3\xF2\xFB", "\xE2 \xF4\xF3\xF2\xE5"},
    {"\"yd\"", "\xFF\xF0\xE4\xFB", "\xE2 \xFF\xF0\xE4\xE5"},
    {"\"mm\"", "\xEC\xE8\xEB\xEB\xE8\xEC\xE5\xF2\xF0\xFB", "\xE2 \xEC\xE8\xEB\xEB\xE8\xEC\xE5\xF2\xF0\xE5"},
    {"\"cm\"", "\xF1\xE0\xED\xF2\xE8\xEC\xE5\xF2\xF0\xFB", "\xE2 \xF1\xE0\xED\xF2\xE8\xEC\xE5\xF2\xF0\xE5"},
    {"\"m\"", "\xEC\xE5\xF2\xF0\xFB", "\xE2 \xEC\xE5\xF2\xF0\xE5"},
    {"\"survey ft\"", "\xF2\xEE\xEF\xEE \xF4\xF3\xF2\xFB", "\xE2 \xF2\xEE\xEF\xEE \xF4\xF3\xF2\xE5"},
};

// Sets the unit outputs of ACoordSys from a unit code text. A code without a unit is
// refused like one that is not a number: a clause with a wrong unit must not reach the host.
void SetUnit(TCoordSys &ACoordSys, const std::string &ACodeText) {
  const int Code = StrToInt(ACodeText);
  if (Code < 0 || Code >= static_cast<int>(std::size(Units))) throw EConvertError("unknown unit code " + ACodeText);
  ACoordSys.UnitStr = Units[Code].Str;
  ACoordSys.UnitName = Units[Code].Name;
  ACoordSys.UnitName2 = Units[Code].Name2;
}

}  // namespace

int LoadPrjGroups(const TLineSource &ANextLine, std::vector<std::string> &AGroups) {
  AGroups.clear();
  TCountedLines Lines(ANextLine);
  std::string Line;
  TCountedLines::TResult R;
  while ((R = Lines.Next(Line)) == TCountedLines::rrLine) {
    if (Line.compare(0, 5, HeaderOpen) != 0) continue;
    const std::size_t Close = Line.find(HeaderClose, 5);
    AGroups.push_back(Close == std::string::npos ? std::string() : Line.substr(5, Close - 5));
  }
  return R == TCountedLines::rrFailed ? Lines.LineNo() : prjOk;
}

int LoadPrjGroups(const std::string &APrjPath, std::vector<std::string> &AGroups) {
  AGroups.clear();
  const std::unique_ptr<TTextReader> Reader = OpenPrj(APrjPath);
  if (!Reader) return prjCannotOpen;
  return LoadPrjGroups([&](std::string &ALine) { return Reader->ReadLine(ALine); }, AGroups);
}

int LoadPrjNames(const TLineSource &ANextLine, const std::string &AGroupName, std::vector<std::string> &ANames,
                 std::vector<std::string> &AParams) {
  ANames.clear();
  AParams.clear();
  const std::string Header = HeaderOpen + AGroupName + HeaderClose;
  TCountedLines Lines(ANextLine);
  std::string Line;
  TCountedLines::TResult R;
  bool InGroup = false;
  while ((R = Lines.Next(Line)) == TCountedLines::rrLine) {
    if (!InGroup) {
      InGroup = Line.find(Header) != std::string::npos;
      continue;
    }
    if (Line.empty() || Line.find(HeaderOpen) != std::string::npos) break;
    const std::string Rest = Line.substr(1);  // the opening quote, whatever it is
    const std::size_t Quote = Rest.find('"');
    if (Quote == std::string::npos) continue;
    std::size_t Marker = Rest.find("\\p");
    if (Marker == std::string::npos) Marker = Quote;
    ANames.push_back(Rest.substr(0, Marker));
    AParams.push_back(Quote + 2 < Rest.size() ? Rest.substr(Quote + 2) : std::string());
  }
  if (R != TCountedLines::rrFailed) return prjOk;
  ANames.clear();
  AParams.clear();
  return Lines.LineNo();
}

int LoadPrjNames(const std::string &APrjPath, const std::string &AGroupName, std::vector<std::string> &ANames,
                 std::vector<std::string> &AParams) {
  ANames.clear();
  AParams.clear();
  const std::unique_ptr<TTextReader> Reader = OpenPrj(APrjPath);
  if (!Reader) return prjCannotOpen;
  return LoadPrjNames([&](std::string &ALine) { return Reader->ReadLine(ALine); }, AGroupName, ANames, AParams);
}

namespace {
// The number of parameters that follow a datum of its own in the second part: 999 takes the
// ellipsoid and three shifts, 9999 the ellipsoid, three shifts, three rotations, the scale and the
// prime meridian. 0 for every other datum.
std::size_t DatumParams(const std::string &ADatum) {
  const std::optional<int32_t> Datum = TryStrToInt(ADatum);
  return Datum == 999 ? 4 : Datum == 9999 ? 9 : 0;
}

void SetDegrees(TCoordSys &ACoordSys) {
  ACoordSys.UnitStr.clear();
  ACoordSys.UnitName = "\xE3\xF0\xE0\xE4\xF3\xF1\xFB";
  ACoordSys.UnitName2 = "\xE2 \xE3\xF0\xE0\xE4\xF3\xF1\xE5";
}
}  // namespace

TCoordSys GetCoordSys(const std::string &AEntryName, const std::string &AParamText) {
  TCoordSys Result;
  Result.Name = AEntryName;
  Result.Clause = AEntryName;
  std::vector<std::string> Parts = SplitParams(AParamText);
  if (Parts.size() == 2) {
    const int Kind = StrToInt(Parts[0]);
    if (Kind == 0) {
      SetUnit(Result, Parts[1]);
      Result.Clause = "CoordSys NonEarth Units " + Result.UnitStr;
    } else if (Kind == 1) {
      SetDegrees(Result);
      Result.Clause = "CoordSys Earth Projection " + Parts[0] + ", " + Parts[1];
    }
  } else if (Parts.size() > 2) {
    // The unit code stands after the parameters of a datum of the entry's own, when they are
    // all there; otherwise it is the third part. A geographic system has no unit.
    const std::size_t Own = DatumParams(Parts[1]);
    if (Own && TryStrToInt(Parts[0]) == 1 && Parts.size() >= 2 + Own) {
      SetDegrees(Result);
    } else {
      const std::size_t At = Own && Parts.size() > 2 + Own ? 2 + Own : 2;
      SetUnit(Result, Parts[At]);
      Parts[At] = Result.UnitStr;
    }
    Result.Clause = "CoordSys Earth Projection " + Parts[0];
    for (std::size_t I = 1; I < Parts.size(); ++I) Result.Clause += ", " + Parts[I];
  }
  return Result;
}

}  // namespace vok
