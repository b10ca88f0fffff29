// The dictionary registry: the loaded dictionaries under their names, in the order in which they
// were registered, with an index that finds a name in constant time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/Lookup.h"

namespace vok {

class TRegistry {
 public:
  TRegistry() = default;
  TRegistry(const TRegistry &) = delete;
  TRegistry &operator=(const TRegistry &) = delete;
  // Frees the dictionaries from the first entry to the last.
  ~TRegistry() { Clear(); }

  struct TEntry {
    std::string Name;
    std::unique_ptr<TLookup> Lookup;  // null only in a removed entry, which no one sees
  };

  // The first registered entry whose name equals AName (SameAsciiText), or null. The pointer
  // stays valid until the registry next changes or is indexed.
  const TEntry *Find(std::string_view AName) const;
  // Appends the entry (AName, ALookup), which then owns the dictionary ALookup (not null); an
  // equal name registered before is not refused.
  void Add(std::string AName, std::unique_ptr<TLookup> ALookup);
  // Frees the dictionary of AEntry and removes the entry: the later entries move up.
  void Remove(const TEntry *AEntry);
  // Frees every dictionary, from the first entry to the last.
  void Clear();

  std::size_t Count() const { return fEntries.size() - fRemoved; }
  // Entry AIndex (from 0) in the order of registration.
  const TEntry &operator[](std::size_t AIndex) const {
    if (fRemoved) Compact();
    return fEntries[AIndex];
  }

 private:
  // A slot of the index: the hash of an entry's name and the entry's position + 1; 0 is free.
  struct TSlot {
    uint32_t Hash;
    uint32_t Position;
  };
  static uint32_t HashOf(std::string_view AName);
  // The slot where the probe sequence of a hash begins: the high bits of its product with the
  // golden ratio, which spread names that differ only in their last letters.
  std::size_t Home(uint32_t AHash) const;
  // Puts the entry at APosition into the index, behind every entry of an equal name.
  void Insert(uint32_t AHash, uint32_t APosition) const;
  // Closes the gaps that removed entries left, keeping the order, and indexes the entries anew
  // in a table of ASlots slots (0: the size the entries need).
  void Compact(std::size_t ASlots = 0) const;

  // In the order of registration; a removed entry stays as a gap until the next Compact, so that
  // removing costs no more than finding. Small blocks rather than one array: growing moves no
  // entry, and a large registry takes no block that the heap must get from the system anew.
  mutable std::deque<TEntry> fEntries;
  mutable std::size_t fRemoved = 0;
  // Open addressing with linear probing, at most half full. Entries of equal names stand in the
  // order of registration along their probe sequence.
  mutable std::vector<TSlot> fSlots;
  mutable uint32_t fShift = 32;  // 32 - log2 of the slots
};

}  // namespace vok
