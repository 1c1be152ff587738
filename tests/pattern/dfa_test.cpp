// TRE_DFA: the states and transitions the construction makes, the plain literal, and the budget that
// keeps exploding patterns from hanging the program.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pattern/awk_str.h"
#include "pattern/re_chars.h"
#include "pattern/re_dfa.h"
#include "pattern/re_parser.h"
#include "tests/testing/pattern_case_file.h"

namespace kelvane {
namespace {

using testing::cp932Case;

struct Compiled {
  std::unique_ptr<TREParser> parser;
  std::unique_ptr<TRE_NFA> nfa;
  std::unique_ptr<TRE_DFA> dfa;
};

Compiled Compile(std::string_view pattern, uint16_t head = 0xFFFD, uint16_t tail = 0xFFFE) {
  Compiled c;
  c.parser = std::make_unique<TREParser>(pattern);
  c.parser->Parse();
  c.nfa = std::make_unique<TRE_NFA>(*c.parser, head, tail);
  c.nfa->Build();
  c.dfa = std::make_unique<TRE_DFA>(*c.nfa);
  c.dfa->Build();
  return c;
}

TEST(DFA, StatesKnowTheirIndexAndTransitionsAreSortedAndDisjoint) {
  for (const char* utf8 : {"a|ab", "(a|b)*abb", "[a-z]+[^a-m]*[0-9あ-ん]", ".*x.*", "^a|b$|[!-~]^", "[^\\n]*表",
                           "(ア|ｱ|あ)+", "a[^\\x01-\\xffff]"}) {
    const auto c = Compile(cp932Case(utf8));
    ASSERT_EQ(c.dfa->Start, c.dfa->States[0].get()) << utf8;
    for (std::size_t i = 0; i < c.dfa->States.size(); ++i) {
      const TREDFAState& s = *c.dfa->States[i];
      EXPECT_EQ(s.Index, i) << utf8;
      for (std::size_t k = 0; k < s.Trans.size(); ++k) {
        EXPECT_LE(s.Trans[k].LoChar, s.Trans[k].HiChar) << utf8;
        if (k > 0) {
          EXPECT_LT(s.Trans[k - 1].HiChar, s.Trans[k].LoChar) << utf8 << " state " << i;
        }
        EXPECT_EQ(c.dfa->States[s.Trans[k].Target->Index].get(), s.Trans[k].Target);
      }
    }
  }
}

TEST(DFA, WalkOfASmallPattern) {
  // (a|b)*abb: only the states reached by a text ending in abb accept.
  const auto c = Compile("(a|b)*abb");
  const TREDFAState* s = c.dfa->Start;
  for (char ch : std::string("abb")) {
    EXPECT_FALSE(s->IsAccepting());
    s = TRE_DFA::NextState(s, ch);
    ASSERT_NE(s, nullptr);
  }
  EXPECT_TRUE(s->IsAccepting());
  EXPECT_FALSE(TRE_DFA::NextState(s, 'b')->IsAccepting());
  EXPECT_TRUE(TRE_DFA::NextState(TRE_DFA::NextState(TRE_DFA::NextState(s, 'a'), 'b'), 'b')->IsAccepting());
  EXPECT_EQ(TRE_DFA::NextState(s, 'c'), nullptr);
  EXPECT_EQ(TRE_DFA::NextState(nullptr, 'a'), nullptr);
}

TEST(DFA, NextStateAtTheEdgesOfRanges) {
  const auto c = Compile("[b-d]|[x-z]|\\x8140");
  const TREDFAState* start = c.dfa->Start;
  for (uint16_t code : std::initializer_list<uint16_t>{'a', 'e', 'w', '{', 0x813F, 0x8141, 0, 0xFFFF})
    EXPECT_EQ(TRE_DFA::NextState(start, code), nullptr);
  for (uint16_t code : std::initializer_list<uint16_t>{'b', 'c', 'd', 'x', 'z', 0x8140})
    EXPECT_NE(TRE_DFA::NextState(start, code), nullptr) << code;
}

TEST(DFA, PlainLiteral) {
  struct Case {
    const char* pattern;
    bool literal;
    const char* text;
  };
  for (const Case& k : std::initializer_list<Case>{{"abc", true, "abc"},
                                                   {"", true, ""},
                                                   {"あい表", true, "あい表"},
                                                   {"a\\.b", true, "a.b"},
                                                   {"(ab)c", true, "abc"},
                                                   {"a*", false, ""},
                                                   {"[ab]", false, ""},
                                                   {"a|b", false, ""},
                                                   {"ab?", false, ""},
                                                   {"a.", false, ""},
                                                   // Codes a text can never hold are no literal bytes.
                                                   {"a[^\\x01-\\xffff]", false, ""},
                                                   {"a\\0", false, ""},
                                                   {"\\x0141", false, ""},
                                                   {"a\\x82", false, ""},
                                                   {"^abc", false, ""},
                                                   {"abc$", false, ""}}) {
    const auto c = Compile(cp932Case(k.pattern));
    EXPECT_EQ(c.dfa->IsPlainLiteral, k.literal) << k.pattern;
    EXPECT_EQ(c.dfa->PlainLiteral, cp932Case(k.text)) << k.pattern;
  }
  // With LF as the anchor code (the file grep), the anchors are part of the literal.
  const auto head = Compile("^abc", 10, 10);
  EXPECT_TRUE(head.dfa->IsPlainLiteral);
  EXPECT_EQ(head.dfa->PlainLiteral, "\nabc");
  const auto tail = Compile("abc$", 10, 10);
  EXPECT_TRUE(tail.dfa->IsPlainLiteral);
  EXPECT_EQ(tail.dfa->PlainLiteral, "abc\n");
}

TEST(DFA, ExplodingPatternsAreRefusedQuickly) {
  std::string explode = "(a|b)*a";
  for (int i = 0; i < 20; ++i) explode += "(a|b)";
  std::string alternatives;
  for (char c = 'a'; c <= 'p'; ++c)
    for (char d = 'q'; d <= 'z'; ++d)
      alternatives += std::string(alternatives.empty() ? "" : "|") + ".*" + c + ".*" + d;
  for (const std::string& pattern : {explode, alternatives}) {
    try {
      Compile(pattern);
      ADD_FAILURE() << pattern;
    } catch (const ERegExpParser& e) {
      EXPECT_EQ(std::string(e.what()), TooComplexMessage());
      EXPECT_EQ(e.ErrorPos, pattern.size() + 1);
    }
  }
}

TEST(DFA, RealisticPatternsStayWithinTheBudget) {
  std::string explode = "(a|b)*a";
  for (int i = 0; i < 10; ++i) explode += "(a|b)";
  EXPECT_NO_THROW(Compile(explode));  // 2^11 tails of a and b: some two thousand states
  std::string classes;
  for (int i = 0; i < 10; ++i) classes += "[0-9]+[a-z]*[^x-z]?(ab|cd)*";
  EXPECT_NO_THROW(Compile(classes));
  EXPECT_NO_THROW(Compile(std::string(5000, 'x')));
  TAWKStr fuzzy;
  fuzzy.SetUseFuzzyCharDic(true);
  EXPECT_NO_THROW(fuzzy.SetRegExp(cp932Case("データベースサーバーのパフォーマンスチューニング")));
  EXPECT_NO_THROW(fuzzy.SetRegExp(cp932Case("(がぎぐげご|ざじずぜぞ)+.*ヴァイオリン[0-9]+")));
}

}  // namespace
}  // namespace kelvane
