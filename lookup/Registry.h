// The dictionary registry: the loaded dictionaries under their names, in the order in which they
// were registered, with an index that finds a name in constant time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lookup/Lookup.h"

namespace vok {

// True when two registered names are equal: the same length and bytes, ASCII letters matching
// their other case. No other letter is folded.
bool SameVokName(std::string_view A, std::string_view B);

class TRegistry {
 public:
  TRegistry() = default;
  TRegistry(const TRegistry &) = delete;
  TRegistry &operator=(const TRegistry &) = delete;
  // Frees the dictionaries from the first entry to the last.
  ~TRegistry() { Clear(); }

  struct TEntry {
    std::string Name;
    std::unique_ptr<TLookup> Lookup;
    uint64_t Serial;  // the order of registration
  };

  // The first registered entry whose name equals AName (SameVokName), or null.
  const TEntry *Find(std::string_view AName) const;
  // Appends the entry (AName, ALookup), which then owns the dictionary; an equal name registered
  // before is not refused.
  void Add(std::string AName, std::unique_ptr<TLookup> ALookup);
  // Frees the dictionary of AEntry and removes the entry: the later entries move up.
  void Remove(const TEntry *AEntry);
  // Frees every dictionary, from the first entry to the last.
  void Clear();

  std::size_t Count() const { return fEntries.size(); }
  // Entry AIndex (from 0) in the order of registration.
  const TEntry &operator[](std::size_t AIndex) const { return *fEntries[AIndex]; }

 private:
  // A name with its ASCII letters in lower case: equal for names SameVokName finds equal.
  static std::string Key(std::string_view AName);

  // The entries under the keys of their names, one node each, which never moves.
  std::unordered_multimap<std::string, TEntry> fIndex;
  std::vector<TEntry *> fEntries;  // in the order of registration
  uint64_t fNextSerial = 0;
};

}  // namespace vok
