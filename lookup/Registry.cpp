#include "lookup/Registry.h"

#include <algorithm>

namespace vok {

namespace {
char AsciiLower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C; }
}  // namespace

bool SameVokName(std::string_view A, std::string_view B) {
  return A.size() == B.size() &&
         std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return AsciiLower(X) == AsciiLower(Y); });
}

std::string TRegistry::Key(std::string_view AName) {
  std::string K(AName);
  for (char &C : K) C = AsciiLower(C);
  return K;
}

const TRegistry::TEntry *TRegistry::Find(std::string_view AName) const {
  // Equal names beside each other are rare (the loaders replace an entry of the same name): the
  // first registered of them is the one.
  const auto [From, To] = fIndex.equal_range(Key(AName));
  const TEntry *First = nullptr;
  for (auto It = From; It != To; ++It)
    if (!First || It->second.Serial < First->Serial) First = &It->second;
  return First;
}

void TRegistry::Add(std::string AName, std::unique_ptr<TLookup> ALookup) {
  std::string K = Key(AName);
  const auto It = fIndex.emplace(std::move(K), TEntry{std::move(AName), std::move(ALookup), fNextSerial++});
  fEntries.push_back(&It->second);
}

void TRegistry::Remove(const TEntry *AEntry) {
  const auto At = std::find(fEntries.begin(), fEntries.end(), AEntry);
  if (At == fEntries.end()) return;
  fEntries.erase(At);
  const auto [From, To] = fIndex.equal_range(Key(AEntry->Name));
  for (auto It = From; It != To; ++It)
    if (&It->second == AEntry) {
      fIndex.erase(It);
      break;
    }
}

void TRegistry::Clear() {
  for (TEntry *E : fEntries) E->Lookup.reset();
  fEntries.clear();
  fIndex.clear();
}

}  // namespace vok
