// The options dialog's logic on a real settings file: the fill-in, the enabling rules, CheckForm,
// the "更新" questions, the save in its order and what the main window is told.
#include "settings/options_form.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "tests/settings/scripted_dialog_port.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

using testing::ScriptedDialogPort;
using testing::TempDir;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

// The lines of a settings file without their values, in file order; fails on a line not ended by CR LF.
std::vector<std::string> keyLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "line without CR LF";
    if (end == std::string::npos) break;
    const std::string line = bytes.substr(start, end - start);
    lines.push_back(line.substr(0, line.find('=')));
    start = end + 2;
  }
  return lines;
}

class Host : public OptionsHost {
 public:
  explicit Host(std::string path) : path_(std::move(path)) {}
  Settings live;
  std::vector<std::string> calls;
  Settings& settings() override { return live; }
  std::string settingsPath() const override { return path_; }
  void rebuildExtensionList() override { calls.push_back("extensions" + std::string(live.ExtHtml ? "+html" : "")); }
  void clearTargetList() override { calls.push_back("clearTargets"); }
  void clearStatusText() override { calls.push_back("clearStatus"); }

 private:
  std::string path_;
};

class OptionsFormTest : public ::testing::Test {
 protected:
  std::string iniPath() const { return dir / "Kelvane.ini"; }
  Profile ini() const { return Profile(iniPath()); }
  void activate() { form.FormActivate(host.live, ini()); }

  TempDir dir;
  Host host{dir / "Kelvane.ini"};
  ScriptedDialogPort port;
  OptionsForm form;
};

TEST_F(OptionsFormTest, FillInTakesFlagsFromMemoryAndTheRestFromTheFileAndLeavesCheckFormClear) {
  dir.write("Kelvane.ini", sj("[拡張子]\r\nHTMLファイル=1\r\n[ファイル結合]\r\n結合文字列=----\r\n分割モード=3\r\n"
                              "[外部エディタ]\r\n使用許可=1\r\nPath=/usr/bin/vi\r\n列表示=+\r\n強調文字=-w\r\n"));
  host.live.ExtCsv = true;  // memory wins over the file's flags
  host.live.UseRegExp = false;
  host.live.UserExtensions = ".md";
  activate();
  const OptionsControls& c = form.controls();
  EXPECT_TRUE(c.CheckBox[1]);
  EXPECT_FALSE(c.CheckBox[2]);
  EXPECT_TRUE(c.CheckBox[5]);
  EXPECT_FALSE(c.CheckBox[10]);
  EXPECT_FALSE(c.CheckBox8Enabled);  // fuzzy dictionary only with the pattern engine
  EXPECT_TRUE(c.CheckBox9Enabled);   // the hidden case box the other way round
  EXPECT_EQ(c.Edit1, ".md");
  EXPECT_EQ(c.Edit2, "----");
  EXPECT_EQ(c.splitChoice, 3);
  EXPECT_TRUE(c.EditC);
  EXPECT_TRUE(c.editorControlsEnabled);
  EXPECT_EQ(c.EditPath, "/usr/bin/vi");
  EXPECT_EQ(c.EditE1, "+");
  EXPECT_EQ(c.EditE2, "-w");
  EXPECT_FALSE(c.CheckForm);  // the fill-in's own reactions do not count as a change

  form.setCheckBox(10, true);
  EXPECT_TRUE(form.controls().CheckBox8Enabled);
  EXPECT_FALSE(form.controls().CheckBox9Enabled);
  EXPECT_FALSE(form.controls().CheckForm);  // a search option decides no target files
  form.setEditC(false);
  EXPECT_FALSE(form.controls().editorControlsEnabled);
  form.setCheckBox(12, true);
  EXPECT_FALSE(form.controls().CheckForm);  // MS Word is not one of the target-file boxes
  form.setCheckBox(7, false);
  EXPECT_TRUE(form.controls().CheckForm);
  EXPECT_THROW(form.setCheckBox(13, true), std::out_of_range);
}

TEST_F(OptionsFormTest, AStoredSplitModeOutsideOneToThreeLeavesTheChoiceAsItWas) {
  activate();
  EXPECT_EQ(form.controls().splitChoice, 2);  // the default of the file
  form.setSplitChoice(1);
  dir.write("Kelvane.ini", sj("[ファイル結合]\r\n分割モード=5\r\n"));
  activate();
  EXPECT_EQ(form.controls().splitChoice, 1);
  port.confirmAnswers = {true};
  ASSERT_TRUE(form.Button2Click(host, port));
  EXPECT_EQ(ini().readString(sj("ファイル結合"), sj("分割モード"), ""), "1");
}

