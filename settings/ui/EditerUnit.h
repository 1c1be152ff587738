#pragma once
// The built-in editor: a plain-text window in which a file is shown at a line. One editor at a
// time; it is deleted when it closes and made again by the next open.
#include <QMainWindow>
#include <string>

class QPlainTextEdit;

namespace kelvane {

class TFormEditer : public QMainWindow {
  Q_OBJECT
 public:
  explicit TFormEditer(QWidget* parent = nullptr);

  QPlainTextEdit* memo() const { return memo_; }

  // Loads a CP932 file (CR LF, LF or CR line ends), makes its path the window title, clears the
  // modified flag and puts the caret at the start of line (1-based; below 2 the start of the text,
  // past the end the end of the text). A file that cannot be read is reported in a message box and
  // the earlier text stays. Returns whether the file was loaded.
  bool openFile(const std::string& path, int line);

 private:
  QPlainTextEdit* memo_ = nullptr;
};

}  // namespace kelvane
