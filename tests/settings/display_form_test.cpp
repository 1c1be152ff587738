// The display settings dialog's logic: the number fields, the fill-in at creation and "更新".
#include "settings/display_form.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "tests/settings/scripted_dialog_port.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

using testing::ScriptedDialogPort;
using testing::TempDir;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

class Host : public DisplayHost {
 public:
  explicit Host(std::string path) : path_(std::move(path)) {}
  std::vector<std::string> calls;
  std::string settingsPath() const override { return path_; }
  void applyDisplaySettings() override {
    // What the window would be given comes from the file just written.
    DisplaySettings read;
    readDisplaySettings(Profile(path_), read);
    calls.push_back("apply " + colorToText(read.tabs[0].headerBack));
  }
  void refreshSearchList() override { calls.push_back("refresh"); }

 private:
  std::string path_;
};

TEST(SpinEditValue, DigitsAndSignsOnlyAnythingElseIsTheMinimum) {
  EXPECT_EQ(spinEditValue("12", 9), 12);
  EXPECT_EQ(spinEditValue("+12", 9), 12);
  EXPECT_EQ(spinEditValue("-3", 0), -3);
  EXPECT_EQ(spinEditValue("", 9), 9);
  EXPECT_EQ(spinEditValue("", 0), 0);
  EXPECT_EQ(spinEditValue("-", 9), 9);
  EXPECT_EQ(spinEditValue("+", 0), 0);
  EXPECT_EQ(spinEditValue("++1", 9), 9);
  EXPECT_EQ(spinEditValue("+-5", 9), 9);  // two signs are no number, whichever comes second
  EXPECT_EQ(spinEditValue("1-2", 9), 9);
  EXPECT_EQ(spinEditValue("99999999999", 9), 9);  // past an int
  EXPECT_EQ(pullFontSize(150), 99);
  EXPECT_EQ(pullFontSize(3), 9);
  EXPECT_EQ(pullFontSize(12), 12);
}

TEST(DisplayForm, FillInStopsAtABadColourWithTheErrorShown) {
  TempDir dir;
  dir.write("Kelvane.ini",
            sj("[表示]\r\nTAB１ヘッダー背景色=clBlue\r\nTAB１背景色=nonsense\r\nTAB１フォントサイズ=20\r\n"));
  ScriptedDialogPort port;
  DisplayForm form;
  form.FormCreate(Profile(dir / "Kelvane.ini"), port);
  ASSERT_EQ(port.errors.size(), 1u);
  EXPECT_NE(port.errors[0].find("nonsense"), std::string::npos);
  EXPECT_EQ(form.values.tabs[0].headerBack, 0xFF0000u);  // before the bad key: filled
  EXPECT_EQ(form.values.tabs[0].fontSize, 12);           // after it: the design value
}

TEST(DisplayForm, UpdateWritesTheTwentyOneKeysInOrderThenAppliesAndRefreshes) {
  TempDir dir;
  Host host(dir / "Kelvane.ini");
  ScriptedDialogPort port;
  DisplayForm form;
  form.FormCreate(Profile(host.settingsPath()), port);
  EXPECT_EQ(form.values, DisplaySettings{});  // no file: the defaults
  form.values.tabs[0].headerBack = 0x800000;  // clNavy
  form.values.tabs[2].text = 0x00123456;      // no name
  form.values.boxFontSize = 20;
  form.values.toolBarVisible = false;
  ASSERT_TRUE(form.Button2Click(host, port));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"apply clNavy", "refresh"}));

  const std::string expected =
      sj("[表示]\r\nTAB１ヘッダー背景色=clNavy\r\nTAB１ヘッダーフォント色=clCream\r\nTAB１背景色=clWhite\r\n"
         "TAB１フォント色=clBlack\r\nTAB２ヘッダー背景色=clOlive\r\nTAB２ヘッダーフォント色=clCream\r\n"
         "TAB２背景色=clWhite\r\nTAB２フォント色=clBlack\r\nTAB３ヘッダー背景色=clOlive\r\n"
         "TAB３ヘッダーフォント色=clCream\r\nTAB３背景色=clWhite\r\nTAB３フォント色=$00123456\r\n"
         "TAB１検索文字色=clRed\r\nTAB１置換文字色=clGreen\r\nTAB１フォントサイズ=12\r\nTAB２フォントサイズ=12\r\n"
         "TAB３フォントサイズ=12\r\nコンボボックスサイズ=20\r\nステータスバーサイズ=9\r\nステータスバー表示=1\r\n"
         "ツールボタン表示=0\r\n");
  EXPECT_EQ(testing::slurp(host.settingsPath()), expected);
}

TEST(DisplayForm, ARefusedWriteIsShownAndNothingIsApplied) {
  TempDir dir;
  Host host(dir / "missing/Kelvane.ini");
  ScriptedDialogPort port;
  DisplayForm form;
  EXPECT_FALSE(form.Button2Click(host, port));
  EXPECT_EQ(port.errors.size(), 1u);
  EXPECT_TRUE(host.calls.empty());
}

}  // namespace
}  // namespace kelvane
