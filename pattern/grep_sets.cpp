// The sets of walks of the file grep; what they are and why is in grep_sets.h.
#include "pattern/grep_sets.h"

#include <algorithm>

namespace kelvane {

GrepSets::GrepSets(GrepTables& tables) : tables_(tables) { Reset(); }

void GrepSets::Reset() {
  members_.clear();
  starts_.clear();
  accepting_.clear();
  detached_.clear();
  single_.clear();
  double_.clear();
  rows_.clear();
  index_.clear();
  bytes_ = 0;
  Intern({}, true);   // kEmpty
  Intern({}, false);  // kDead
}

std::int32_t GrepSets::Intern(std::vector<std::int32_t> members, bool starts) {
  std::string key(reinterpret_cast<const char*>(members.data()), members.size() * sizeof(std::int32_t));
  key += starts ? 'S' : 'N';
  auto [it, added] = index_.try_emplace(std::move(key), static_cast<std::int32_t>(members_.size()));
  if (!added) return it->second;
  bool accepting = false;
  for (std::int32_t m : members) accepting = accepting || tables_.Accepting(m);
  bytes_ += members.size() * sizeof(std::int32_t) * 3 + (kLeadCount + 4) * sizeof(void*) + 64;
  members_.push_back(std::move(members));
  starts_.push_back(starts ? 1 : 0);
  accepting_.push_back(accepting ? 1 : 0);
  detached_.push_back(kUnknown);
  single_.push_back(nullptr);
  double_.resize(double_.size() + kLeadCount, nullptr);
  return it->second;
}

std::int32_t GrepSets::Detach(std::int32_t x) {
  const auto i = static_cast<std::size_t>(x);
  if (!starts_[i]) return x;
  if (detached_[i] == kUnknown) {
    std::vector<std::int32_t> members = members_[i];
    const std::int32_t detached = Intern(std::move(members), false);
    detached_[i] = detached;
  }
  return detached_[i];
}

std::int32_t GrepSets::Make(std::int32_t x, std::uint16_t code) {
  if (members_.size() >= kMaxSets || bytes_ >= kMaxBytes) {
    // Too many sets: start afresh with the one at hand.
    std::vector<std::int32_t> members = std::move(members_[static_cast<std::size_t>(x)]);
    const bool starts = starts_[static_cast<std::size_t>(x)] != 0;
    Reset();
    ++epoch_;
    x = Intern(std::move(members), starts);
  }
  const auto i = static_cast<std::size_t>(x);
  std::vector<std::int32_t> next;
  next.reserve(members_[i].size() + 1);
  for (std::int32_t m : members_[i]) {
    const std::int32_t t = tables_.Step(m, code);
    if (t >= 0) next.push_back(t);
  }
  const bool starts = starts_[i] != 0;
  if (starts) {
    const std::int32_t t = tables_.Step(tables_.Start(), code);
    if (t >= 0) next.push_back(t);
  }
  std::sort(next.begin(), next.end());
  next.erase(std::unique(next.begin(), next.end()), next.end());
  const std::int32_t result = Intern(std::move(next), starts);
  std::int32_t*& row = code < 0x100 ? single_[i] : double_[i * kLeadCount + LeadIndex(static_cast<unsigned char>(code >> 8))];
  if (row == nullptr) {
    rows_.push_back(std::make_unique<std::int32_t[]>(256));
    row = rows_.back().get();
    std::fill_n(row, 256, kUnknown);
    bytes_ += 256 * sizeof(std::int32_t);
  }
  row[code & 0xFF] = result;
  return result;
}

}  // namespace kelvane
