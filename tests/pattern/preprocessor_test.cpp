// Fuzzy-character and synonym preprocessing: table cases from tests/data/pattern/front_fuzzy.txt, the
// built-in table's shape and codes, and how the passes are switched and chained.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/re_parser.h"
#include "pattern/re_preprocessor.h"
#include "tests/testing/pattern_case_file.h"

namespace kelvane {
namespace {

using testing::cp932Case;

std::string fuzzy(const std::string& pattern) {
  TREPreProcessor pre;
  pre.FuzzyDics.push_back(&FuzzyCharDic());
  pre.UseFuzzy = true;
  pre.SetSource(pattern);
  pre.Run();
  return pre.Processed();
}

TEST(FuzzyTable, EveryCaseOfTheDataFileRewritesAndStillParses) {
  const auto cases = testing::readCaseFile(KELVANE_TEST_DATA "/pattern/front_fuzzy.txt");
  ASSERT_GT(cases.size(), 50u);
  for (const auto& c : cases) {
    ASSERT_EQ(c.fields.size(), 2u) << "line " << c.lineNo;
    std::string got;
    try {
      got = fuzzy(c.fields[0]);
    } catch (const ERegExpParser& e) {
      got = "!" + std::string(e.what()) + "@" + std::to_string(e.ErrorPos);
    }
    EXPECT_EQ(got, c.fields[1]) << "line " << c.lineNo;
    // What the rewrite produces from a pattern the parser accepts must be accepted too.
    TREParser source(c.fields[0]);
    bool sourceParses = true;
    try {
      source.Parse();
    } catch (const ERegExpParser&) {
      sourceParses = false;
    }
    if (sourceParses) {
      TREParser rewritten(got);
      EXPECT_NO_THROW(rewritten.Parse()) << "line " << c.lineNo;
    }
  }
}

TEST(FuzzyCharDic, HasEveryRowInOrderWithTheCodesTheRewriteNeeds) {
  const TREDictionary& dic = FuzzyCharDic();
  EXPECT_EQ(&dic, &FuzzyCharDic());  // built once, shared
  ASSERT_EQ(dic.size(), 145u);
  for (const TREWordGroup& group : dic) EXPECT_GE(group.size(), 2u);
  EXPECT_EQ(dic[0], (TREWordGroup{"\x82\x60", "\x82\x81", "A", "a"}));
  EXPECT_EQ(dic[25], (TREWordGroup{"\x82\x79", "\x82\x9A", "Z", "z"}));
  EXPECT_EQ(dic[36], (TREWordGroup{"\x81\x40", " "}));
  EXPECT_EQ(dic[38], (TREWordGroup{"\"", "\x81\x68"}));
  EXPECT_EQ(dic[48], (TREWordGroup{"\x81\x5B", "\x81\x60", "\xB0", ""}));
  EXPECT_EQ(dic[68], (TREWordGroup{",", "\xA4", "\x81\x41", "\x81\x43"}));
  EXPECT_EQ(dic[27][3], "\x87\x40");  // ①
  EXPECT_EQ(dic[27][4], "\x87\x54");  // Ⅰ
  EXPECT_EQ(dic[72], (TREWordGroup{cp932Case("ん"), cp932Case("ン"), "\xDD"}));
  EXPECT_EQ(dic[73][2], "\xB6\xDE");  // ｶﾞ
  EXPECT_EQ(dic[79].size(), 10u);
  EXPECT_EQ(dic[80].size(), 10u);
  EXPECT_EQ(dic[101], (TREWordGroup{cp932Case("か"), cp932Case("カ"), "\xB6"}));
  EXPECT_EQ(dic[138], (TREWordGroup{cp932Case("ろ"), cp932Case("ロ"), "\xDB"}));
  EXPECT_EQ(dic[144], (TREWordGroup{"\xDF", "\x81\x4B"}));
}

TEST(PreProcessor, WithBothPassesOffTheSourcePassesUnscanned) {
  TREPreProcessor pre;
  pre.FuzzyDics.push_back(&FuzzyCharDic());
  pre.SetSource("ab\\");
  EXPECT_NO_THROW(pre.Run());
  EXPECT_EQ(pre.Processed(), "ab\\");
}

// Without a dictionary the synonym pass copies the pattern, but it scans it like any pass: a broken
// pattern is refused by the preprocessor, so the compiler keeps its previous pattern.
TEST(PreProcessor, SynonymPassWithoutDictionaryCopiesButStillScans) {
  TREPreProcessor pre;
  pre.UseSynonym = true;
  for (const std::string& source : std::vector<std::string>{"a(b|c)*[x-z]\\.", "", cp932Case("表\\x41(")}) {
    pre.SetSource(source);
    EXPECT_NO_THROW(pre.Run());
    EXPECT_EQ(pre.Processed(), source);
  }
  pre.SetSource("ab\\");
  try {
    pre.Run();
    FAIL() << "no error";
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.what(), MessageText(RegExpMessage::CharAfterBackslash));
    EXPECT_EQ(e.ErrorPos, 4u);
  }
}

TEST(PreProcessor, SynonymResultIsWhatTheFuzzyPassReads) {
  const TREDictionary synonyms = {{"xy", "b"}};
  TREPreProcessor pre;
  pre.SynonymDics.push_back(&synonyms);
  pre.FuzzyDics.push_back(&FuzzyCharDic());
  pre.UseSynonym = true;
  pre.SetSource("xy");
  pre.Run();
  EXPECT_EQ(pre.Processed(), "(xy|b)");
  pre.UseFuzzy = true;
  pre.SetSource("xy");
  pre.Run();
  EXPECT_EQ(pre.Processed(), cp932Case("((Ｘ|ｘ|X|x)(Ｙ|ｙ|Y|y)|(Ｂ|ｂ|B|b))"));
}

TEST(PreProcessor, DictionariesAreTriedInOrderAndRunRepeats) {
  const TREDictionary first = {{"ab", "q"}};
  TREPreProcessor pre;
  pre.FuzzyDics.push_back(&first);
  pre.FuzzyDics.push_back(&FuzzyCharDic());
  pre.UseFuzzy = true;
  pre.SetSource("abc");
  pre.Run();
  const std::string once = pre.Processed();
  EXPECT_EQ(once, cp932Case("(ab|q)(Ｃ|ｃ|C|c)"));
  pre.Run();  // the same source again, not the end the first pass left the scanner at
  EXPECT_EQ(pre.Processed(), once);
}

TEST(PreProcessor, ErrorsKeepTheScannerPosition) {
  TREPreProcessor pre;
  pre.FuzzyDics.push_back(&FuzzyCharDic());
  pre.UseFuzzy = true;
  pre.SetSource(cp932Case("あい[x"));
  try {
    pre.Run();
    FAIL() << "no error";
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.what(), MessageText(RegExpMessage::RightBracket));
    EXPECT_EQ(e.ErrorPos, 7u);
  }
  pre.SetSource("x");  // a failed pattern leaves nothing behind for the next one
  EXPECT_NO_THROW(pre.Run());
  EXPECT_EQ(pre.Processed(), cp932Case("(Ｘ|ｘ|X|x)"));
}

}  // namespace
}  // namespace kelvane
