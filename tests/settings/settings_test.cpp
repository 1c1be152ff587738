#include "settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/comma_text.h"
#include "platform/cp932.h"
#include "settings/keys.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

using testing::TempDir;
using Strings = std::vector<std::string>;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

TEST(SettingsFile, FirstRunGivesTheDefaults) {
  TempDir dir;
  Profile p(settingsFilePath(dir.path()));
  EXPECT_EQ(p.path(), dir.path() + "/Kelvane.ini");
  EXPECT_EQ(settingsFilePath("/"), "/Kelvane.ini");
  Settings s = loadSettings(p);
  EXPECT_TRUE(s.ExtTxt && s.Subfolders && s.CaseSensitive && s.UseRegExp);
  EXPECT_FALSE(s.ExtHtml || s.ExtCgi || s.ExtSystem || s.ExtCsv || s.ExtCustom || s.ExtMsWord || s.FuzzyDic ||
               s.IgnoreBlankLines);
  EXPECT_EQ(s.UserExtensions, "");
  EXPECT_EQ(s.SearchTextColor, 0x0000FFu);
  EXPECT_EQ(s.ReplaceTextColor, 0x008000u);
  EXPECT_TRUE(loadSearchHistory(p).empty());
  EXPECT_TRUE(loadFolderHistory(p).empty());
  EXPECT_EQ(readWindowSize(p).width, 680);
  EXPECT_EQ(readWindowSize(p).height, 480);
  EXPECT_EQ(readJoinSeparator(p), "");
  EXPECT_EQ(readSplitMode(p), 2);
  ExternalEditor e = readExternalEditor(p);
  EXPECT_FALSE(e.enabled);
  EXPECT_TRUE(e.path.empty() && e.lineOption.empty() && e.wordOption.empty());
  EXPECT_FALSE(std::filesystem::exists(p.path()));  // reading creates nothing
}

TEST(SettingsFile, StoredValuesAreRead) {
  TempDir dir;
  dir.write("Kelvane.ini",
            sj("[拡張子]\r\nTXTファイル=0\r\nHTMLファイル=1\r\n拡張子指定=1\r\n拡張子指定TXT=.md,.rst\r\n"
               "[Main]\r\n下位フォルダ=0\r\nFuzzy辞書=1\r\n正規表現の使用=junk\r\nウインドウの幅=0x3E8\r\n"
               "ウインドウの高さ=$1F4\r\n[ファイル結合]\r\n結合文字列=----\r\n分割モード=5\r\n"
               "[外部エディタ]\r\n使用許可=1\r\nPATH=/usr/bin/vi\r\n列表示=+\r\n強調文字=-w\r\n"));
  Profile p(dir / "Kelvane.ini");
  Settings s = loadSettings(p);
  EXPECT_FALSE(s.ExtTxt);
  EXPECT_TRUE(s.ExtHtml && s.ExtCustom && s.FuzzyDic);
  EXPECT_FALSE(s.Subfolders);
  EXPECT_TRUE(s.UseRegExp);  // not a number: the default
  EXPECT_EQ(s.UserExtensions, ".md,.rst");
  EXPECT_EQ(readWindowSize(p).width, 1000);
  EXPECT_EQ(readWindowSize(p).height, 500);
  EXPECT_EQ(readJoinSeparator(p), "----");
  EXPECT_EQ(readSplitMode(p), 5);  // judged by the caller
  ExternalEditor e = readExternalEditor(p);
  EXPECT_TRUE(e.enabled);
  EXPECT_EQ(e.path, "/usr/bin/vi");
  EXPECT_EQ(e.lineOption, "+");
  EXPECT_EQ(e.wordOption, "-w");
}

TEST(HistoryList, QuoteAwareSplit) {
  EXPECT_EQ(splitCommaText("\"a\",\"b\","), (Strings{"a", "b", ""}));
  EXPECT_EQ(splitCommaText("  a , b"), (Strings{"a", "b"}));
  EXPECT_EQ(splitCommaText("a b\tc"), (Strings{"a", "b", "c"}));
  EXPECT_EQ(splitCommaText("\"say \"\"hi\"\", ok\","), (Strings{"say \"hi\", ok", ""}));
  EXPECT_EQ(splitCommaText(",,"), (Strings{"", "", ""}));
  EXPECT_EQ(splitCommaText("\"open"), (Strings{"open"}));
  EXPECT_EQ(splitCommaText("\"a\"b,c"), (Strings{"a", "b", "c"}));
  EXPECT_EQ(splitCommaText(std::string("\"x\",\0\"y\",", 9)), (Strings{"x", ""}));  // a NUL ends the value
  EXPECT_TRUE(splitCommaText("").empty());
  EXPECT_EQ(readHistoryList("\"\",\"a\",,b,"), (Strings{"a", "b"}));
}

TEST(HistoryList, EntriesComeBackUnchanged) {
  // quotes, commas, blanks, leading quotes, and double-byte characters whose trail byte is "\"
  Strings entries = {"\"quoted\"", "a,b", " lead and trail ", sj("表示\\予定"), "x\"\"y", "'single'", sj("ソ 能")};
  std::string value = writeHistoryList(entries);
  EXPECT_EQ(value.back(), ',');
  EXPECT_EQ(readHistoryList(value), entries);

  TempDir dir;
  Profile p(dir / "Kelvane.ini");
  saveHistories(p, entries, {});
  EXPECT_EQ(loadSearchHistory(p), entries);
}

