#pragma once
// The message boxes and file choosers of every window, written once. Texts and paths go in and come
// out as the program's CP932; the boxes carry the program's name as their caption.
#include <QMessageBox>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace kelvane::qt_boxes {

// Shows a modal box over parent and returns the button pressed.
QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton byDefault);
void inform(QWidget* parent, const std::string& text);    // information, OK
void warn(QWidget* parent, const std::string& text);      // warning, OK
void error(QWidget* parent, const std::string& text);     // error, OK
bool okCancel(QWidget* parent, const std::string& text);  // true for OK
bool yesNo(QWidget* parent, const std::string& text);     // true for Yes

struct Filter {
  std::string name;     // shown, e.g. "テキストファイル"
  std::string pattern;  // e.g. "*.txt"
};

struct FileChoice {
  bool save = false;
  std::string title;
  std::vector<Filter> filters;  // none: all files
  std::string initialFolder;
  std::string defaultExtension;   // without its dot
  bool confirmOverwrite = false;  // a save chooser asks before it names an existing file
};

// The chosen file, or nullopt when cancelled or (after telling the person) when its name has no
// CP932 form.
std::optional<std::string> chooseFile(QWidget* parent, const FileChoice& choice);
// The same for a folder, starting in startFolder.
std::optional<std::string> chooseFolder(QWidget* parent, const std::string& prompt, const std::string& startFolder);
// A native path a Qt dialog gave, as the program's path; nullopt (after telling the person, with
// the folder or the file text) when it is empty or has no CP932 form.
std::optional<std::string> chosenPath(QWidget* parent, const QString& native, bool folder);
// A CP932 folder as the QString a Qt dialog starts in; empty when it has no native form.
QString nativeFolder(const std::string& cp932Folder);

}  // namespace kelvane::qt_boxes
