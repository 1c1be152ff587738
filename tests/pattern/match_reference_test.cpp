// The DFA-based Match and GSub against the reference, which reads patterns on its own and simulates
// their automata a set of states at a time: every small pattern over an alphabet with the awkward
// characters (LF, CR, a half-width kana, あ, and 表 whose trail byte is a backslash), and seeded random
// patterns, texts and templates, under both line separators and both kinds of anchor codes. Syntax
// errors must agree in message and position.
//
// Expected to differ: where the reference names a known disputed case (ReferenceMatcher::Dispute:
// "line end passed", "line head hides a match", "anchor code in a class", "broken unit", "template
// code no character"), the engine may answer otherwise, in that call only; every other difference fails.
#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/re_chars.h"
#include "tests/testing/pattern_case_file.h"
#include "tests/testing/reference_matcher.h"

namespace kelvane {
namespace {

using testing::cp932Case;
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

std::string Show(const std::string& bytes) { return ::testing::PrintToString(bytes); }

// "message@position", or "ok".
template <class F>
std::string Outcome(F&& f) {
  try {
    f();
  } catch (const ERegExpParser& e) {
    return std::string(e.what()) + "@" + std::to_string(e.ErrorPos);
  }
  return "ok";
}

// A difference the reference explains by a known disputed case; reported once per case.
void NoteExpectedDifference(const std::string& dispute, const std::string& what) {
  static std::set<std::string> shown;
  if (shown.insert(dispute).second) std::cout << "expected to differ (" << dispute << "): " << what << "\n";
}

// Compares one pattern on every text and template; returns false (after recording the failure) at the
// first difference, so that one broken pattern does not flood the output.
template <class AWK = TAWKStr>
bool SamePattern(const std::string& pattern, const std::vector<std::string>& texts, TMatchCORE_LineSeparator sep,
                 uint16_t head = 0xFFFD, uint16_t tail = 0xFFFE, const std::vector<std::string>& templates = {"<&>"}) {
  static AWK awk;
  awk.LineSeparator = sep;
  std::unique_ptr<ReferenceMatcher> ref;
  const std::string refOutcome = Outcome([&] { ref = std::make_unique<ReferenceMatcher>(pattern, sep, head, tail); });
  const std::string awkOutcome = Outcome([&] { awk.SetRegExp(pattern); });
  EXPECT_EQ(refOutcome, awkOutcome) << "pattern " << Show(pattern);
  if (!ref || awkOutcome != "ok") return refOutcome == awkOutcome;
  for (const std::string& text : texts) {
    int pos = -1, len = -1;
    awk.Match(text, pos, len);
    const auto want = ref->Match(text);
    std::string dispute = ref->Dispute();
    std::string what = "pattern " + Show(pattern) + " text " + Show(text) + " sep " + std::to_string(int(sep)) +
                       " head " + std::to_string(head) + ": Match " + std::to_string(pos) + "," + std::to_string(len) +
                       " want " + std::to_string(want.first) + "," + std::to_string(want.second);
    bool same = pos == want.first && len == want.second;
    for (const std::string& replacement : templates) {
      if (!same) break;
      std::string got = text, expected = text;
      int gotCount = -1, wantCount = -1;
      const std::string gotOutcome = Outcome([&] { gotCount = awk.GSub(replacement, got); });
      const std::string wantOutcome = Outcome([&] { wantCount = ref->GSub(replacement, expected); });
      if (dispute.empty()) dispute = ref->Dispute();
      what += "; GSub " + Show(replacement) + " " + Show(got) + " (" + std::to_string(gotCount) + ", " + gotOutcome +
              ") want " + Show(expected) + " (" + std::to_string(wantCount) + ", " + wantOutcome + ")";
      same = got == expected && gotCount == wantCount && gotOutcome == wantOutcome;
    }
    if (same) continue;
    if (!dispute.empty()) {
      NoteExpectedDifference(dispute, what);
      continue;
    }
    ADD_FAILURE() << what;
    return false;
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
  explicit LinearFrom(bool linear) : perByte_(TMatchCORE::kWalkStepsPerByte), free_(TMatchCORE::kWalkStepsFree) {
    TMatchCORE::kWalkStepsPerByte = linear ? 0 : static_cast<std::size_t>(-1);
    TMatchCORE::kWalkStepsFree = 0;
  }
  ~LinearFrom() {
    TMatchCORE::kWalkStepsPerByte = perByte_;
    TMatchCORE::kWalkStepsFree = free_;
  }
  LinearFrom(const LinearFrom&) = delete;
  LinearFrom& operator=(const LinearFrom&) = delete;

 private:
  std::size_t perByte_, free_;
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

const std::vector<std::string> kRandomChars = {"a", "b", "\\n", "\\r", "\xB1", "\x82\xA0", "\x95\x5C", "\\\\"};
const std::vector<std::string> kRandomClasses = {
    "[ab]", "[^a]", "[a-b\x82\xA0]", "[\\n\\r]", "[^\\n]", "[\xB1-\x95\x5C]", "[^\x82\xA0-\x95\x5C]", "[$^]", "[!-~]"};

// A random pattern over the alphabet: atoms, classes, groups, alternatives and postfix operators.
std::string RandomPattern(std::mt19937& rng, int depth = 0, const std::vector<std::string>& chars = kRandomChars,
                          const std::vector<std::string>& classes = kRandomClasses) {
  auto pick = [&](int n) { return static_cast<int>(rng() % n); };
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
      atom = depth < 2 ? "(" + RandomPattern(rng, depth + 1, chars, classes) + ")" : ".";
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

// Characters and classes at the edges of what a code can be: NUL, the codes above 0xFCFC that no text
// yields or that stand for the anchors, classes that hold LF, "^" or "$", a negated class that leaves
// nothing; texts with a lone lead byte at the end and a NUL inside; templates with escapes.
TEST(MatchReference, EdgeCodesAndTemplatesAgree) {
  const std::vector<std::string> chars = {"a",       "\\n", "\\r", "\\0",      "\\xfcfc",    "\\xfffd",
                                          "\\xffff", "\\^", "\\$", "\x82\xA0", "\\x82\\xa0", "\xFC\xFC"};
  const std::vector<std::string> classes = {"[\\x01-\\x0b]", "[\\x01-\\xffff]", "[^\\x01-\\xfcfc]",  "[!-~]",
                                            "[^^$]",         "[\\0-a]",         "[\\xfcfc-\\xffff]", "[a-]",
                                            "[\\]\\-\\\\]",  "[^\\x80-\\xfcfc]"};
  const std::vector<std::string> texts = {"",
                                          "a^$" + kCR + kLF,
                                          kLF + "a" + kLF + "a",
                                          "\xFC\xFC" + kHira + "a",
                                          "a\x82",
                                          kCR + kHira + kCR + kLF + "x",
                                          std::string("a\0a", 3) + kLF,
                                          "\xFC\xFD\x81\x7F" + kLF + "\x82" + kLF + "a"};
  const std::vector<std::string> templates = {"<&>", "[\\&]", "\\\\&\\t", "&\\x41\\101&", "\\n&&", "\\x8140&", "a\\"};
  std::mt19937 rng(20261208);
  for (int i = 0; i < 1500; ++i) {
    const std::string pattern = RandomPattern(rng, 0, chars, classes);
    const auto sep = i % 2 ? mcls_CRLF : mcls_LF;
    ASSERT_TRUE(SamePattern(pattern, texts, sep, 0xFFFD, 0xFFFE, templates)) << "case " << i;
    ASSERT_TRUE((SamePattern<LfAnchoredAWKStr>(pattern, texts, sep, 10, 10, {"<&>"}))) << "case " << i;
  }
}

// Broken patterns: the first error must be the same, at the same position.
TEST(MatchReference, SyntaxErrorsAgreeInMessageAndPosition) {
  for (const char* file : {"/pattern/front_parser.txt", "/pattern/front_scanner.txt"})
    for (const auto& c : testing::readCaseFile(std::string(KELVANE_TEST_DATA) + file))
      EXPECT_TRUE(SamePattern(c.fields[0], {"a"}, mcls_CRLF)) << file << " line " << c.lineNo;
  // Random strings of the characters that open, close, escape and repeat.
  const std::vector<std::string> pieces = {"(", ")", "[", "]", "[^",  "\\", "-", "*",   "+",    "?",        "|",  "^",
                                           "$", ".", "a", "z", "\\x", "4",  "8", "\\7", "\x82", "\x82\xA0", "\\]"};
  std::mt19937 rng(20261209);
  for (int i = 0; i < 20000; ++i) {
    std::string pattern;
    for (int n = static_cast<int>(rng() % 7); n > 0; --n) pattern += pieces[rng() % pieces.size()];
    ASSERT_TRUE(SamePattern(pattern, {"a^z" + kLF}, mcls_CRLF)) << "case " << i;
  }
}

// The reference keeps the rules as written on the cases whose answers are disputed, and names them.
TEST(MatchReference, DisputedCasesKeepTheWrittenRules) {
  struct Case {
    const char* pattern;
    std::string text;
    uint16_t anchorCode;
    std::pair<int, int> match;
    const char* dispute;
  };
  const std::vector<Case> cases = {
      // "$" is tested only where the walk stops: after a CR LF the walk goes on to x and fails at y.
      {"a$|a\\r\\nx", "a\r\ny", 0, {0, 0}, "line end passed"},
      {"a$|a\\r\\nx", "a\r\nx", 0, {1, 4}, "line end passed"},
      // At a line head the anchored walk decides alone when it finds nothing.
      {"x*|^y", "", 0, {0, 0}, "line head hides a match"},
      {"x*|^y", "b", 0, {1, 0}, ""},
      // Under LF codes the anchor's LF also lies in the class: both moves are taken.
      {"^a|[\\x01-\\x0b]q", "abc\n", 10, {1, 1}, "anchor code in a class"},
      // A lead byte with a byte that is no trail byte is one code all the same.
      {".", "\xFC\xFD", 0, {0, 0}, "broken unit"},
      {"[^a]", "\xFC\xFF", 0, {0, 0}, "broken unit"},
      {".", "\x81\x7F", 0, {1, 2}, "broken unit"},
  };
  for (const Case& c : cases) {
    const uint16_t head = c.anchorCode ? c.anchorCode : 0xFFFD, tail = c.anchorCode ? c.anchorCode : 0xFFFE;
    ReferenceMatcher ref(c.pattern, mcls_CRLF, head, tail);
    EXPECT_EQ(ref.Match(c.text), c.match) << c.pattern << " on " << Show(c.text);
    EXPECT_EQ(ref.Dispute(), c.dispute) << c.pattern << " on " << Show(c.text);
  }
  // A template code that is no character is written as its low byte.
  ReferenceMatcher ref("b", mcls_CRLF);
  std::string text = "abc";
  EXPECT_EQ(ref.GSub("\\x4142", text), 1);
  EXPECT_EQ(text, "aBc");
  EXPECT_EQ(ref.Dispute(), "template code no character");
}

// The reference against the hand-written cases of the AWK-style component.
TEST(MatchReference, ReferenceGivesTheHandWrittenResults) {
  int seen = 0;
  for (const auto& c : testing::readCaseFile(KELVANE_TEST_DATA "/pattern/back_match.txt")) {
    const auto& f = c.fields;
    const std::string where = "line " + std::to_string(c.lineNo);
    const auto sep = f[1] == "lf" ? mcls_LF : mcls_CRLF;
    if (f[0] == "match") {
      const auto [position, length] = ReferenceMatcher(f[2], sep).Match(f[3]);
      EXPECT_EQ(std::to_string(position) + " " + std::to_string(length), f[4]) << where;
    } else if (f[0] == "gsub") {
      std::string text = f[4];
      const int count = ReferenceMatcher(f[2], sep).GSub(f[3], text);
      EXPECT_EQ(Show(text), Show(f[5])) << where;
      EXPECT_EQ(std::to_string(count), f[6]) << where;
    } else if (f[0] == "expand") {
      EXPECT_EQ(Show(ReferenceMatcher::ExpandReplacement(f[1], f[2])), Show(f[3])) << where;
    } else if (f[0] == "badtemplate") {
      if (ReferenceMatcher::TemplateCodeIsNoCharacter(f[1])) continue;  // "template code no character"
      EXPECT_EQ(Outcome([&] { ReferenceMatcher::ExpandReplacement(f[1], "o"); }).substr(0, f[2].size()), f[2]) << where;
    } else {
      continue;
    }
    ++seen;
  }
  EXPECT_GT(seen, 100);
}

}  // namespace
}  // namespace kelvane
