// TAWKStr: Match, GSub and template expansion, driven by tests/data/pattern/back_match.txt, and the
// binding of the match procedure.
#include "pattern/awk_str.h"

#include <gtest/gtest.h>

#include <string>

#include "pattern/re_chars.h"
#include "tests/testing/pattern_case_file.h"

namespace kelvane {
namespace {

using testing::cp932Case;

const std::vector<testing::CaseLine>& Cases() {
  static const auto cases = testing::readCaseFile(KELVANE_TEST_DATA "/pattern/back_match.txt");
  return cases;
}

TMatchCORE_LineSeparator Separator(const std::string& name) { return name == "lf" ? mcls_LF : mcls_CRLF; }

std::string Show(const std::string& bytes) { return ::testing::PrintToString(bytes); }

TEST(AWKStrTable, MatchCases) {
  int seen = 0;
  for (const auto& c : Cases()) {
    const auto& f = c.fields;
    if (f[0] != "match" && f[0] != "fuzzy") continue;
    ASSERT_EQ(f.size(), 5u) << "line " << c.lineNo;
    ++seen;
    TAWKStr awk;
    awk.LineSeparator = Separator(f[1]);
    awk.SetUseFuzzyCharDic(f[0] == "fuzzy");
    ASSERT_NO_THROW(awk.SetRegExp(f[2])) << "line " << c.lineNo;
    int position = -1, length = -1;
    const int result = awk.Match(f[3], position, length);
    EXPECT_EQ(std::to_string(position) + " " + std::to_string(length), f[4])
        << "line " << c.lineNo << ": pattern " << Show(f[2]) << " text " << Show(f[3]);
    EXPECT_EQ(result, position) << "line " << c.lineNo;
  }
  EXPECT_GT(seen, 50);
}

TEST(AWKStrTable, GSubCases) {
  int seen = 0;
  for (const auto& c : Cases()) {
    const auto& f = c.fields;
    if (f[0] != "gsub") continue;
    ASSERT_EQ(f.size(), 7u) << "line " << c.lineNo;
    ++seen;
    TAWKStr awk;
    awk.LineSeparator = Separator(f[1]);
    ASSERT_NO_THROW(awk.SetRegExp(f[2])) << "line " << c.lineNo;
    std::string text = f[4];
    const int count = awk.GSub(f[3], text);
    EXPECT_EQ(Show(text), Show(f[5])) << "line " << c.lineNo << ": pattern " << Show(f[2]);
    EXPECT_EQ(std::to_string(count), f[6]) << "line " << c.lineNo;
  }
  EXPECT_GT(seen, 20);
}

TEST(AWKStrTable, TemplateCases) {
  TAWKStr awk;
  int seen = 0;
  for (const auto& c : Cases()) {
    const auto& f = c.fields;
    if (f[0] == "expand") {
      ASSERT_EQ(f.size(), 5u) << "line " << c.lineNo;
      EXPECT_EQ(Show(awk.ExpandReplacement(f[1], f[2])), Show(f[3])) << "line " << c.lineNo;
      ++seen;
    } else if (f[0] == "badtemplate") {
      ASSERT_EQ(f.size(), 3u) << "line " << c.lineNo;
      try {
        awk.ExpandReplacement(f[1], "x");
        ADD_FAILURE() << "line " << c.lineNo << ": no error";
      } catch (const ERegExpParser& e) {
        EXPECT_EQ(Show(e.what()), Show(f[2])) << "line " << c.lineNo;
      }
      ++seen;
    }
  }
  EXPECT_GT(seen, 10);
}

TEST(AWKStr, BrokenTemplateRaisesOnlyWhenSomethingMatchesAndLeavesTheTextAlone) {
  TAWKStr awk;
  awk.SetRegExp("b");
  std::string text = "abc";
  EXPECT_THROW(awk.GSub("x\\", text), ERegExpParser);
  EXPECT_EQ(text, "abc");
  std::string other = "xyz";
  EXPECT_EQ(awk.GSub("x\\", other), 0);
  EXPECT_EQ(other, "xyz");
}

// The command line checks a template before it reads any input; the position is in the template as
// written, after the escape that failed (the protection of \& inserts no byte the user can see).
TEST(AWKStr, TemplateIsCheckedWithoutAText) {
  EXPECT_NO_THROW(TAWKStr::CheckTemplate(R"([&] \\& \x8140 \377)"));
  auto positionOf = [](const std::string& replacement) -> std::string {
    try {
      TAWKStr::CheckTemplate(replacement);
    } catch (const ERegExpParser& e) {
      return std::string(e.what()) + "@" + std::to_string(e.ErrorPos);
    }
    return "ok";
  };
  const std::string code = MessageText(RegExpMessage::TemplateCode);
  EXPECT_EQ(positionOf(R"(\x4142)"), code + "@7");
  EXPECT_EQ(positionOf(R"(\&\&\400)"), code + "@9");
  EXPECT_EQ(positionOf(R"(ab\)"), MessageText(RegExpMessage::CharAfterBackslash) + "@4");
  EXPECT_EQ(positionOf(R"(\&\xg)"), MessageText(RegExpMessage::InvalidHex) + "@6");
  // The text is left alone when the template is refused at the first match.
  TAWKStr awk;
  awk.SetRegExp("b");
  std::string text = "ab";
  EXPECT_THROW(awk.GSub(R"(\x41424344)", text), ERegExpParser);
  EXPECT_EQ(text, "ab");
}

TEST(AWKStr, MatchProcedureIsChosenAgainAtEveryAssignment) {
  TAWKStr awk;
  int position, length;
  awk.SetRegExp("^a");
  EXPECT_EQ(awk.Match("ba", position, length), 0);
  awk.SetRegExp("a");
  EXPECT_EQ(awk.Match("ba", position, length), 2);
  awk.SetRegExp("a$");
  EXPECT_EQ(awk.Match("ab", position, length), 0);
  // A pattern that fails leaves the empty pattern current: an empty match at the start.
  EXPECT_THROW(awk.SetRegExp("a)"), ERegExpParser);
  EXPECT_EQ(awk.Match("ba", position, length), 1);
  EXPECT_EQ(length, 0);
  // Switching the dictionary assigns the pattern again, with its binding.
  awk.SetRegExp("^a");
  awk.SetUseFuzzyCharDic(true);
  EXPECT_EQ(awk.Match(cp932Case("xＡ\nａ"), position, length), 5);
  EXPECT_EQ(length, 2);
  EXPECT_EQ(awk.RegExp(), "^a");
}

TEST(AWKStr, EmptyMatchesNeverSplitACharacterOrLoopOnLongText) {
  TAWKStr awk;
  awk.SetRegExp("x*");
  std::string text;
  for (int i = 0; i < 20000; ++i) text += cp932Case("表\r\n");
  std::string replaced = text;
  EXPECT_EQ(awk.GSub("|", replaced), 40000);
  // Every inserted bar stands before a whole character or before a CR LF pair.
  std::string expected;
  for (int i = 0; i < 20000; ++i) expected += cp932Case("|表|\r\n");
  EXPECT_EQ(replaced, expected);
}

TEST(AWKStr, LongLineWithoutAMatchIsSearchedInLinearTime) {
  // Trying every start used to walk to the end of the line from each of them: a.*b over a long line of
  // "a" took the square of its length in steps. Each case here runs in milliseconds now.
  const std::string line(1 << 18, 'a');
  TAWKStr awk;
  int position, length;
  for (const char* pattern : {"a.*b", "a.*b$", "^a.*b|x", "(a|aa)*c", "(aa)*b", "(aaa)*$b", "a(aaa)*b|x$"}) {
    awk.SetRegExp(pattern);
    EXPECT_EQ(awk.Match(line, position, length), 0) << pattern;
  }
  awk.SetRegExp("a.*c|b");
  std::string text = line + "b";
  EXPECT_EQ(awk.GSub("<&>", text), 1);
  EXPECT_EQ(text, line + "<b>");
  // Each match is one "a", but its walk goes on to the end of the line looking for the b.
  awk.SetRegExp("a|a.*b");
  std::string many = line;
  EXPECT_EQ(awk.GSub("", many), 1 << 18);
  EXPECT_EQ(many, "");
  awk.SetRegExp("a*$");
  std::string lines = line + "\r\n" + line;
  // The second "-" is the empty match before the CR that follows the first match.
  EXPECT_EQ(awk.GSub("-", lines), 3);
  EXPECT_EQ(lines, "--\r\n-");
}

}  // namespace
}  // namespace kelvane
