// The linear search against the straightforward walk it replaces for long texts: the same Match and
// GSub on seeded random patterns and texts (short and long, with runs that make walks go far), under
// both line separators and both kinds of anchor codes; then the long lines that used to freeze, and
// the results that look odd but follow from the rules.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/re_chars.h"

namespace kelvane {
namespace {

// The anchors on LF, as the file grep compiles them: a class holding LF then overlaps the anchor.
class LfAnchoredAWKStr : public TAWKStr {
 public:
  uint16_t GetLineHeadCode() const override { return 10; }
  uint16_t GetLineTailCode() const override { return 10; }
};

// The budget of the straightforward walks while it lives: {0, 0} searches everything linearly,
// {kNever, 0} nothing.
class WalkBudget {
 public:
  WalkBudget(std::size_t perByte, std::size_t free)
      : perByte_(TMatchCORE::kWalkStepsPerByte), free_(TMatchCORE::kWalkStepsFree) {
    TMatchCORE::kWalkStepsPerByte = perByte;
    TMatchCORE::kWalkStepsFree = free;
  }
  ~WalkBudget() {
    TMatchCORE::kWalkStepsPerByte = perByte_;
    TMatchCORE::kWalkStepsFree = free_;
  }
  WalkBudget(const WalkBudget&) = delete;
  WalkBudget& operator=(const WalkBudget&) = delete;

