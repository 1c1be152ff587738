#pragma once
// The built-in editor: a plain-text window in which a file is shown at a line. One editor at a
// time; it is deleted when it closes and made again by the next open.
//
// The window title is the file the editor saves to. Files are CP932 with CR LF line ends. A file
// whose bytes could not all be read as Shift-JIS (a NUL, a broken character) is shown with
// replacement marks; saving it would change those bytes, so the editor asks before it does.
#include <QMainWindow>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace kelvane {

class TForm4;

class TFormEditer : public QMainWindow {
  Q_OBJECT
 public:
  explicit TFormEditer(QWidget* parent = nullptr);

  QPlainTextEdit* memo() const { return memo_; }
  QAction* overWriteAction() const { return OverWriteM; }
  QString statusText() const;
  bool isModified() const;
  // The display settings dialog that "表示設定" opens (not owned; may stay unset).
  void setDisplayDialog(TForm4* dialog) { displayDialog_ = dialog; }

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
  // What the editor asks of the person; tests replace them with scripted answers.
  virtual bool askYesNo(const QString& text);
  virtual void inform(const QString& text);
  // A file chooser; nullopt when cancelled. The result is a CP932 path.
  virtual std::optional<std::string> chooseOpenFile();
  virtual std::optional<std::string> chooseSaveFile(const std::string& initialFolder);

  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  // Writes the text to path; reports a failure and returns false. With lossy text it asks first.
  bool saveTo(const std::string& path);
  // The save of "上書き保存(&S)" and of the close, after their questions: to the file of the title,
  // or to a chosen file while no file was opened yet.
  bool saveToTitle();
  bool loadText(const std::string& path);
  // After an open or a save: nothing to save, "上書き保存(&S)" disabled.
  void setUnmodified();
  void showPosition();
  std::string titlePath() const;

  QPlainTextEdit* memo_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer* Timer1 = nullptr;
  QAction* OverWriteM = nullptr;
  TForm4* displayDialog_ = nullptr;
  std::string path_;        // the title's file, CP932; empty while the title is "Editer"
  bool lossyLoad_ = false;  // the loaded bytes could not all be shown as they were
  bool modified_ = false;   // edited since the last open or save
  bool loading_ = false;    // the text is being replaced by a load, which is no edit
};

}  // namespace kelvane
