#pragma once
// GrepSets: all the walks of a line at once, for the scan of the file grep (the stage is described
// in grep.h).
//
// The state of the scan is the set of DFA states the walks started so far are in: two walks in the
// same state go the same way from then on, so one entry stands for both, and a character moves every
// member and adds the walk that starts at it. The sets are made lazily, as the text meets them, and
// each gets a row of next sets per byte (and per lead byte a row for its trail bytes), so the scan
// costs one lookup per character once a text's few sets are known. A set without starts carries the
// walks of a line past its end (a pattern that reads an LF goes on into the next line) without
// adding the walks of the next line.
//
// A pattern and text could meet very many sets; past the budget every set is dropped and made again
// when needed (Epoch tells a holder of set ids that they are void).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "pattern/grep_scan.h"

namespace kelvane {

class GrepSets {
 public:
  static constexpr std::int32_t kEmpty = 0;  // no walk yet; one starts at every character
  static constexpr std::int32_t kDead = 1;   // no walk, and none starts: the walks of a line all ended
  // The most sets, and bytes of rows, before everything is dropped.
  static constexpr std::size_t kMaxSets = 20000;
  static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

  // Keeps a reference to tables (and so to its DFA), which must outlive this. Raises std::bad_alloc.
  explicit GrepSets(GrepTables& tables);

  bool Accepting(std::int32_t x) const { return accepting_[static_cast<std::size_t>(x)] != 0; }
  // The set after the one-byte character b (a lead byte followed by an LF included).
  std::int32_t Single(std::int32_t x, unsigned char b) {
    if (const std::int32_t* row = single_[static_cast<std::size_t>(x)]) {
      const std::int32_t known = row[b];
      if (known != kUnknown) return known;
    }
    return Make(x, b);
  }
  // The set after the double-byte character lead, trail.
  std::int32_t Double(std::int32_t x, unsigned char lead, unsigned char trail) {
    if (const std::int32_t* row = double_[static_cast<std::size_t>(x) * kLeadCount + LeadIndex(lead)]) {
      const std::int32_t known = row[trail];
      if (known != kUnknown) return known;
    }
    return Make(x, static_cast<std::uint16_t>(lead << 8 | trail));
  }
  // The same walks, with no more starting: what goes on past the end of a line.
  std::int32_t Detach(std::int32_t x);
  // Counts the times every set was dropped.
  std::uint32_t Epoch() const { return epoch_; }
  std::size_t Count() const { return members_.size(); }

 private:
  static constexpr std::int32_t kUnknown = -2;
  static constexpr std::size_t kLeadCount = 60;
  static std::size_t LeadIndex(unsigned char lead) { return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + 31u; }
  // The set after x on code (below 0x100 a one-byte character), remembered in x's rows. When the sets
  // are dropped on the way, x is made again first, and the result is valid in the new epoch.
  std::int32_t Make(std::int32_t x, std::uint16_t code);
  std::int32_t Intern(std::vector<std::int32_t> members, bool starts);
  void Reset();

  GrepTables& tables_;
  // Per set: its DFA states (ascending), whether walks start, whether one accepts, its detached twin.
  std::vector<std::vector<std::int32_t>> members_;
  std::vector<std::uint8_t> starts_, accepting_;
  std::vector<std::int32_t> detached_;
  // Rows of next sets, made at first use: per set one for one-byte characters, and per set and lead
  // byte one for the trail bytes.
  std::vector<std::int32_t*> single_, double_;
  std::vector<std::unique_ptr<std::int32_t[]>> rows_;
  std::unordered_map<std::string, std::int32_t> index_;
  std::size_t bytes_ = 0;
  std::uint32_t epoch_ = 0;
};

}  // namespace kelvane
