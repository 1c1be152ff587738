#include "pattern/grep_sets.h"

#include <algorithm>

namespace kelvane {

GrepSets::GrepSets(GrepTables& tables) : tables_(tables) { Reset(); }

void GrepSets::Reset() {
  sets_.clear();
  index_.clear();
  bytes_ = 0;
  Intern({}, true);   // kEmpty
  Intern({}, false);  // kDead
}

std::int32_t GrepSets::Intern(std::vector<std::int32_t> members, bool starts) {
  std::string key(reinterpret_cast<const char*>(members.data()), members.size() * sizeof(std::int32_t));
  key += starts ? 'S' : 'N';
  auto [it, added] = index_.try_emplace(std::move(key), static_cast<std::int32_t>(sets_.size()));
  if (!added) return it->second;
  Set set;
  set.starts = starts;
  for (std::int32_t m : members) set.accepting = set.accepting || tables_.Accepting(m);
  bytes_ += sizeof(Set) + members.size() * sizeof(std::int32_t) * 3 + 64;
  set.members = std::move(members);
  sets_.push_back(std::move(set));
  return it->second;
}

std::int32_t GrepSets::Detach(std::int32_t x) {
  Set& set = sets_[static_cast<std::size_t>(x)];
  if (!set.starts) return x;
  if (set.detached == kUnknown) {
    std::vector<std::int32_t> members = set.members;
    const std::int32_t detached = Intern(std::move(members), false);
    sets_[static_cast<std::size_t>(x)].detached = detached;  // Intern may have moved the sets
  }
  return sets_[static_cast<std::size_t>(x)].detached;
}

std::int32_t GrepSets::Make(std::int32_t x, std::uint16_t code) {
  if (sets_.size() >= kMaxSets || bytes_ >= kMaxBytes) {
    // Too many sets: start afresh with the one at hand.
    std::vector<std::int32_t> members = std::move(sets_[static_cast<std::size_t>(x)].members);
    const bool starts = sets_[static_cast<std::size_t>(x)].starts;
    Reset();
    ++epoch_;
    x = Intern(std::move(members), starts);
  }
  std::vector<std::int32_t> next;
  const Set& from = sets_[static_cast<std::size_t>(x)];
  next.reserve(from.members.size() + 1);
  for (std::int32_t m : from.members) {
    const std::int32_t t = tables_.Step(m, code);
    if (t >= 0) next.push_back(t);
  }
  const bool starts = from.starts;
  if (starts) {
    const std::int32_t t = tables_.Step(tables_.Start(), code);
    if (t >= 0) next.push_back(t);
  }
  std::sort(next.begin(), next.end());
  next.erase(std::unique(next.begin(), next.end()), next.end());
  const std::int32_t result = Intern(std::move(next), starts);
  Set& set = sets_[static_cast<std::size_t>(x)];
  std::int32_t* row;
  if (code < 0x100) {
    if (!set.single) {
      set.single = std::make_unique<std::int32_t[]>(256);
      std::fill_n(set.single.get(), 256, kUnknown);
      bytes_ += 256 * sizeof(std::int32_t);
    }
    row = set.single.get();
  } else {
    if (!set.doubles) {
      set.doubles = std::make_unique<std::unique_ptr<std::int32_t[]>[]>(60);
      bytes_ += 60 * sizeof(void*);
    }
    auto& slot = set.doubles[LeadIndex(static_cast<unsigned char>(code >> 8))];
    if (!slot) {
      slot = std::make_unique<std::int32_t[]>(256);
      std::fill_n(slot.get(), 256, kUnknown);
      bytes_ += 256 * sizeof(std::int32_t);
    }
    row = slot.get();
  }
  row[code & 0xFF] = result;
  return result;
}

}  // namespace kelvane
