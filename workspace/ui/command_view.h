#pragma once
// Where each command of the main window stands and how it looks: the view's half of the command
// table. The Workspace's rows (workspace/command_table.h) say what a command is and does; these say
// on which tool bar, menu or pop-up it stands, in screen order place by place, with a separator
// before it or not, and, for a tool button, its icon. A row names its command through CommandId,
// so a name that is not a command of the window does not compile.
#include <string_view>

#include "workspace/workspace.h"

namespace kelvane {

enum class CommandPlace {
  kToolBar,
  kMenuFile,     // "ファイル"
  kMenuEdit,     // "編集"
  kMenuMode,     // "処理モード"
  kMenuOption,   // "Option"
  kMenuHelp,     // "Help"
  kResultPopup,  // PopupMenu1, on the result list
  kTargetPopup,  // PopupMenu2, on the target list
  kJoinPopup,    // PopupMenu3, on the join/split list
};

struct CommandView {
  std::string_view name;  // a row of kCommandTable
  CommandPlace place;
  const char* themeIcon = nullptr;     // freedesktop icon name, tool buttons only
  const char* fallbackIcon = nullptr;  // file under :/kelvane/icons
  bool separatorBefore = false;

  constexpr CommandView sep() const {
    CommandView v = *this;
    v.separatorBefore = true;
    return v;
  }
  constexpr CommandView icon(const char* theme, const char* fallback) const {
    CommandView v = *this;
    v.themeIcon = theme;
    v.fallbackIcon = fallback;
    return v;
  }
};

constexpr CommandView at(CommandId id, CommandPlace place) { return CommandView{id.name, place}; }

// The menus of the menu bar, in order, and the place each holds.
struct MenuDef {
  const char* caption;
  CommandPlace place;
};

inline constexpr MenuDef kMenuTable[] = {
    {"ファイル", CommandPlace::kMenuFile}, {"編集", CommandPlace::kMenuEdit}, {"処理モード", CommandPlace::kMenuMode},
    {"Option", CommandPlace::kMenuOption}, {"Help", CommandPlace::kMenuHelp},
};

namespace command_views {
using P = CommandPlace;

// Every command but the pattern box (a box of the second tool bar, made with it), once.
inline constexpr CommandView kCommandViews[] = {
    // tool bar
    at("NewFileB", P::kToolBar).icon("document-new", "new-file.png"),
    at("OverWriteB", P::kToolBar).icon("document-save", "save.png"),
    at("undoB", P::kToolBar).icon("edit-undo", "undo.png"),
    at("ToolButton1", P::kToolBar).icon("edit-find", "search.png").sep(),
    at("StopB", P::kToolBar).icon("process-stop", "stop.png"),
    at("ToolButton10", P::kToolBar).icon("edit-find-replace", "replace.png"),
    at("ToolButton11", P::kToolBar).icon("view-filter", "narrow.png"),
    at("FairuKetugouB", P::kToolBar).icon(nullptr, "join.png"),
    at("ToolButton2", P::kToolBar).icon("folder-open", "folder.png").sep(),
    at("ToolButton21", P::kToolBar).icon("preferences-system", "settings.png").sep(),
    at("ToolButton22", P::kToolBar).icon("preferences-desktop-theme", "display.png"),
    at("ToolButton7", P::kToolBar).icon(nullptr, "mode-search.png").sep(),
    at("ToolButton8", P::kToolBar).icon(nullptr, "mode-join.png"),
    at("ToolButton9", P::kToolBar).icon(nullptr, "blank.png"),
    at("ToolButton16", P::kToolBar).icon("view-refresh", "refresh.png"),

    // menu ファイル
    at("N2", P::kMenuFile),
    at("SaveAs1", P::kMenuFile),
    at("N12", P::kMenuFile),
    at("Exit1", P::kMenuFile).sep(),

    // menu 編集
    at("Repeat1", P::kMenuEdit),
    at("Find1", P::kMenuEdit),
    at("Replace1", P::kMenuEdit),
    at("N3", P::kMenuEdit),
    at("N7", P::kMenuEdit),
    at("N17", P::kMenuEdit).sep(),

    // menu 処理モード
    at("GREP1", P::kMenuMode),
    at("N6", P::kMenuMode),
    at("CSV1", P::kMenuMode),

    // menu Option
    at("N1", P::kMenuOption),
    at("Show1", P::kMenuOption),
    at("N15", P::kMenuOption).sep(),
    at("N16", P::kMenuOption),

    // menu Help
    at("Help2", P::kMenuHelp),
    at("Ver1", P::kMenuHelp),

    // result list pop-up
    at("CheckOnFile1", P::kResultPopup),
    at("CheckOFFFile1", P::kResultPopup),
    at("N4", P::kResultPopup).sep(),
    at("File2", P::kResultPopup).sep(),
    at("File3", P::kResultPopup),
    at("N14", P::kResultPopup),

    // target list pop-up
    at("CheckOFFFolder1", P::kTargetPopup),
    at("CheckOFFFile2", P::kTargetPopup),
    at("N13", P::kTargetPopup).sep(),
    at("ON1", P::kTargetPopup).sep(),
    at("Folder1", P::kTargetPopup),

    // join/split list pop-up
    at("N10", P::kJoinPopup),
    at("N11", P::kJoinPopup),
    at("N9", P::kJoinPopup).sep(),
    at("N8", P::kJoinPopup),
    at("MenuItem7", P::kJoinPopup).sep(),
};
}  // namespace command_views

using command_views::kCommandViews;

// The Workspace's row of a command shown by the view. Every view row names one (CommandId).
inline const CommandDef& commandDef(std::string_view name) {
  for (const CommandDef& def : kCommandTable) {
    if (def.name == name) return def;
  }
  return kCommandTable[0];  // not reached: CommandId admits table names only
}

}  // namespace kelvane
