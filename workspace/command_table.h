#pragma once
// Every command of the main window (see commands.h), grouped as the view shows them; where each
// stands is the view's table (workspace/ui/command_view.h). Included at the end of workspace.h,
// where the handlers are declared.
#include "workspace/commands.h"

namespace kelvane {

namespace command_groups {
constexpr int kModeButtons = 1;  // ToolButton7 / ToolButton8
constexpr int kModeItems = 2;    // GREP1 / N6
}  // namespace command_groups

namespace command_rows {
using W = Workspace;
using command_groups::kModeButtons;
using command_groups::kModeItems;

inline constexpr CommandDef kCommandTable[] = {
    // tool bar
    cmd("NewFileB", "新規保存", &W::NewFileBClick).off(),
    cmd("OverWriteB", "上書き保存", &W::OverWriteBClick).off(),
    cmd("undoB", "やり直し", &W::undoBClick).off().hidden(),
    cmd("ToolButton1", "検索", &W::ToolButton1Click).runs(CommandRun::kSearch),
    // Not a control of the original window: stops a running search (Escape does the same).
    cmd("StopB", "検索の中止", &W::StopSearch).off().runs(CommandRun::kStop),
    cmd("ToolButton10", "置換", &W::ToolButton10Click),
    cmd("ToolButton11", "絞込み", &W::ToolButton11Click),
    cmd("FairuKetugouB", "ファイル結合", &W::FairuKetugouBClick),
    cmd("ToolButton2", "フォルダの選択", &W::ToolButton2Click),
    cmd("ToolButton21", "設定", &W::ToolButton21Click),
    cmd("ToolButton22", "表示設定", &W::ToolButton22Click),
    cmd("ToolButton7", "検索モード", &W::ToolButton7Click).checks(kModeButtons),
    cmd("ToolButton8", "File結合モード", &W::ToolButton8Click).checks(kModeButtons),
    cmd("ToolButton9", "未定").hidden(),
    cmd("ToolButton16", "更新").hidden(),

    // menu ファイル
    cmd("N2", "フォルダの選択", &W::N2Click),
    cmd("SaveAs1", "新規ファイルへ保存", &W::SaveAs1Click).off(),
    cmd("N12", "置換え結果を上書き", &W::N12Click).off(),
    cmd("Exit1", "終了").runs(CommandRun::kClose),

    // menu 編集; "元に戻す" is hidden but enabled and disabled as if shown
    cmd("Repeat1", "元に戻す", &W::Repeat1Click).off().hidden(),
    cmd("Find1", "検索", &W::Find1Click).runs(CommandRun::kSearch),
    cmd("Replace1", "置換", &W::Replace1Click),
    cmd("N3", "絞込み", &W::N3Click),
    cmd("N7", "ファイル結合", &W::N7Click).off(),
    cmd("N17", "検索条件削除", &W::N17Click),

    // menu 処理モード
    cmd("GREP1", "File検索", &W::GREP1Click).checks(kModeItems),
    cmd("N6", "File結合", &W::N6Click).checks(kModeItems),
    cmd("CSV1", "CSVモード").hidden().checks(0),

    // menu Option
    cmd("N1", "設定", &W::N1Click),
    cmd("Show1", "表示設定", &W::Show1Click),
    cmd("N15", "エディタを開く", &W::N15Click),
    cmd("N16", "エクスプローラを開く", &W::N16Click).hidden(),

    // menu Help
    cmd("Help2", "Help", &W::Help2Click),
    cmd("Ver1", "Ver.情報", &W::Ver1Click),

    // result list pop-up
    cmd("CheckOnFile1", "CheckOn(対象File全体)", &W::CheckOnFile1Click),
    cmd("CheckOFFFile1", "CheckOFF(対象File全体)", &W::CheckOFFFile1Click),
    cmd("N4", "ファイルを開く", &W::N4Click),
    cmd("File2", "ファイルの分割", &W::File2Click),
    cmd("File3", "ファイルを絞込み結合", &W::File3Click),
    cmd("N14", "文字列の変更").hidden(),

    // target list pop-up
    cmd("CheckOFFFolder1", "CheckON(フォルダ全体)", &W::CheckOFFFolder1Click),
    cmd("CheckOFFFile2", "CheckOFF(フォルダ全体)", &W::CheckOFFFile2Click),
    cmd("N13", "ファイルを開く", &W::N13Click),
    cmd("ON1", "全てON", &W::ON1Click),
    cmd("Folder1", "全てOFF", &W::Folder1Click),

    // join/split list pop-up
    cmd("N10", "項目の追加", &W::N10Click),
    cmd("N11", "選択項目の削除", &W::N11Click),
    cmd("N9", "文字列の変更(選択セル以降)", &W::N9Click),
    cmd("N8", "文字列の変更", &W::N8Click),
    cmd("MenuItem7", "ファイルを開く", &W::MenuItem7Click),

    // the pattern box, enabled in search mode only
    cmd("ComboBox1", "検索文字列"),
};
}  // namespace command_rows

using command_rows::kCommandTable;

// Whether name is a control of the window. A bool, not a row pointer: GCC's undefined-behaviour
// sanitizer makes a pointer comparison in a constant evaluation non-constant.
constexpr bool isCommandName(std::string_view name) {
  for (const CommandDef& def : kCommandTable) {
    if (name == def.name) return true;
  }
  return false;
}

consteval CommandId::CommandId(const char* controlName) : name(controlName) {
  // A throw in a constant evaluation is a compile error: the name is not a control of the window.
  if (!isCommandName(controlName)) throw "not a control of the main window";
}

}  // namespace kelvane
