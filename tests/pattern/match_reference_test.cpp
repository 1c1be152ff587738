// The DFA-based Match and GSub against the reference NFA simulation: every small pattern over an
// alphabet with the awkward characters (LF, CR, a half-width kana, あ, and 表 whose trail byte is a
// backslash), and seeded random patterns and texts, under both line separators and both kinds of
// anchor codes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/re_chars.h"
#include "tests/testing/reference_matcher.h"

namespace kelvane {
namespace {

using testing::ReferenceMatcher;

// The anchors on LF, as the file grep compiles them.
class LfAnchoredAWKStr : public TAWKStr {
 public:
  uint16_t GetLineHeadCode() const override { return 10; }
  uint16_t GetLineTailCode() const override { return 10; }
};

const std::string kA = "a", kB = "b", kLF = "\n", kCR = "\r", kKana = "\xB1", kHira = "\x82\xA0", kHyou = "\x95\x5C";

// Texts that put every alphabet character next to every line end and to the start and the end.
std::vector<std::string> FixedTexts() {
  return {"",
          "a",
          "ab" + kCR + kLF + "ba",
          kLF + "a" + kLF,
          kHira + kHyou + kKana + kCR,
          "b" + kCR + "a" + kCR + kLF + kLF,
          kHyou + "a" + kHira + "b" + kHira,
          "aa" + kKana + kLF + kCR + kHyou + kHyou,
          kCR + kCR + kLF + "bab" + kLF + kHira};
}

// Compares one pattern on every text; returns false (after recording the failure) at the first
// difference, so that one broken pattern does not flood the output.
template <class AWK = TAWKStr>
bool SamePattern(const std::string& pattern, const std::vector<std::string>& texts, TMatchCORE_LineSeparator sep,
                 uint16_t head = 0xFFFD, uint16_t tail = 0xFFFE) {
  static AWK awk;
  awk.LineSeparator = sep;
  std::string refError, awkError;
  std::unique_ptr<ReferenceMatcher> ref;
  try {
    ref = std::make_unique<ReferenceMatcher>(pattern, sep, head, tail);
  } catch (const ERegExpParser& e) {
    refError = e.what();
  }
  try {
    awk.SetRegExp(pattern);
  } catch (const ERegExpParser& e) {
    awkError = e.what();
  }
  EXPECT_EQ(refError, awkError) << "pattern " << ::testing::PrintToString(pattern);
  if (!ref || !awkError.empty()) return refError == awkError;
  for (const std::string& text : texts) {
    int pos = -1, len = -1;
    awk.Match(text, pos, len);
    const auto want = ref->Match(text);
    std::string got = text, expected = text;
    const int gotCount = awk.GSub("<&>", got);
    const int wantCount = ref->GSub("<&>", expected);
    if (pos != want.first || len != want.second || got != expected || gotCount != wantCount) {
      ADD_FAILURE() << "pattern " << ::testing::PrintToString(pattern) << " text " << ::testing::PrintToString(text)
                    << " sep " << int(sep) << " head " << head << ": Match " << pos << "," << len << " want "
                    << want.first << "," << want.second << "; GSub " << ::testing::PrintToString(got) << " ("
                    << gotCount << ") want " << ::testing::PrintToString(expected) << " (" << wantCount << ")";
      return false;
    }
  }
  return true;
}

// Every pattern of one to three atoms with at most two operators (a postfix *, + or ?, or a | between
// atoms), plus the same with the first two atoms grouped under a postfix operator.
std::vector<std::string> SmallPatterns(const std::vector<std::string>& atoms) {
  const std::vector<std::string> postfix = {"", "*", "+", "?"};
  std::vector<std::string> out{""};
  const std::size_t n = atoms.size();
  for (std::size_t i = 0; i < n; ++i)
    for (const auto& p : postfix) out.push_back(atoms[i] + p);
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j)
      for (int pi = 0; pi < 4; ++pi)
        for (int pj = 0; pj < 4; ++pj)
          for (int bar = 0; bar < 2; ++bar) {
            if ((pi > 0) + (pj > 0) + bar > 2) continue;
            out.push_back(atoms[i] + postfix[pi] + (bar ? "|" : "") + atoms[j] + postfix[pj]);
            if (bar == 0 && pi == 0 && pj == 0)
              for (int pg = 1; pg < 4; ++pg) out.push_back("(" + atoms[i] + atoms[j] + ")" + postfix[pg]);
            if (bar == 1 && pi == 0 && pj == 0)
              for (int pg = 1; pg < 4; ++pg) out.push_back("(" + atoms[i] + "|" + atoms[j] + ")" + postfix[pg]);
          }
  return out;
}

std::vector<std::string> ThreeAtomPatterns(const std::vector<std::string>& atoms) {
  const std::vector<std::string> ops = {"", "*", "+", "?"};
  std::vector<std::string> out;
  for (const auto& x : atoms)
    for (const auto& y : atoms)
      for (const auto& z : atoms)
        for (int px = 0; px < 4; ++px)
          for (int py = 0; py < 4; ++py)
            for (int pz = 0; pz < 4; ++pz)
              for (int bars = 0; bars < 4; ++bars) {
                const int count = (px > 0) + (py > 0) + (pz > 0) + (bars & 1) + (bars >> 1);
                if (count > 2) continue;
                out.push_back(x + ops[px] + ((bars & 1) ? "|" : "") + y + ops[py] + ((bars & 2) ? "|" : "") + z +
                              ops[pz]);
              }
  return out;
}

const std::vector<std::string> kAlphabetAtoms = {"a",        "b", "\\n",         "\\r",  "\xB1", "\x82\xA0",
                                                 "\x95\x5C", ".", "[a\x82\xA0]", "[^b]", "^",    "$"};

// Searches every text, however short, in linear time while it lives (or, with `linear` false, every
// text the straightforward way).
class LinearFrom {
 public:
  explicit LinearFrom(bool linear) : saved_(TMatchCORE::kLinearFrom) {
    TMatchCORE::kLinearFrom = linear ? 0 : static_cast<std::size_t>(-1);
  }
  ~LinearFrom() { TMatchCORE::kLinearFrom = saved_; }
  LinearFrom(const LinearFrom&) = delete;
  LinearFrom& operator=(const LinearFrom&) = delete;