TEST_F(OptionsFormTest, TickingHtmlAsksAboutTheTargetsAndSavesEveryKeyInOrder) {
  activate();
  form.setCheckBox(2, true);
  form.setEdit2("==");
  port.confirmAnswers = {true};
  ASSERT_TRUE(form.Button2Click(host, port));
  EXPECT_EQ(port.questions, std::vector<std::string>{sj("検索対象ファイルはクリアされます。更新しますか？")});
  EXPECT_TRUE(host.live.ExtHtml);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"extensions+html", "clearTargets", "clearStatus"}));
  EXPECT_FALSE(form.controls().CheckForm);

  const std::vector<std::string> expected = {sj("[拡張子]"),
                                             sj("TXTファイル"),
                                             sj("HTMLファイル"),
                                             sj("CGIファイル"),
                                             sj("SYSTEM系ファイル"),
                                             sj("CSVファイル"),
                                             sj("MsWordファイル"),
                                             sj("拡張子指定"),
                                             sj("拡張子指定TXT"),
                                             "[Main]",
                                             sj("下位フォルダ"),
                                             sj("Fuzzy辞書"),
                                             sj("大文字小文字の区別"),
                                             sj("正規表現の使用"),
                                             sj("空白行の無視"),
                                             sj("[ファイル結合]"),
                                             sj("結合文字列"),
                                             sj("分割モード"),
                                             sj("[外部エディタ]"),
                                             sj("使用許可"),
                                             "Path",
                                             sj("列表示"),
                                             sj("強調文字")};
  EXPECT_EQ(keyLines(testing::slurp(iniPath())), expected);
  EXPECT_EQ(ini().readString(sj("拡張子"), sj("HTMLファイル"), ""), "1");
  EXPECT_EQ(ini().readString(sj("ファイル結合"), sj("結合文字列"), ""), "==");
}

TEST_F(OptionsFormTest, OnlyTheSeparatorOrTheOwnExtensionTextChangedKeepsTheTargets) {
  activate();
  form.setEdit2("##");
  form.setEdit1(".log");  // the text alone does not change which files are wanted
  port.confirmAnswers = {true};
  ASSERT_TRUE(form.Button2Click(host, port));
  EXPECT_EQ(port.questions, std::vector<std::string>{sj("更新しますか？")});
  EXPECT_EQ(host.calls, (std::vector<std::string>{"extensions", "clearStatus"}));
  EXPECT_EQ(host.live.UserExtensions, ".log");
}

TEST_F(OptionsFormTest, OwnExtensionTickedWithoutTextIsStoredOffButStaysOnInMemory) {
  activate();
  form.setCheckBox(6, true);
  port.confirmAnswers = {true};
  ASSERT_TRUE(form.Button2Click(host, port));
  EXPECT_EQ(ini().readString(sj("拡張子"), sj("拡張子指定"), ""), "0");
  EXPECT_EQ(ini().readString(sj("拡張子"), sj("拡張子指定TXT"), "<none>"), "");
  EXPECT_TRUE(host.live.ExtCustom);
}

TEST_F(OptionsFormTest, EditorOnWithoutProgramIsRefusedAndSwitchedOffWithNothingSaved) {
  activate();
  form.setEditC(true);
  form.setCheckBox(3, true);
  EXPECT_FALSE(form.Button2Click(host, port));
  EXPECT_EQ(port.messages, std::vector<std::string>{sj("外部エディタのエラーです！")});
  EXPECT_TRUE(port.questions.empty());
  EXPECT_FALSE(form.controls().EditC);
  EXPECT_FALSE(form.controls().editorControlsEnabled);
  EXPECT_TRUE(form.controls().CheckForm);  // the person's edits stay for the next try
  EXPECT_TRUE(testing::slurp(iniPath()).empty());
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(OptionsFormTest, DecliningTheQuestionWritesNothingAndKeepsTheEdits) {
  activate();
  form.setCheckBox(4, true);
  port.confirmAnswers = {false};
  EXPECT_FALSE(form.Button2Click(host, port));
  EXPECT_EQ(port.messages, std::vector<std::string>{sj("設定の更新はおこなわれませんでした。")});
  EXPECT_TRUE(testing::slurp(iniPath()).empty());
  EXPECT_FALSE(host.live.ExtSystem);
  EXPECT_TRUE(form.controls().CheckBox[4]);
  EXPECT_TRUE(form.controls().CheckForm);
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(OptionsFormTest, ARefusedWriteIsShownAndNeitherTheRecordNorTheTargetsChange) {
  Host lost(dir / "no-such-folder/Kelvane.ini");
  form.FormActivate(lost.live, Profile(lost.settingsPath()));
  form.setCheckBox(2, true);
  port.confirmAnswers = {true};
  EXPECT_FALSE(form.Button2Click(lost, port));
  ASSERT_EQ(port.errors.size(), 1u);
  EXPECT_NE(port.errors[0].find("Kelvane.ini"), std::string::npos);  // the error names the file
  EXPECT_FALSE(lost.live.ExtHtml);
  EXPECT_EQ(lost.calls, std::vector<std::string>{"extensions"});  // no clearing, no status change
  EXPECT_TRUE(form.controls().CheckForm);
}

TEST_F(OptionsFormTest, TheEditorChooserSetsThePathOnlyWhenAProgramWasChosen) {
  activate();
  port.programAnswers = {std::nullopt, std::string("/opt/editor/bin/ed")};
  form.ButtonEditPathClick(port);
  EXPECT_EQ(form.controls().EditPath, "");
  form.ButtonEditPathClick(port);
  EXPECT_EQ(form.controls().EditPath, "/opt/editor/bin/ed");
  EXPECT_EQ(port.choosers.front(), sj("外部エディタの選択") + "|" + sj("標準"));
  form.setEditC(true);
  port.confirmAnswers = {true};
  ASSERT_TRUE(form.Button2Click(host, port));
  EXPECT_EQ(ini().readString(sj("外部エディタ"), "Path", ""), "/opt/editor/bin/ed");
  EXPECT_EQ(ini().readString(sj("外部エディタ"), sj("使用許可"), ""), "1");
}

}  // namespace
}  // namespace kelvane