 private:
  std::size_t perByte_, free_;
};
constexpr std::size_t kNever = static_cast<std::size_t>(-1);

struct Outcome {
  int position = 0, length = 0, count = 0;
  std::string replaced;
  bool operator==(const Outcome& o) const {
    return position == o.position && length == o.length && count == o.count && replaced == o.replaced;
  }
};

Outcome Search(const TAWKStr& awk, const std::string& text, std::size_t perByte, std::size_t free = 0) {
  WalkBudget budget(perByte, free);
  Outcome o;
  awk.Match(text, o.position, o.length);
  o.replaced = text;
  o.count = awk.GSub("<&>", o.replaced);
  return o;
}

std::string RandomPattern(std::mt19937& rng, int depth = 0) {
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  static const std::vector<std::string> atoms = {
      "a", "b", "\\n", "\\r", "\xB1", "\x82\xA0", "\x95\x5C", ".", "[ab]", "[^a]", "[\\x01-\\x0b]", "[^\\n]",
      "(aa)", "a*", "^", "$", "\\xfc\\xfd", "[\\x01-\\x7f]"};
  std::string out;
  const std::size_t items = 1 + pick(4);
  for (std::size_t i = 0; i < items; ++i) {
    std::string atom = pick(6) == 0 && depth < 2 ? "(" + RandomPattern(rng, depth + 1) + ")" : atoms[pick(atoms.size())];
    const std::size_t op = pick(7);
    if (op == 0) atom += "*";
    if (op == 1) atom += "+";
    if (op == 2) atom += "?";
    if (i > 0 && pick(4) == 0) out += "|";
    out += atom;
  }
  return out;
}

// Texts built from runs, so that walks go far before they fail or succeed.
std::string RandomText(std::mt19937& rng, std::size_t pieces) {
  static const std::vector<std::string> chars = {"a", "b", "\n", "\r", "\r\n", "\xB1", "\x82\xA0", "\x95\x5C",
                                                 "\xFC\xFD", "\x81\x7F", "$", "^", "\x82"};
  std::string out;
  for (std::size_t i = 0; i < pieces; ++i) {
    const std::string& c = chars[rng() % chars.size()];
    const std::size_t run = rng() % 4 == 0 ? 1 + rng() % 40 : 1;
    for (std::size_t k = 0; k < run; ++k) out += c;
  }
  return out;
}

template <class AWK>
void CompareOnRandomCases(unsigned seed, int rounds, std::size_t maxPieces) {
  std::mt19937 rng(seed);
  AWK awk;
  int compared = 0, matched = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::string pattern = RandomPattern(rng);
    try {
      awk.SetRegExp(pattern);
    } catch (const ERegExpParser&) {
      continue;
    }
    awk.LineSeparator = round % 2 ? mcls_LF : mcls_CRLF;
    for (int k = 0; k < 4; ++k) {
      const std::string text = RandomText(rng, rng() % maxPieces);
      const Outcome walk = Search(awk, text, kNever), linear = Search(awk, text, 0);
      ASSERT_TRUE(walk == linear) << "pattern " << ::testing::PrintToString(pattern) << " text "
                                  << ::testing::PrintToString(text) << " sep " << round % 2 << ": Match "
                                  << linear.position << "," << linear.length << " want " << walk.position << ","
                                  << walk.length << "; GSub " << ::testing::PrintToString(linear.replaced) << " want "
                                  << ::testing::PrintToString(walk.replaced);
      ++compared;
      matched += walk.position > 0;
    }
  }
  EXPECT_GT(compared, rounds * 3);
  EXPECT_GT(matched, compared / 4);
}

TEST(LinearMatch, AgreesWithTheStraightforwardWalkOnRandomCases) {
  CompareOnRandomCases<TAWKStr>(20261208, 1500, 30);
  CompareOnRandomCases<LfAnchoredAWKStr>(8, 1500, 30);
}

TEST(LinearMatch, AgreesOnLongTexts) {
  CompareOnRandomCases<TAWKStr>(77, 60, 400);
  CompareOnRandomCases<LfAnchoredAWKStr>(78, 60, 400);
}

// When the budget runs out in the middle of a GSub, the searches after it are linear; wherever that
// happens, the result is the same.
TEST(LinearMatch, ABudgetSpentMidwayChangesNoResult) {
  TAWKStr awk;
  for (const char* pattern : {"a(aa)*$|b", "a|a.*b", "^a|b$|x*"}) {
    awk.SetRegExp(pattern);
    std::string text;
    for (int i = 0; i < 30; ++i) text += std::string(static_cast<std::size_t>(i % 7), 'a') + (i % 3 ? "b\r\n" : "\n");
    const Outcome walked = Search(awk, text, kNever);
    for (std::size_t free = 0; free < 600; free += 7) {
      EXPECT_TRUE(walked == Search(awk, text, 0, free)) << pattern << " after " << free << " steps";
    }
  }
}

// These lines took seconds to minutes (or never ended) when every start was walked to the line end.
TEST(LinearMatch, LongLinesThatUsedToFreeze) {
  TAWKStr awk;
  int position = -1, length = -1;
  const std::string line(300000, 'a');
  awk.SetRegExp("(aa)*b");
  EXPECT_EQ(awk.Match(line, position, length), 0);
  // More than 64 DFA states.
  awk.SetRegExp("(aa)*b|cdefghijklmnopqrstuvwxyzcdefghijklmnopqrstuvwxyzcdefghijklmnopqrstuvwxyz");
  EXPECT_GT(awk.CurrentDFA().States.size(), 64u);
  EXPECT_EQ(awk.Match(line.substr(0, 100000), position, length), 0);
  awk.SetRegExp("a.*b");
  EXPECT_EQ(awk.Match(std::string(1 << 20, 'a'), position, length), 0);
  EXPECT_EQ(awk.Match(std::string(1 << 20, 'a') + "b", position, length), 1);
  EXPECT_EQ(length, (1 << 20) + 1);
  // Every "a" is a match, and every walk would go on to the end looking for the b.
  awk.SetRegExp("a|a.*b");
  std::string text = line;
  EXPECT_EQ(awk.GSub("x", text), 300000);
  EXPECT_EQ(text, std::string(300000, 'x'));
  // The odd "a" at the end makes (aa)*a$ match from the first character.
  awk.SetRegExp("(aa)*a$");
  text = line + "a";
  EXPECT_EQ(awk.Match(text, position, length), 1);
  EXPECT_EQ(length, 300001);
}

// Results that look odd, each what the rules of the search give; they are kept.
TEST(LinearMatch, ResultsThatFollowFromTheRules) {
  for (std::size_t perByte : {kNever, std::size_t{0}}) {
    WalkBudget budget(perByte, 0);
    TAWKStr awk;
    int position = -1, length = -1;
    // "$" is tested only where a walk stops; here the walk goes on over the CR LF and stops at the y.
    awk.SetRegExp("a$|a\\r\\nx");
    EXPECT_EQ(awk.Match("a\r\ny", position, length), 0);
    EXPECT_EQ(awk.Match("a\r\nb", position, length), 0);
    EXPECT_EQ(awk.Match("a\r", position, length), 0);  // stopped at the end, but after the CR
    EXPECT_EQ(awk.Match("ba", position, length), 2);   // stopped at the end, right after the a
    awk.SetRegExp("a$");
    EXPECT_EQ(awk.Match("a\r\ny", position, length), 1);
    // At a line head the walk with the line-head transition is tried first; when it finds nothing,
    // nothing is found there, and an empty text has no other place.
    awk.SetRegExp("x*|^y");
    EXPECT_EQ(awk.Match("", position, length), 0);
    EXPECT_EQ(awk.Match("b", position, length), 1);
    EXPECT_EQ(length, 0);
    awk.SetRegExp("x*");
    EXPECT_EQ(awk.Match("", position, length), 1);
    // "." and a negated class hold the codes 14-0xFCFC: the broken units FC FD-FC FF lie above, the
    // broken unit 81 7F inside.
    for (const char* pattern : {".", "[^a]"}) {
      awk.SetRegExp(pattern);
      EXPECT_EQ(awk.Match("\xFC\xFD", position, length), 0) << pattern;
      EXPECT_EQ(awk.Match("\xFC\xFF", position, length), 0) << pattern;
      EXPECT_EQ(awk.Match("\xFC\xFC", position, length), 1) << pattern;
      EXPECT_EQ(awk.Match("\x81\x7F", position, length), 1) << pattern;
      EXPECT_EQ(length, 2);
    }
  }
}

}  // namespace
}  // namespace kelvane
