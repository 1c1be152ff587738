#pragma once
// Where each command of the main window stands, with its caption or hint and its icon. The states
// (enabled, checked, visible, down) belong to the Workspace; this table is only the layout.
#include <span>

namespace kelvane {

enum class CommandPlace {
  kToolBar,
  kMenuFile,     // "ファイル"
  kMenuEdit,     // "編集"
  kMenuMode,     // "処理モード"
  kMenuOption,   // "Option"
  kMenuHelp,     // "Help"
  kResultPopup,  // PopupMenu1
  kTargetPopup,  // PopupMenu2
  kJoinPopup,    // PopupMenu3
};

struct CommandDef {
  const char* name;     // the control's name, also the key of its state in the Workspace
  const char* caption;  // caption (menu items) or hint (tool buttons), UTF-8
  CommandPlace place;
  const char* themeIcon = nullptr;     // freedesktop icon name, tool buttons only
  const char* fallbackIcon = nullptr;  // file under :/kelvane/icons
  bool separatorBefore = false;
  bool checkable = false;
};

// Every command in screen order, place by place.
std::span<const CommandDef> commandTable();

// The captions of the menus of the menu bar, in order, and the place each holds.
struct MenuDef {
  const char* caption;
  CommandPlace place;
};
std::span<const MenuDef> menuTable();

}  // namespace kelvane
