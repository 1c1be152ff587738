#include "workspace/ui/command_table.h"

#include <array>

namespace kelvane {
namespace {

using P = CommandPlace;

constexpr std::array kCommands = {
    CommandDef{"NewFileB", "新規保存", P::kToolBar, "document-new", "new-file.png"},
    CommandDef{"OverWriteB", "上書き保存", P::kToolBar, "document-save", "save.png"},
    CommandDef{"undoB", "やり直し", P::kToolBar, "edit-undo", "undo.png"},
    CommandDef{"ToolButton1", "検索", P::kToolBar, "edit-find", "search.png", true},
    // Not a control of the original window: stops a running search (Escape does the same).
    CommandDef{"StopB", "検索の中止", P::kToolBar, "process-stop", "stop.png"},
    CommandDef{"ToolButton10", "置換", P::kToolBar, "edit-find-replace", "replace.png"},
    CommandDef{"ToolButton11", "絞込み", P::kToolBar, "view-filter", "narrow.png"},
    CommandDef{"FairuKetugouB", "ファイル結合", P::kToolBar, nullptr, "join.png"},
    CommandDef{"ToolButton2", "フォルダの選択", P::kToolBar, "folder-open", "folder.png", true},
    CommandDef{"ToolButton21", "設定", P::kToolBar, "preferences-system", "settings.png", true},
    CommandDef{"ToolButton22", "表示設定", P::kToolBar, "preferences-desktop-theme", "display.png"},
    CommandDef{"ToolButton7", "検索モード", P::kToolBar, nullptr, "mode-search.png", true, true},
    CommandDef{"ToolButton8", "File結合モード", P::kToolBar, nullptr, "mode-join.png", false, true},
    CommandDef{"ToolButton9", "未定", P::kToolBar, nullptr, "blank.png"},
    CommandDef{"ToolButton16", "更新", P::kToolBar, "view-refresh", "refresh.png"},

    CommandDef{"N2", "フォルダの選択", P::kMenuFile},
    CommandDef{"SaveAs1", "新規ファイルへ保存", P::kMenuFile},
    CommandDef{"N12", "置換え結果を上書き", P::kMenuFile},
    CommandDef{"Exit1", "終了", P::kMenuFile, nullptr, nullptr, true},

    CommandDef{"Repeat1", "元に戻す", P::kMenuEdit},
    CommandDef{"Find1", "検索", P::kMenuEdit},
    CommandDef{"Replace1", "置換", P::kMenuEdit},
    CommandDef{"N3", "絞込み", P::kMenuEdit},
    CommandDef{"N7", "ファイル結合", P::kMenuEdit},
    CommandDef{"N17", "検索条件削除", P::kMenuEdit, nullptr, nullptr, true},

    CommandDef{"GREP1", "File検索", P::kMenuMode, nullptr, nullptr, false, true},
    CommandDef{"N6", "File結合", P::kMenuMode, nullptr, nullptr, false, true},
    CommandDef{"CSV1", "CSVモード", P::kMenuMode, nullptr, nullptr, false, true},

    CommandDef{"N1", "設定", P::kMenuOption},
    CommandDef{"Show1", "表示設定", P::kMenuOption},
    CommandDef{"N15", "エディタを開く", P::kMenuOption, nullptr, nullptr, true},
    CommandDef{"N16", "エクスプローラを開く", P::kMenuOption},

    CommandDef{"Help2", "Help", P::kMenuHelp},
    CommandDef{"Ver1", "Ver.情報", P::kMenuHelp},

    CommandDef{"CheckOnFile1", "CheckOn(対象File全体)", P::kResultPopup},
    CommandDef{"CheckOFFFile1", "CheckOFF(対象File全体)", P::kResultPopup},
    CommandDef{"N4", "ファイルを開く", P::kResultPopup, nullptr, nullptr, true},
    CommandDef{"File2", "ファイルの分割", P::kResultPopup, nullptr, nullptr, true},
    CommandDef{"File3", "ファイルを絞込み結合", P::kResultPopup},
    CommandDef{"N14", "文字列の変更", P::kResultPopup},

    CommandDef{"CheckOFFFolder1", "CheckON(フォルダ全体)", P::kTargetPopup},
    CommandDef{"CheckOFFFile2", "CheckOFF(フォルダ全体)", P::kTargetPopup},
    CommandDef{"N13", "ファイルを開く", P::kTargetPopup, nullptr, nullptr, true},
    CommandDef{"ON1", "全てON", P::kTargetPopup, nullptr, nullptr, true},
    CommandDef{"Folder1", "全てOFF", P::kTargetPopup},

    CommandDef{"N10", "項目の追加", P::kJoinPopup},
    CommandDef{"N11", "選択項目の削除", P::kJoinPopup},
    CommandDef{"N9", "文字列の変更(選択セル以降)", P::kJoinPopup, nullptr, nullptr, true},
    CommandDef{"N8", "文字列の変更", P::kJoinPopup},
    CommandDef{"MenuItem7", "ファイルを開く", P::kJoinPopup, nullptr, nullptr, true},
};

constexpr std::array kMenus = {
    MenuDef{"ファイル", P::kMenuFile}, MenuDef{"編集", P::kMenuEdit}, MenuDef{"処理モード", P::kMenuMode},
    MenuDef{"Option", P::kMenuOption}, MenuDef{"Help", P::kMenuHelp},
};

}  // namespace

std::span<const CommandDef> commandTable() { return kCommands; }
std::span<const MenuDef> menuTable() { return kMenus; }

}  // namespace kelvane