 private:
  std::size_t saved_;
};

TEST(MatchReference, EveryPatternOfUpToTwoAtomsAgreesUnderBothSeparators) {
  const auto texts = FixedTexts();
  for (const auto& p : SmallPatterns(kAlphabetAtoms))
    for (auto sep : {mcls_CRLF, mcls_LF}) ASSERT_TRUE(SamePattern(p, texts, sep));
  LinearFrom linear(true);
  for (const auto& p : SmallPatterns(kAlphabetAtoms))
    for (auto sep : {mcls_CRLF, mcls_LF}) ASSERT_TRUE(SamePattern(p, texts, sep)) << "linear";
}

TEST(MatchReference, EveryPatternOfThreeAtomsAgrees) {
  LinearFrom linear(true);
  // The seven characters, then the line-sensitive atoms with a few of them.
  const std::vector<std::string> alphabet = {"a", "b", "\\n", "\\r", "\xB1", "\x82\xA0", "\x95\x5C"};
  const std::vector<std::string> texts = {"", "ab" + kCR + kLF + "b" + kKana, kLF + kHyou + "a" + kCR + kHira,
                                          "aa" + kLF + kLF + kKana + kHira + "b", kHira + kHyou + kCR + "ba"};
  for (const auto& p : ThreeAtomPatterns(alphabet)) ASSERT_TRUE(SamePattern(p, texts, mcls_CRLF)) << p;
  const std::vector<std::string> lineAtoms = {"a", "\\n", "\\r", "\x95\x5C", ".", "^", "$"};
  for (const auto& p : ThreeAtomPatterns(lineAtoms)) ASSERT_TRUE(SamePattern(p, texts, mcls_LF)) << p;
}

// A random pattern over the alphabet: atoms, classes, groups, alternatives and postfix operators.
std::string RandomPattern(std::mt19937& rng, int depth = 0) {
  auto pick = [&](int n) { return static_cast<int>(rng() % n); };
  static const std::vector<std::string> chars = {"a", "b", "\\n", "\\r", "\xB1", "\x82\xA0", "\x95\x5C", "\\\\"};
  static const std::vector<std::string> classes = {
      "[ab]", "[^a]", "[a-b\x82\xA0]", "[\\n\\r]", "[^\\n]", "[\xB1-\x95\x5C]", "[^\x82\xA0-\x95\x5C]",
      "[$^]", "[!-~]"};
  std::string out;
  const int items = 1 + pick(4);
  for (int i = 0; i < items; ++i) {
    std::string atom;
    const int kind = pick(10);
    if (kind < 5)
      atom = chars[pick(chars.size())];
    else if (kind < 7)
      atom = classes[pick(classes.size())];
    else if (kind == 7)
      atom = depth < 2 ? "(" + RandomPattern(rng, depth + 1) + ")" : ".";
    else
      atom = pick(2) ? "^" : "$";
    const int op = pick(8);
    if (op == 0) atom += "*";
    if (op == 1) atom += "+";
    if (op == 2) atom += "?";
    if (i > 0 && pick(5) == 0) out += "|";
    out += atom;
  }
  return out;
}

std::string RandomText(std::mt19937& rng) {
  static const std::vector<std::string> chars = {kA, kB, kLF, kCR, kKana, kHira, kHyou, kCR + kLF, "\\", "$", "^"};
  std::string out;
  const int n = static_cast<int>(rng() % 12);
  for (int i = 0; i < n; ++i) out += chars[rng() % chars.size()];
  return out;
}

TEST(MatchReference, SeededRandomPatternsAgree) {
  std::mt19937 rng(20261207);
  std::unique_ptr<LinearFrom> linear;
  for (int i = 0; i < 4500; ++i) {
    if (i == 1500) linear = std::make_unique<LinearFrom>(true);
    const std::string pattern = RandomPattern(rng);
    std::vector<std::string> texts;
    for (int k = 0; k < 5; ++k) texts.push_back(RandomText(rng));
    const auto sep = i % 2 ? mcls_CRLF : mcls_LF;
    ASSERT_TRUE(SamePattern(pattern, texts, sep)) << "case " << i;
    ASSERT_TRUE((SamePattern<LfAnchoredAWKStr>(pattern, texts, sep, 10, 10))) << "case " << i;
  }
}

}  // namespace
}  // namespace kelvane
