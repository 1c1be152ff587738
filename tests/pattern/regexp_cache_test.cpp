// TRegularExpression: the cache of compiled patterns, the failure paths and the dictionary switches;
// TMatchCORE on the empty pattern.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/re_chars.h"
#include "pattern/re_regexp.h"
#include "tests/testing/pattern_case_file.h"

namespace kelvane {
namespace {

using testing::cp932Case;

std::vector<std::string> CacheTexts(const TRegularExpression& re) {
  std::vector<std::string> out;
  for (const auto& item : re.PatternCache()) out.push_back(item.Text);
  return out;
}

TEST(RegExpCache, NewComponentHoldsTheEmptyPattern) {
  TMatchCORE core;
  EXPECT_EQ(core.RegExp(), "");
  EXPECT_EQ(core.CacheIndex(), 0);
  EXPECT_EQ(CacheTexts(core), std::vector<std::string>{""});
  EXPECT_TRUE(core.IsPlainLiteral());
  EXPECT_EQ(core.PlainLiteral(), "");
  const char* start;
  const char* end;
  const char* empty = "";
  core.MatchPlain(empty, start, end);
  EXPECT_EQ(start, empty);
  EXPECT_EQ(end, empty);
  const char* abc = "abc";
  core.MatchPlain(abc, start, end);
  EXPECT_EQ(start, abc);
  EXPECT_EQ(end, abc);
}

TEST(RegExpCache, SameTextCompilesOnceAndAHitDoesNotMove) {
  TMatchCORE core;
  core.SetRegExp("abc");
  const TRE_DFA* first = &core.CurrentDFA();
  core.SetRegExp("xyz");
  core.SetRegExp("abc");
  EXPECT_EQ(&core.CurrentDFA(), first);
  EXPECT_EQ(CacheTexts(core), (std::vector<std::string>{"", "xyz", "abc"}));
  EXPECT_EQ(core.CacheIndex(), 2);
  EXPECT_EQ(core.RegExp(), "abc");
  core.SetRegExp("");
  EXPECT_EQ(core.CacheIndex(), 0);
}

TEST(RegExpCache, ThirtiethNewPatternEvictsTheOldestInsertion) {
  TMatchCORE core;
  for (int i = 1; i <= 29; ++i) core.SetRegExp("p" + std::to_string(i));
  ASSERT_EQ(core.PatternCache().size(), 30u);
  EXPECT_EQ(core.PatternCache()[1].Text, "p29");
  EXPECT_EQ(core.PatternCache()[29].Text, "p1");
  core.SetRegExp("p5");  // a hit: nothing moves
  EXPECT_EQ(core.CacheIndex(), 25);
  core.SetRegExp("p30");
  ASSERT_EQ(core.PatternCache().size(), 30u);
  EXPECT_EQ(core.PatternCache()[0].Text, "");
  EXPECT_EQ(core.PatternCache()[1].Text, "p30");
  EXPECT_EQ(core.PatternCache()[29].Text, "p2");
  EXPECT_EQ(core.CacheIndex(), 1);
  core.SetRegExp("p31");
  EXPECT_EQ(core.PatternCache()[29].Text, "p3");
}

TEST(RegExpCache, FailedCompilationLeavesTheEmptyPatternCurrent) {
  std::string tooComplex = "(a|b)*a";
  for (int i = 0; i < 20; ++i) tooComplex += "(a|b)";
  for (const std::string& bad : {std::string("a)"), std::string("(a"), std::string("a**"), tooComplex}) {
    TAWKStr awk;
    awk.SetRegExp("x");
    awk.SetRegExp("b");
    EXPECT_THROW(awk.SetRegExp(bad), ERegExpParser) << bad;
    EXPECT_EQ(awk.RegExp(), "");
    EXPECT_EQ(awk.CacheIndex(), 0);
    EXPECT_EQ(CacheTexts(awk), (std::vector<std::string>{"", "b", "x"})) << bad;
    int position, length;
    EXPECT_EQ(awk.Match("ab", position, length), 1);  // the empty pattern
    EXPECT_EQ(length, 0);
    awk.SetRegExp("b");  // the cache still works
    EXPECT_EQ(awk.Match("ab", position, length), 2);
  }
}

TEST(RegExpCache, FailureWhenTheCacheIsFullStillEvicts) {
  TMatchCORE core;
  for (int i = 1; i <= 29; ++i) core.SetRegExp("p" + std::to_string(i));
  EXPECT_THROW(core.SetRegExp("(("), ERegExpParser);
  EXPECT_EQ(core.PatternCache().size(), 29u);
  EXPECT_EQ(core.PatternCache()[1].Text, "p29");
  EXPECT_EQ(core.PatternCache().back().Text, "p2");
}

TEST(RegExpCache, PreprocessorErrorKeepsThePreviousPattern) {
  TAWKStr awk;
  awk.SetUseFuzzyCharDic(true);
  awk.SetRegExp("b");
  const int index = awk.CacheIndex();
  EXPECT_THROW(awk.SetRegExp("ab\\"), ERegExpParser);
  EXPECT_EQ(awk.RegExp(), "b");
  EXPECT_EQ(awk.CacheIndex(), index);
}

TEST(RegExpCache, FuzzySwitchProcessesTheCurrentPatternAgain) {
  TAWKStr awk;
  awk.SetRegExp("ab");
  int position, length;
  EXPECT_EQ(awk.Match(cp932Case("ＡＢab"), position, length), 5);
  awk.SetUseFuzzyCharDic(true);
  EXPECT_EQ(awk.RegExp(), "ab");
  EXPECT_EQ(awk.PatternCache()[awk.CacheIndex()].Text, cp932Case("(Ａ|ａ|A|a)(Ｂ|ｂ|B|b)"));
  EXPECT_EQ(CacheTexts(awk), (std::vector<std::string>{"", cp932Case("(Ａ|ａ|A|a)(Ｂ|ｂ|B|b)"), "ab"}));
  EXPECT_EQ(awk.Match(cp932Case("ＡＢab"), position, length), 1);
  EXPECT_EQ(length, 4);
  awk.SetUseFuzzyCharDic(false);
  EXPECT_EQ(awk.PatternCache()[awk.CacheIndex()].Text, "ab");
  // No synonym dictionary is registered: the switch changes nothing.
  awk.SetUseSynonymDic(true);
  EXPECT_EQ(awk.PatternCache()[awk.CacheIndex()].Text, "ab");
}

// The file grep's codes: the anchors become transitions on LF.
class LfAnchored : public TRegularExpression {
 public:
  uint16_t GetLineHeadCode() const override { return 10; }
  uint16_t GetLineTailCode() const override { return 10; }
};

TEST(RegExpCache, DescendantsSupplyTheAnchorCodes) {
  LfAnchored re;
  re.SetRegExp("^ab$");
  EXPECT_TRUE(re.UsesLineHead());
  EXPECT_TRUE(re.UsesLineTail());
  const TREDFAState* s = re.CurrentDFA().Start;
  for (char c : std::string("\nab\n")) s = TRegularExpression::NextState(s, c);
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->IsAccepting());
  EXPECT_EQ(re.PlainLiteral(), "\nab\n");
}

}  // namespace
}  // namespace kelvane
