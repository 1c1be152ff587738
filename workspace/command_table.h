#pragma once
// Every command of the main window in screen order, place by place (see commands.h). Included at
// the end of workspace.h, where the handlers are declared.
#include "workspace/commands.h"

namespace kelvane {

namespace command_groups {
constexpr int kModeButtons = 1;  // ToolButton7 / ToolButton8
constexpr int kModeItems = 2;    // GREP1 / N6
}  // namespace command_groups

inline constexpr MenuDef kMenuTable[] = {
    {"ファイル", CommandPlace::kMenuFile}, {"編集", CommandPlace::kMenuEdit}, {"処理モード", CommandPlace::kMenuMode},
    {"Option", CommandPlace::kMenuOption}, {"Help", CommandPlace::kMenuHelp},
};

namespace command_rows {
using P = CommandPlace;
using W = Workspace;
using command_groups::kModeButtons;
using command_groups::kModeItems;

inline constexpr CommandDef kCommandTable[] = {
    // tool bar
    cmd("NewFileB", "新規保存", P::kToolBar, &W::NewFileBClick).off().icon("document-new", "new-file.png"),
    cmd("OverWriteB", "上書き保存", P::kToolBar, &W::OverWriteBClick).off().icon("document-save", "save.png"),
    cmd("undoB", "やり直し", P::kToolBar, &W::undoBClick).off().hidden().icon("edit-undo", "undo.png"),
    cmd("ToolButton1", "検索", P::kToolBar, &W::ToolButton1Click)
        .icon("edit-find", "search.png")
        .sep()
        .runs(CommandRun::kSearch),
    // Not a control of the original window: stops a running search (Escape does the same).
    cmd("StopB", "検索の中止", P::kToolBar, &W::StopSearch)
        .off()
        .icon("process-stop", "stop.png")
        .runs(CommandRun::kStop),
    cmd("ToolButton10", "置換", P::kToolBar, &W::ToolButton10Click).icon("edit-find-replace", "replace.png"),
    cmd("ToolButton11", "絞込み", P::kToolBar, &W::ToolButton11Click).icon("view-filter", "narrow.png"),
    cmd("FairuKetugouB", "ファイル結合", P::kToolBar, &W::FairuKetugouBClick).icon(nullptr, "join.png"),
    cmd("ToolButton2", "フォルダの選択", P::kToolBar, &W::ToolButton2Click).icon("folder-open", "folder.png").sep(),
    cmd("ToolButton21", "設定", P::kToolBar, &W::ToolButton21Click).icon("preferences-system", "settings.png").sep(),
    cmd("ToolButton22", "表示設定", P::kToolBar, &W::ToolButton22Click)
        .icon("preferences-desktop-theme", "display.png"),
    cmd("ToolButton7", "検索モード", P::kToolBar, &W::ToolButton7Click)
        .icon(nullptr, "mode-search.png")
        .sep()
        .checks(kModeButtons),
    cmd("ToolButton8", "File結合モード", P::kToolBar, &W::ToolButton8Click)
        .icon(nullptr, "mode-join.png")
        .checks(kModeButtons),
    cmd("ToolButton9", "未定", P::kToolBar).hidden().icon(nullptr, "blank.png"),
    cmd("ToolButton16", "更新", P::kToolBar).hidden().icon("view-refresh", "refresh.png"),

    // menu ファイル
    cmd("N2", "フォルダの選択", P::kMenuFile, &W::N2Click),
    cmd("SaveAs1", "新規ファイルへ保存", P::kMenuFile, &W::SaveAs1Click).off(),
    cmd("N12", "置換え結果を上書き", P::kMenuFile, &W::N12Click).off(),
    cmd("Exit1", "終了", P::kMenuFile).sep().runs(CommandRun::kClose),

    // menu 編集; "元に戻す" is hidden but enabled and disabled as if shown
    cmd("Repeat1", "元に戻す", P::kMenuEdit, &W::Repeat1Click).off().hidden(),
    cmd("Find1", "検索", P::kMenuEdit, &W::Find1Click).runs(CommandRun::kSearch),
    cmd("Replace1", "置換", P::kMenuEdit, &W::Replace1Click),
    cmd("N3", "絞込み", P::kMenuEdit, &W::N3Click),
    cmd("N7", "ファイル結合", P::kMenuEdit, &W::N7Click).off(),
    cmd("N17", "検索条件削除", P::kMenuEdit, &W::N17Click).sep(),

    // menu 処理モード
    cmd("GREP1", "File検索", P::kMenuMode, &W::GREP1Click).checks(kModeItems),
    cmd("N6", "File結合", P::kMenuMode, &W::N6Click).checks(kModeItems),
    cmd("CSV1", "CSVモード", P::kMenuMode).hidden().checks(0),

    // menu Option
    cmd("N1", "設定", P::kMenuOption, &W::N1Click),
    cmd("Show1", "表示設定", P::kMenuOption, &W::Show1Click),
    cmd("N15", "エディタを開く", P::kMenuOption, &W::N15Click).sep(),
    cmd("N16", "エクスプローラを開く", P::kMenuOption, &W::N16Click).hidden(),

    // menu Help
    cmd("Help2", "Help", P::kMenuHelp, &W::Help2Click),
    cmd("Ver1", "Ver.情報", P::kMenuHelp, &W::Ver1Click),

    // result list pop-up
    cmd("CheckOnFile1", "CheckOn(対象File全体)", P::kResultPopup, &W::CheckOnFile1Click),
    cmd("CheckOFFFile1", "CheckOFF(対象File全体)", P::kResultPopup, &W::CheckOFFFile1Click),
    cmd("N4", "ファイルを開く", P::kResultPopup, &W::N4Click).sep(),
    cmd("File2", "ファイルの分割", P::kResultPopup, &W::File2Click).sep(),
    cmd("File3", "ファイルを絞込み結合", P::kResultPopup, &W::File3Click),
    cmd("N14", "文字列の変更", P::kResultPopup).hidden(),

    // target list pop-up
    cmd("CheckOFFFolder1", "CheckON(フォルダ全体)", P::kTargetPopup, &W::CheckOFFFolder1Click),
    cmd("CheckOFFFile2", "CheckOFF(フォルダ全体)", P::kTargetPopup, &W::CheckOFFFile2Click),
    cmd("N13", "ファイルを開く", P::kTargetPopup, &W::N13Click).sep(),
    cmd("ON1", "全てON", P::kTargetPopup, &W::ON1Click).sep(),
    cmd("Folder1", "全てOFF", P::kTargetPopup, &W::Folder1Click),

    // join/split list pop-up
    cmd("N10", "項目の追加", P::kJoinPopup, &W::N10Click),
    cmd("N11", "選択項目の削除", P::kJoinPopup, &W::N11Click),
    cmd("N9", "文字列の変更(選択セル以降)", P::kJoinPopup, &W::N9Click).sep(),
    cmd("N8", "文字列の変更", P::kJoinPopup, &W::N8Click),
    cmd("MenuItem7", "ファイルを開く", P::kJoinPopup, &W::MenuItem7Click).sep(),

    // the pattern box, enabled in search mode only
    cmd("ComboBox1", "検索文字列", P::kBox),
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
