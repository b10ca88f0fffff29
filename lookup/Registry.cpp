#include "lookup/Registry.h"

#include <algorithm>

#include "lookup/ShortStr.h"

namespace vok {

// FNV-1a of the name with its ASCII letters in lower case: equal for names SameAsciiText
// finds equal.
uint32_t TRegistry::HashOf(std::string_view AName) {
  uint32_t H = 2166136261u;
  for (char C : AName) H = (H ^ static_cast<unsigned char>(AsciiLower(C))) * 16777619u;
  return H;
}

std::size_t TRegistry::Home(uint32_t AHash) const { return (AHash * 0x9E3779B1u) >> fShift; }

void TRegistry::Insert(uint32_t AHash, uint32_t APosition) const {
  const std::size_t Mask = fSlots.size() - 1;
  std::size_t S = Home(AHash);
  while (fSlots[S].Position) S = (S + 1) & Mask;
  fSlots[S] = {AHash, APosition + 1};
}

const TRegistry::TEntry *TRegistry::Find(std::string_view AName) const {
  if (fSlots.empty()) return nullptr;
  const uint32_t H = HashOf(AName);
  const std::size_t Mask = fSlots.size() - 1;
  for (std::size_t S = Home(H); fSlots[S].Position; S = (S + 1) & Mask) {
    if (fSlots[S].Hash != H) continue;
    const TEntry &E = fEntries[fSlots[S].Position - 1];
    if (SameAsciiText(E.Name, AName)) return &E;
  }
  return nullptr;
}

void TRegistry::Add(std::string AName, std::unique_ptr<TLookup> ALookup) {
  const uint32_t H = HashOf(AName);
  fEntries.push_back({std::move(AName), std::move(ALookup)});
  const std::size_t Live = Count();
  if (2 * Live > fSlots.size())
    Compact(std::max<std::size_t>(16, 2 * Live + 1));
  else
    Insert(H, static_cast<uint32_t>(fEntries.size() - 1));
}

void TRegistry::Remove(const TEntry *AEntry) {
  if (!AEntry || fSlots.empty()) return;
  const std::size_t Mask = fSlots.size() - 1;
  std::size_t Hole = Home(HashOf(AEntry->Name));
  while (fSlots[Hole].Position && &fEntries[fSlots[Hole].Position - 1] != AEntry) Hole = (Hole + 1) & Mask;
  if (!fSlots[Hole].Position) return;  // not an entry of this registry
  const uint32_t Position = fSlots[Hole].Position - 1;
  // Moves back every later slot of the run that may stand in the hole: the run stays unbroken
  // from each entry's home slot to the entry, and equal names keep their order.
  for (std::size_t S = (Hole + 1) & Mask; fSlots[S].Position; S = (S + 1) & Mask) {
    if (((S - Home(fSlots[S].Hash)) & Mask) >= ((S - Hole) & Mask)) {
      fSlots[Hole] = fSlots[S];
      Hole = S;
    }
  }
  fSlots[Hole] = {};
  TEntry &E = fEntries[Position];
  E.Lookup.reset();
  std::string().swap(E.Name);
  if (++fRemoved > fEntries.size() / 2) Compact();
}

void TRegistry::Compact(std::size_t ASlots) const {
  if (fRemoved) {
    fEntries.erase(std::remove_if(fEntries.begin(), fEntries.end(), [](const TEntry &E) { return !E.Lookup; }),
                   fEntries.end());
    fRemoved = 0;
  }
  if (!ASlots) ASlots = std::max(fSlots.size(), std::size_t(16));
  uint32_t Bits = 4;
  while ((std::size_t(1) << Bits) < ASlots) ++Bits;
  fSlots.assign(std::size_t(1) << Bits, TSlot{});
  fShift = 32 - Bits;
  for (std::size_t I = 0; I < fEntries.size(); ++I) Insert(HashOf(fEntries[I].Name), static_cast<uint32_t>(I));
}

void TRegistry::Clear() {
  for (TEntry &E : fEntries) E.Lookup.reset();
  fEntries.clear();
  fSlots.clear();
  fRemoved = 0;
}

}  // namespace vok