TEST(HistoryList, TenOfTwelveSurviveInOrderAndEmptiesAreSkipped) {
  Strings twelve;
  for (int i = 1; i <= 12; ++i) twelve.push_back("s" + std::to_string(i));
  TempDir dir;
  Profile p(dir / "Kelvane.ini");
  saveHistories(p, twelve, {});
  Strings ten(twelve.begin(), twelve.begin() + 10);
  EXPECT_EQ(loadSearchHistory(p), ten);
  // an empty entry among the first ten is skipped, not replaced by the eleventh
  twelve[3].clear();
  EXPECT_EQ(readHistoryList(writeHistoryList(twelve)),
            (Strings{"s1", "s2", "s3", "s5", "s6", "s7", "s8", "s9", "s10"}));
}

// A read gives back at most 2,047 bytes of a value: an entry that would not fit whole is left out,
// so no entry ever comes back cut short.
TEST(HistoryList, LongEntriesNeverComeBackCut) {
  const std::string first(1500, 'a');
  const std::string tooLong = sj("表") + std::string(600, 'b');
  const std::string last = "short";
  TempDir dir;
  Profile p(dir / "Kelvane.ini");
  saveHistories(p, {first, tooLong, last}, {});
  EXPECT_EQ(loadSearchHistory(p), (Strings{first, last}));
  EXPECT_LE(writeHistoryList({first, tooLong, last}).size(), 2047u);
  saveHistories(p, {std::string(2046, 'c'), "x"}, {});  // alone over the limit with its quotes
  EXPECT_EQ(loadSearchHistory(p), (Strings{"x"}));
}

TEST(HistoryList, FolderHistoryKeepsOnlyExistingFolders) {
  TempDir dir;
  std::string a = dir.mkdir("a"), b = dir.mkdir(cp932::toUtf8(sj("表b")).text), c = dir.mkdir("c");
  Profile p(dir / "Kelvane.ini");
  saveHistories(p, {}, {fixedFolderEntry(), a, dir / sj("表b"), c});
  std::filesystem::remove(b);
  EXPECT_EQ(loadFolderHistory(p), (Strings{a, c}));
  EXPECT_EQ(fixedFolderEntry(), sj("新規フォルダ"));
  EXPECT_NE(p.readString("Main", sj("フォルダ"), "").find(sj("新規フォルダ")), std::string::npos);
}

TEST(HistoryList, EmptySearchHistoryWritesOnlyOverAnEarlierList) {
  TempDir dir;
  Profile p(dir / "Kelvane.ini");
  saveHistories(p, {"", ""}, {fixedFolderEntry()});
  EXPECT_FALSE(p.keyExists("Main", sj("検索文字")));  // a first run without searches
  EXPECT_TRUE(p.keyExists("Main", sj("フォルダ")));
  saveHistories(p, {"x"}, {fixedFolderEntry()});
  saveHistories(p, {}, {fixedFolderEntry()});  // every entry removed in the cleanup dialog
  EXPECT_TRUE(loadSearchHistory(p).empty());
}

TEST(SettingsFile, WindowSizeWriteAndRead) {
  TempDir dir;
  Profile p(dir / "Kelvane.ini");
  writeWindowSize(p, {800, 600});
  EXPECT_EQ(readWindowSize(p).width, 800);
  EXPECT_EQ(readWindowSize(p).height, 600);
  EXPECT_EQ(readWindowSize(Profile(dir / "none.ini"), {300, 200}).width, 300);
}

TEST(OptionsWrite, WritesInOrderAndKeepsTheRecordInStep) {
  TempDir dir;
  Profile p(dir / "Kelvane.ini");
  Settings chosen;
  chosen.ExtTxt = false;
  chosen.ExtCsv = true;
  chosen.ExtCustom = true;  // ticked, but no extension typed
  chosen.UserExtensions = "";
  chosen.FuzzyDic = true;
  OtherOptions other{"==", 0, {true, "/bin/ed", "-n", ""}};
  Settings live;
  int rebuilt = 0;
  writeOptions(p, chosen, other, live, [&] {
    ++rebuilt;
    EXPECT_TRUE(live.ExtCustom);
    EXPECT_FALSE(live.FuzzyDic);  // the "Main" flags come after the extension list is rebuilt
  });
  EXPECT_EQ(rebuilt, 1);
  EXPECT_TRUE(live.ExtCustom);
  EXPECT_TRUE(live.FuzzyDic);
  EXPECT_FALSE(live.ExtTxt);
  Settings stored = loadSettings(p);
  EXPECT_FALSE(stored.ExtCustom);  // written as 0 with an empty text
  EXPECT_TRUE(p.keyExists(sj("拡張子"), sj("拡張子指定TXT")));
  EXPECT_TRUE(stored.ExtCsv && stored.FuzzyDic);
  EXPECT_FALSE(p.keyExists(sj("ファイル結合"), sj("分割モード")));  // no choice selected
  EXPECT_EQ(readJoinSeparator(p), "==");
  EXPECT_EQ(readExternalEditor(p).path, "/bin/ed");

  chosen.UserExtensions = ".log";
  other.splitMode = 3;
  writeOptions(p, chosen, other, live);
  EXPECT_TRUE(loadSettings(p).ExtCustom);
  EXPECT_EQ(loadSettings(p).UserExtensions, ".log");
  EXPECT_EQ(readSplitMode(p), 3);
  std::string file = testing::slurp(p.path());
  EXPECT_LT(file.find(sj("MsWordファイル")), file.find(sj("拡張子指定=")));
  EXPECT_LT(file.find(sj("[拡張子]")), file.find("[Main]"));
}

TEST(OptionsWrite, RefusedWriteLeavesTheRecordAsTheFileIs) {
  TempDir dir;
  Profile p(dir / "missing/Kelvane.ini");
  Settings chosen;
  chosen.ExtTxt = false;
  Settings live;
  EXPECT_THROW(writeOptions(p, chosen, {}, live), ProfileError);
  EXPECT_TRUE(live.ExtTxt);
}

}  // namespace
}  // namespace kelvane
