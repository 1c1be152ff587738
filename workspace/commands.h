#pragma once
// The commands of the main window, written once.
//
// A command is a control of the tool bar, of a menu or of a pop-up menu (and the pattern box, whose
// enabled state the modes set). Each has one row in kCommandTable: its control name, its caption
// (a tool button's hint), its state at start, the Workspace handler a click runs, its exclusive
// group and how the view runs it. The Workspace builds its command states from the table. Where a
// command stands and its icon are the view's (workspace/ui/command_view.h): the view makes its
// actions from these rows and places them by its own rows, which name commands of this table.
//
// Operations name a command by a CommandId, whose constructor runs at compile time and refuses a
// name that is not in the table: a misspelt control is a build error, not a failed click.
//
// This header is included at the end of workspace.h (the handlers must be declared first); include
// workspace.h, not this file.
#include <initializer_list>
#include <span>
#include <string_view>

namespace kelvane {

class Workspace;

// How the view runs a command.
enum class CommandRun {
  kHandler,  // the handler, unless another handler is still working
  kSearch,   // the same, once the pattern box holds text Shift-JIS can represent
  kStop,     // the handler even while a search is working (it stops the search)
  kClose,    // closes the window (the close sequence runs from the window's close)
};

using CommandHandler = void (Workspace::*)();

struct CommandDef {
  const char* name;                  // the control's name, also the key of its state in the Workspace
  const char* caption;               // caption (menu items) or hint (tool buttons), UTF-8
  CommandHandler handler = nullptr;  // nullptr: not wired yet, a click does nothing
  bool enabled = true;               // state at start
  bool visible = true;               // hidden controls are still enabled and disabled as if shown
  bool checkable = false;
  int group = 0;  // commands with the same non-zero group are exclusive: one of them is down
  CommandRun run = CommandRun::kHandler;

  // The table's rows read as one line each: cmd(...).off().hidden(). Each returns a changed copy.
  constexpr CommandDef off() const {
    CommandDef d = *this;
    d.enabled = false;
    return d;
  }
  constexpr CommandDef hidden() const {
    CommandDef d = *this;
    d.visible = false;
    return d;
  }
  constexpr CommandDef checks(int exclusiveGroup) const {
    CommandDef d = *this;
    d.checkable = true;
    d.group = exclusiveGroup;
    return d;
  }
  constexpr CommandDef runs(CommandRun how) const {
    CommandDef d = *this;
    d.run = how;
    return d;
  }
};

constexpr CommandDef cmd(const char* name, const char* caption, CommandHandler handler = nullptr) {
  CommandDef d{name, caption};
  d.handler = handler;
  return d;
}

// A control name checked against the table when the program is compiled.
struct CommandId {
  consteval CommandId(const char* controlName);  // NOLINT: literals convert on purpose
  std::string_view name;
};

}  // namespace kelvane
