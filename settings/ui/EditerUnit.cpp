#include "settings/ui/EditerUnit.h"

#include <QFont>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/cp932.h"
#include "platform/files.h"
#include "settings/ui/dialog_texts.h"

namespace kelvane {

TFormEditer::TFormEditer(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setObjectName("TFormEditer");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromUtf8(dialog_texts::kEditorCaption));
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("RichEdit1");
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font("IPAGothic");
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(16);
  memo_->setFont(font);
  setCentralWidget(memo_);
  statusBar()->setObjectName("StatusBar1");
  resize(680, 480);
}

namespace {

QString fromCp932(std::string_view text) {
  const cp932::Converted c = cp932::toUtf8(text);
  return QString::fromUtf8(c.text.data(), static_cast<qsizetype>(c.text.size()));
}

}  // namespace

bool TFormEditer::openFile(const std::string& path, int line) {
  std::string bytes;
  try {
    bytes = files::readFile(path);
  } catch (const std::exception& e) {
    QMessageBox::warning(this, windowTitle(),
                         QString::fromUtf8(dialog_texts::kEditorReadFailed) + "\n" + fromCp932(e.what()));
    return false;
  }
  // A NUL ends the text, as it does for every reader of the program.
  if (const auto nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
  QString text = fromCp932(bytes);
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  memo_->setPlainText(text);
  memo_->document()->setModified(false);
  setWindowTitle(fromCp932(path));
  QTextCursor cursor(memo_->document());
  if (line >= 2) {
    const QTextBlock block = memo_->document()->findBlockByNumber(line - 1);
    if (block.isValid()) {
      cursor.setPosition(block.position());
    } else {
      cursor.movePosition(QTextCursor::End);
    }
  }
  memo_->setTextCursor(cursor);
  memo_->centerCursor();
  return true;
}

}  // namespace kelvane
