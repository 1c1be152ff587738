#pragma once
// TMatchCORE: the leftmost-longest match of the current pattern in a NUL-terminated Shift-JIS text
// held in memory, with the line anchors "^" and "$".
//
// MatchPlain tries each character position in turn and walks the DFA from it, remembering the last
// accepting position; the first position with any match wins. It never reads an anchor code, so a
// pattern with anchors is matched with MatchAnchored instead (UsesLineHead / UsesLineTail tell), which
// feeds the line-head code at the start of the text and after each LF, and tests the line-tail code
// where a walk stops at a line end (CR under mcls_CRLF, LF under mcls_LF) or at the end of the text.
//
// Those are the results; the work is another matter. A text is searched exactly that way as long as
// the walks stay within a budget of steps linear in the text's length, which ordinary patterns and
// texts never exhaust. Past it the search starts again in linear time (re_match_linear.h): one
// backward pass learns from which positions a walk finds anything, so only the walk that matches is
// made, and it stops right after its match.
//
// Nothing here reads past the NUL: a lead byte right before it is a one-byte character. Matching
// never raises (std::bad_alloc aside).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pattern/re_match_linear.h"
#include "pattern/re_regexp.h"

namespace kelvane {

enum TMatchCORE_LineSeparator : uint8_t { mcls_CRLF = 0, mcls_LF = 1 };

class TMatchCORE : public TRegularExpression {
 public:
  TMatchCORE() = default;

  // Which character ends a line for "$": CR under mcls_CRLF, LF under mcls_LF.
  TMatchCORE_LineSeparator LineSeparator = mcls_CRLF;

  // The first match in `text` without anchors: start and end (just past the last matched byte) point
  // into text, start == end for an empty match, both null for none.
  void MatchPlain(const char* text, const char*& start, const char*& end) const;
  // As MatchPlain with the anchors: the start of the text is a line head.
  void MatchAnchored(const char* text, const char*& start, const char*& end) const;
  // As MatchAnchored, except that the start of the text is not a line head (the text continues a line).
  void ScanAnchored(const char* text, const char*& start, const char*& end) const;
  // The end of the longest match starting at text in `state`, trying the line-head transition first
  // when the pattern uses one; null for none.
  const char* LongestAtLineHead(const char* text, const TREDFAState* state) const;
  // The end of the longest match starting at text in `state` (null state: none); the line-tail
  // transition is tried only where the walk stops. Null for none.
  const char* LongestFrom(const char* text, const TREDFAState* state) const;
  bool IsLineEnd(uint16_t code) const {
    return (LineSeparator == mcls_CRLF && code == 13) || (LineSeparator == mcls_LF && code == 10);
  }

 protected:
  // One text searched many times (GSub): the walks' budget is for all its searches together, and once
  // it is spent the text is prepared for the linear search once.
  class Text {
   public:
    explicit Text(const char* base) : base_(base) {}
    const char* Base() const { return base_; }

   private:
    friend class TMatchCORE;
    const char* base_;
    bool budgetSet_ = false;
    bool linearOnly_ = false;
    std::size_t budget_ = 0;
    bool tried_[2] = {false, false};  // per kind of walk: without and with the tail test
    TRELinearText* linear_[2] = {nullptr, nullptr};
    TRELinearText storage_[2];
  };
  // The searches above on a suffix `from` of a prepared text.
  void MatchPlain(Text& text, const char* from, const char*& start, const char*& end) const;
  void MatchAnchored(Text& text, const char* from, const char*& start, const char*& end) const;
  void ScanAnchored(Text& text, const char* from, const char*& start, const char*& end) const;


 public:
  // Compiling may free the DFA the linear tables were made for: they are dropped.
  void CompileRegExp(const std::string& text) override;

  // The straightforward search of a text may take kWalkStepsPerByte steps per byte of the text and
  // kWalkStepsFree more before the linear search takes over. Tests set both to 0 (always linear) or
  // the first to the largest size (never).
  static inline std::size_t kWalkStepsPerByte = 2;
  static inline std::size_t kWalkStepsFree = 4096;

 private:
  // The straightforward searches, on the text up to its NUL; each step costs one of `budget`, and
  // when none is left they give up by raising WalkBudgetSpent (caught by the entry points).
  struct WalkBudgetSpent {};
  void walkPlain(const char* text, const char*& start, const char*& end, std::size_t& budget) const;
  void walkAnchored(const char* text, const char*& start, const char*& end, std::size_t& budget) const;
  void walkScan(const char* text, const char*& start, const char*& end, std::size_t& budget) const;
  const char* walkAtLineHead(const char* text, const TREDFAState* state, std::size_t& budget) const;
  const char* walkFrom(const char* text, const TREDFAState* state, std::size_t& budget) const;
  // The budget of text's walks, set at its first search.
  static std::size_t& Budget(Text& text);
  template <class Walk>
  static bool WithinBudget(Text& text, Walk&& walk);

  // The linear searches from character `from` of a prepared text.
  void linearPlain(const TRELinearText& t, std::size_t from, const char*& start, const char*& end) const;
  void linearScan(const TRELinearText& t, std::size_t from, const char*& start, const char*& end) const;
  int64_t linearAtLineHead(const TRELinearText& t, std::size_t k) const;

  // The prepared form of text for walks with or without the tail test, or null when its backward sets
  // would take too much memory.
  const TRELinearText* linearText(Text& text, bool tailTest) const;
  TRELinearTables& linearTables() const;

  mutable std::unique_ptr<TRELinearTables> linearTables_;
};

// The byte length of the character at p: 2 at a lead byte unless the NUL follows it, else 1.
inline int CharLengthAt(const char* p) {
  const auto b = static_cast<unsigned char>(p[0]);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? (p[1] != 0 ? 2 : 1) : 1;
}

}  // namespace kelvane
