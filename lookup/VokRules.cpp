#include "lookup/VokRules.h"

#include <string>

#include "lookup/ShortStr.h"
#include "lookup/TextOps.h"

namespace vok {

bool HeaderName(std::string_view ATrimmed, std::string_view &AName) {
  if (ATrimmed.size() < 2 || ATrimmed.front() != '[' || ATrimmed.back() != ']') return false;
  AName = ATrimmed.substr(1, ATrimmed.size() - 2);
  return true;
}

const char *HeaderKeyName(THeaderKey AKey) {
  switch (AKey) {
    case THeaderKey::Format:
      return "Format";
    case THeaderKey::Display:
      return "Display";
    default:
      return "Delimit";
  }
}

std::optional<THeaderKey> HeaderKeyOf(std::string_view AKey) {
  // A key spelt as a name but for the case of ASCII letters is that name in every locale; the
  // locale's comparison, which costs more, decides only the others.
  for (const THeaderKey K : HeaderKeys)
    if (SameAsciiText(AKey, HeaderKeyName(K))) return K;
  for (const THeaderKey K : HeaderKeys)
    if (SameText(AKey, HeaderKeyName(K))) return K;
  return std::nullopt;
}

std::optional<THeaderKeyMiss> HeaderKeyMiss(std::string_view AKey) {
  const auto Key = HeaderKeyOf(TrimView(AKey));
  if (!Key) return std::nullopt;
  std::size_t Lead = 0;
  while (Lead < AKey.size() && IsBlankChar(AKey[Lead])) ++Lead;
  return THeaderKeyMiss{*Key, Lead > 0 && HeaderKeyOf(AKey.substr(Lead)) == Key};
}

TSectionLine ReadSectionLine(std::string_view ALine) {
  TSectionLine L;
  const std::size_t Eq = ALine.find('=');
  if (Eq == std::string_view::npos) return L;
  L.Key = ALine.substr(0, Eq);
  L.Value = ALine.substr(Eq + 1);
  if (const auto Code = TryStrToInt(L.Key)) {
    L.Kind = TSectionLine::Item;
    L.Code = *Code;
    const std::size_t Hash = L.Value.find('#');
    L.Text = L.Value.substr(0, Hash);
    if (Hash != std::string_view::npos) {
      L.HasHash = true;
      const std::string_view After = L.Value.substr(Hash + 1);
      const std::size_t Hash2 = After.find('#');
      L.Extra = After.substr(0, Hash2);
      if (Hash2 != std::string_view::npos) L.Tag = After.substr(Hash2 + 1);
    }
  } else if (const auto Key = HeaderKeyOf(L.Key)) {
    L.Kind = TSectionLine::Header;
    L.HeaderKey = *Key;
  } else {
    L.Kind = TSectionLine::Other;
  }
  return L;
}

std::vector<std::string_view> SplitWidths(std::string_view AValue) {
  std::vector<std::string_view> Pieces;
  ForEachWidth(AValue, [&](std::string_view APiece) { return Pieces.push_back(APiece), true; });
  return Pieces;
}

bool FindSection(TTextReader &AReader, std::string_view AName) {
  const std::string Header = "[" + std::string(AName) + "]";
  std::string_view Line;
  while (AReader.ReadLine(Line))
    if (SameText(TrimView(Line), Header)) return true;
  return false;
}

}  // namespace vok
