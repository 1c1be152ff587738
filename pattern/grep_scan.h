#pragma once
// The scan of the file grep over the reader's window; the stage is described in grep.h.
//
// GrepTables holds, per DFA state, a row of 256 entries for one-byte characters and, for each lead
// byte, a row of 256 entries for its trail bytes. Rows are made the first time they are needed, so a
// DFA of thousands of states costs only what a file touches. It also finds the bytes every match
// begins with ("^abc" = LF a b c, "ファイル.*設定" = ファイル), or failing that the few codes a match
// can begin with (the fuzzy forms of a word: フ, ﾌ, ふ), which the scan skips to. A hit counts only on
// a character boundary: the run of lead-byte values before it has even length, since a byte that
// cannot be a lead byte always ends a character. A lead byte followed by an LF is a one-byte
// character, as everywhere in the window.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pattern/re_dfa.h"
#include "pattern/txt_file.h"

namespace kelvane {

// The DFA of one pattern as byte tables. States are the DFA's state indices. The accessors never
// raise, except std::bad_alloc when a row is made.
class GrepTables {
 public:
  static constexpr std::int32_t kNone = -1;
  static constexpr std::int32_t kLead = -2;  // in a one-byte row: look in the lead byte's row

  // Keeps a reference to dfa, which must outlive the tables. Raises std::bad_alloc only.
  explicit GrepTables(const TRE_DFA& dfa);

  std::int32_t Start() const { return start_; }
  bool Accepting(std::int32_t s) const { return accepting_[static_cast<std::size_t>(s)] != 0; }
  // The row of one-byte steps of s: a state index, kNone, or kLead for a lead byte.
  const std::int32_t* SingleRow(std::int32_t s) {
    auto& row = single_[static_cast<std::size_t>(s)];
    return row ? row.get() : MakeSingleRow(s);
  }
  // The state after the double-byte character lead, trail (lead must be a lead byte), or kNone.
  std::int32_t StepDouble(std::int32_t s, unsigned char lead, unsigned char trail) {
    auto& rows = double_[static_cast<std::size_t>(s) * kLeadCount + LeadIndex(lead)];
    return (rows ? rows.get() : MakeDoubleRow(s, lead))[trail];
  }
  // The state after any code, or kNone; the slow path for codes the rows do not hold.
  std::int32_t Step(std::int32_t s, std::uint16_t code) const;

  // The bytes every match begins with, as found in the window (possibly empty).
  const std::string& Prefix() const { return prefix_; }
  // The codes a match may begin with, when there are at most kMaxFirstCodes of them and each is a
  // whole character as the window holds it; empty otherwise.
  const std::vector<std::uint16_t>& FirstCodes() const { return firstCodes_; }
  static constexpr std::size_t kMaxFirstCodes = 8;

 private:
  static constexpr std::size_t kLeadCount = 60;
  static std::size_t LeadIndex(unsigned char lead) { return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + 31u; }
  const std::int32_t* MakeSingleRow(std::int32_t s);
  const std::int32_t* MakeDoubleRow(std::int32_t s, unsigned char lead);
  void FindPrefix();
  void FindFirstCodes();

  const TRE_DFA& dfa_;
  std::int32_t start_;
  std::vector<std::uint8_t> accepting_;
  std::vector<std::unique_ptr<std::int32_t[]>> single_;
  std::vector<std::unique_ptr<std::int32_t[]>> double_;
  std::string prefix_;
  std::vector<std::uint16_t> firstCodes_;
};

// Called with each matching line; may raise, and the exception passes out of ScanFile.
using LineReport = std::function<void(const RE_LineInfo_t& line)>;

class GrepSets;

// Reports, in file order and once each, the lines of file that hold a match of the tables' DFA; sets
// must be made over the same tables. Calls file.CheckPoint() before each report and every 256 K
// characters of a long line. Raises what the reader and report raise.
void ScanFile(TTxtFile& file, GrepTables& tables, GrepSets& sets, const LineReport& report);

}  // namespace kelvane
