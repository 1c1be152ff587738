#pragma once
// The built-in editor: a plain-text window in which a file is shown at a line. One editor at a
// time; it is deleted when it closes and made again by the next open.
//
// The window title is the file the editor saves to. What the file holds, the modified flag and the
// saves with their questions are the EditorDocument's (settings/editor_document.h): this window
// shows the text, forwards the commands and answers the document's questions with Qt boxes.
#include <QMainWindow>
#include <optional>
#include <string>

#include "settings/editor_document.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace kelvane {

class TForm4;

class TFormEditer : public QMainWindow, protected EditorPort {
  Q_OBJECT
 public:
  explicit TFormEditer(QWidget* parent = nullptr);

  QPlainTextEdit* memo() const { return memo_; }
  QAction* overWriteAction() const { return OverWriteM; }
  QString statusText() const;
  bool isModified() const;
  // The display settings dialog that "表示設定" opens (not owned; may stay unset).
  void setDisplayDialog(TForm4* dialog) { displayDialog_ = dialog; }
  // The program's temporary folder, below which a save keeps the bytes it replaces.
  void setTempFolder(const std::string& folder) { doc_.setTempFolder(folder); }

  // Loads a CP932 file (CR LF, LF or CR line ends) as the open from a list does: the text replaced,
  // the caret at the start of line (1-based; below 2 the start of the text, past the end the end of
  // the text) with "縦：n横：m" in the status bar, the text not modified, the status timer started,
  // the title set to the path, "上書き保存(&S)" disabled. A file that cannot be read is reported and
  // everything stays as it was. Returns whether the file was loaded.
  bool openFile(const std::string& path, int line);
  // Shows CP932 text (CR LF between lines) with no file behind it: the title "Editer", so that a
  // save asks where to, the caret at the start, nothing modified.
  void showText(const std::string& text);

  // The menu commands.
  void OpenMClick();       // "開く(&O)..."
  void SaveAsMClick();     // "名前を付けて保存"
  void OverWriteMClick();  // "上書き保存(&S)"
  void N4Click();          // "表示設定"

 protected:
  // What the editor asks of the person (CP932 texts and paths); tests replace them with scripted answers.
  bool askYesNo(const std::string& text) override;
  void inform(const std::string& text) override;
  std::optional<std::string> chooseOpenFile() override;
  std::optional<std::string> chooseSaveFile(const std::string& initialFolder) override;

  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  // Shows the document's text and title; nothing to save, "上書き保存(&S)" disabled.
  void showDocument();
  // After a save: the title may name a file now, and "上書き保存(&S)" follows the flag.
  void followDocument();
  // The window's text as the document takes it: UTF-8, LF line ends.
  std::string windowText() const;
  void showPosition();

  QPlainTextEdit* memo_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer* Timer1 = nullptr;
  QAction* OverWriteM = nullptr;
  TForm4* displayDialog_ = nullptr;
  EditorDocument doc_{*this};
  bool loading_ = false;  // the text is being replaced by a load, which is no edit
};

}  // namespace kelvane
