#include "settings/display.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

using testing::TempDir;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

// Records every call in order, as "what=value" texts.
class Recorder : public DisplayTarget {
 public:
  std::vector<std::string> calls;
  ListDisplay tabs[4];
  void setListDisplay(int tab, const ListDisplay& d) override {
    tabs[tab] = d;
    calls.push_back("list" + std::to_string(tab));
  }
  void setSearchTextColor(std::uint32_t c) override { calls.push_back("search=" + colorToText(c)); }
  void setReplaceTextColor(std::uint32_t c) override { calls.push_back("replace=" + colorToText(c)); }
  void setBoxFontSize(int s) override { calls.push_back("box=" + std::to_string(s)); }
  void setStatusBarFontSize(int s) override { calls.push_back("status=" + std::to_string(s)); }
  void setStatusBarVisible(bool v) override { calls.push_back(std::string("statusShown=") + (v ? "1" : "0")); }
  void setToolBarVisible(bool v) override { calls.push_back(std::string("toolShown=") + (v ? "1" : "0")); }
};

TEST(Colors, NamesAndNumbers) {
  const auto& colors = namedColors();
  ASSERT_EQ(colors.size(), 52u);
  std::set<std::string> names;
  for (const auto& c : colors) {
    names.insert(c.name);
    EXPECT_EQ(colorToText(c.value), c.name);  // no two names share a value
    EXPECT_EQ(colorFromText(c.name), c.value);
  }
  EXPECT_EQ(names.size(), 52u);
  EXPECT_EQ(colorFromText("$00FF0000"), colorFromText("clBlue"));
  EXPECT_EQ(colorToText(0xFF0000), "clBlue");
  EXPECT_EQ(colorFromText("CLMONEYGREEN"), 0xC0DCC0u);
  EXPECT_EQ(colorToText(0x123456), "$00123456");
  EXPECT_EQ(colorToText(0xFF000019), "$FF000019");  // index 25 has no name
  EXPECT_EQ(colorFromText("clBtnFace"), 0xFF00000Fu);
  EXPECT_EQ(colorFromText("-16777201"), 0xFF00000Fu);  // a signed decimal of the same bits
  EXPECT_EQ(colorFromText("255"), 0x0000FFu);
  EXPECT_TRUE(isSystemColor(colorFromText("clWindow")));
  EXPECT_FALSE(isSystemColor(colorFromText("clNone")));
  for (const char* bad : {"", "clBlu", "red", "$GG", "12 3"}) {
    try {
      colorFromText(bad);
      ADD_FAILURE() << bad;
    } catch (const SettingsError& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("'") + bad + "'"), std::string::npos);
    }
  }
}

TEST(DisplayApply, FirstRunAppliesTheDesignLookInOrder) {
  TempDir dir;
  Recorder r;
  applyDisplaySettings(Profile(dir / "Kelvane.ini"), r);
  EXPECT_EQ(r.calls, (std::vector<std::string>{"list1", "search=clRed", "replace=clGreen", "list2", "list3", "box=11",
                                               "status=9", "statusShown=1", "toolShown=1"}));
  ListDisplay look{0x008080, 0xF0FBFF, 0xFFFFFF, 0x000000, 12};
  for (int tab = 1; tab <= 3; ++tab) EXPECT_EQ(r.tabs[tab], look);
}

TEST(DisplayApply, StoredValuesAndABadColourStopsAtItsKey) {
  TempDir dir;
  std::string ini =
      sj("[表示]\r\nTAB１背景色=$00FF0000\r\nTAB１フォントサイズ=20\r\nTAB１検索文字色=clblue\r\n"
         "TAB２ヘッダー背景色=clNavy\r\nTAB２背景色=pinkish\r\nTAB３背景色=clRed\r\n"
         "コンボボックスサイズ=0x14\r\nツールボタン表示=0\r\n");
  dir.write("Kelvane.ini", ini);
  Recorder r;
  try {
    applyDisplaySettings(Profile(dir / "Kelvane.ini"), r);
    FAIL();
  } catch (const SettingsError& e) {
    std::string m = e.what();
    EXPECT_NE(m.find("'pinkish'"), std::string::npos);
    EXPECT_NE(m.find(sj("TAB２背景色")), std::string::npos);
  }
  // tab 2 gets the header colours read before the bad key; its font size stays as it was
  EXPECT_EQ(r.calls, (std::vector<std::string>{"list1", "search=clBlue", "replace=clGreen", "list2"}));
  EXPECT_EQ(r.tabs[1].back, 0xFF0000u);
  EXPECT_EQ(r.tabs[1].fontSize, 20);
  EXPECT_EQ(r.tabs[2].headerBack, 0x800000u);
  EXPECT_EQ(r.tabs[2].back, ListDisplay{}.back);

  // the same file with the colour repaired goes all the way
  dir.write("Kelvane.ini", ini.replace(ini.find("pinkish"), 7, "clSilver"));
  Recorder all;
  applyDisplaySettings(Profile(dir / "Kelvane.ini"), all);
  EXPECT_EQ(all.tabs[2].headerBack, 0x800000u);
  EXPECT_EQ(all.tabs[2].back, 0xC0C0C0u);
  EXPECT_EQ(all.tabs[3].back, 0x0000FFu);
  EXPECT_EQ(all.calls.back(), "toolShown=0");
  EXPECT_EQ(all.calls[5], "box=20");
}

TEST(DisplaySettingsDialogKeys, WriteThenReadRoundTripsWithNames) {
  TempDir dir;
  Profile p(dir / "Kelvane.ini");
  DisplaySettings s;
  s.tabs[0] = {0x0000FF, 0x123456, 0xFF000005, 0x000000, 9};
  s.tabs[2].fontSize = 99;
  s.searchTextColor = 0xFF00FF;
  s.boxFontSize = 20;
  s.statusBarFontSize = 12;
  s.statusBarVisible = false;
  writeDisplaySettings(p, s);
  EXPECT_EQ(p.readString(sj("表示"), sj("TAB１背景色"), ""), "clWindow");
  EXPECT_EQ(p.readString(sj("表示"), sj("TAB１ヘッダーフォント色"), ""), "$00123456");
  EXPECT_EQ(p.readString(sj("表示"), sj("TAB１検索文字色"), ""), "clFuchsia");
  DisplaySettings back;
  readDisplaySettings(p, back);
  EXPECT_EQ(back, s);
  std::string file = testing::slurp(p.path());
  // colours first, then the sizes, then the two flags
  EXPECT_LT(file.find(sj("TAB１置換文字色")), file.find(sj("TAB１フォントサイズ")));
  EXPECT_LT(file.find(sj("ステータスバーサイズ")), file.find(sj("ステータスバー表示")));
  EXPECT_LT(file.find(sj("ステータスバー表示")), file.find(sj("ツールボタン表示")));
}

TEST(DisplaySettingsDialogKeys, ReadStopsAtABadColourWithEarlierFieldsFilled) {
  TempDir dir;
  dir.write("Kelvane.ini", sj("[表示]\r\nTAB１背景色=clGray\r\nTAB２フォントサイズ=30\r\nTAB２背景色=??\r\n"));
  DisplaySettings s;
  s.tabs[1].fontSize = 50;
  s.boxFontSize = 40;
  EXPECT_THROW(readDisplaySettings(Profile(dir / "Kelvane.ini"), s), SettingsError);
  EXPECT_EQ(s.tabs[0].back, 0x808080u);
  EXPECT_EQ(s.tabs[1].fontSize, 50);  // after the bad key: untouched
  EXPECT_EQ(s.boxFontSize, 40);
}

}  // namespace
}  // namespace kelvane
