#include "settings/ui/EditerUnit.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include "platform/cp932.h"
#include "platform/files.h"
#include "settings/ui/Unit4.h"
#include "settings/ui/dialog_texts.h"

namespace kelvane {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

QString fromCp932(std::string_view text, std::size_t* failures = nullptr) {
  const cp932::Converted c = cp932::toUtf8(text);
  if (failures) *failures = c.failures;
  return QString::fromUtf8(c.text.data(), static_cast<qsizetype>(c.text.size()));
}

// The editor's text as the file's bytes: CP932 with CR LF after every line but an unfinished last one.
cp932::Converted fileBytes(const QString& text) {
  QString crlf = text;
  crlf.replace('\n', QStringLiteral("\r\n"));
  const QByteArray utf8 = crlf.toUtf8();
  return cp932::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

const int kDisplayEditorTab = 3;  // "Editer", the fourth tab of the display settings dialog

}  // namespace

TFormEditer::TFormEditer(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setObjectName("TFormEditer");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u(dialog_texts::kEditorCaption));
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("RichEdit1");
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font("IPAGothic");
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(16);
  memo_->setFont(font);
  setCentralWidget(memo_);
  status_ = new QLabel(this);
  status_->setObjectName("StatusText");
  statusBar()->setObjectName("StatusBar1");
  statusBar()->addWidget(status_, 1);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(5000);
  connect(Timer1, &QTimer::timeout, status_, &QLabel::clear);  // stays enabled: cleared every 5 s
  buildMenus();
  connect(memo_, &QPlainTextEdit::textChanged, this, [this] {
    if (loading_) return;
    // Any edit counts, also an undo back to the loaded text: only a save or an open clears the flag.
    modified_ = true;
    OverWriteM->setEnabled(true);
  });
  resize(680, 480);
}

void TFormEditer::buildMenus() {
  QMenu* file = menuBar()->addMenu(u(dialog_texts::kEditorMenuFile));
  QAction* open = file->addAction(u(dialog_texts::kEditorOpen), this, &TFormEditer::OpenMClick);
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  file->addAction(u(dialog_texts::kEditorSaveAs), this, &TFormEditer::SaveAsMClick);
  OverWriteM = file->addAction(u(dialog_texts::kEditorOverwrite), this, &TFormEditer::OverWriteMClick);
  OverWriteM->setObjectName("OverWriteM");
  OverWriteM->setEnabled(false);
  QAction* end = file->addAction(u(dialog_texts::kEditorEnd), this, &QWidget::close);
  end->setObjectName("EndM");

  QMenu* edit = menuBar()->addMenu(u(dialog_texts::kEditorMenuEdit));
  auto add = [this, edit](const char* caption, QKeySequence key, auto slot) {
    QAction* a = edit->addAction(u(caption), memo_, slot);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    return a;
  };
  QAction* cut = add(dialog_texts::kEditorCut, QKeySequence(Qt::CTRL | Qt::Key_X), &QPlainTextEdit::cut);
  QAction* copy = add(dialog_texts::kEditorCopy, QKeySequence(Qt::CTRL | Qt::Key_C), &QPlainTextEdit::copy);
  QAction* paste = add(dialog_texts::kEditorPaste, QKeySequence(Qt::CTRL | Qt::Key_V), &QPlainTextEdit::paste);
  add(dialog_texts::kEditorSelectAll, QKeySequence(Qt::CTRL | Qt::Key_A), &QPlainTextEdit::selectAll);
  QAction* undo = add(dialog_texts::kEditorUndo, QKeySequence(Qt::CTRL | Qt::Key_Z), &QPlainTextEdit::undo);
  QAction* del = edit->addAction(u(dialog_texts::kEditorDelete), this, [this] {
    QTextCursor c = memo_->textCursor();
    if (c.hasSelection()) {
      c.removeSelectedText();
    } else {
      c.deleteChar();
    }
  });
  del->setShortcut(QKeySequence(Qt::Key_Delete));

  QMenu* option = menuBar()->addMenu(u(dialog_texts::kEditorMenuOption));
  QAction* display = option->addAction(u(dialog_texts::kEditorDisplay), this, &TFormEditer::N4Click);
  display->setObjectName("N4");

  // The text's own menu: undo, then the clipboard commands.
  memo_->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* popup = new QMenu(this);
  popup->addAction(undo);
  popup->addSeparator();
  popup->addActions({cut, copy, paste});
  connect(memo_, &QWidget::customContextMenuRequested, this,
          [this, popup](const QPoint& pos) { popup->popup(memo_->viewport()->mapToGlobal(pos)); });
}

QString TFormEditer::statusText() const { return status_->text(); }

bool TFormEditer::isModified() const { return modified_; }

void TFormEditer::setUnmodified() {
  modified_ = false;
  OverWriteM->setEnabled(false);
}

std::string TFormEditer::titlePath() const { return path_; }

bool TFormEditer::loadText(const std::string& path) {
  std::string bytes;
  try {
    bytes = files::readFile(path);
  } catch (const std::exception& e) {
    inform(fromCp932(e.what()));
    return false;
  }
  std::size_t failures = 0;
  QString text = fromCp932(bytes, &failures);
  // A NUL cannot stand in an edit field; it is shown as a replacement mark like a broken byte.
  const qsizetype nuls = text.count(QChar(0));
  text.replace(QChar(0), QChar(QChar::ReplacementCharacter));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace('\r', '\n');
  loading_ = true;
  memo_->setPlainText(text);
  loading_ = false;
  lossyLoad_ = failures > 0 || nuls > 0;
  path_ = path;
  setWindowTitle(fromCp932(path));
  return true;
}

bool TFormEditer::openFile(const std::string& path, int line) {
  if (!loadText(path)) return false;
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
  showPosition();
  setUnmodified();
  Timer1->start();
  return true;
}

void TFormEditer::showText(const std::string& text) {
  std::size_t failures = 0;
  QString shown = fromCp932(text, &failures);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  loading_ = true;
  memo_->setPlainText(shown);
  loading_ = false;
  lossyLoad_ = failures > 0;
  path_.clear();
  setWindowTitle(u(dialog_texts::kEditorCaption));
  memo_->setTextCursor(QTextCursor(memo_->document()));
  showPosition();
  setUnmodified();
}

void TFormEditer::showPosition() {
  const QTextCursor c = memo_->textCursor();
  status_->setText(u(dialog_texts::kEditorLine) + QString::number(c.blockNumber() + 1) +
                   u(dialog_texts::kEditorColumn) + QString::number(c.positionInBlock() + 1));
}

void TFormEditer::OpenMClick() {
  const std::optional<std::string> path = chooseOpenFile();
  if (!path) {
    inform(u(dialog_texts::kEditorNotChosen));
    return;
  }
  // A file just opened holds no edits yet: nothing to save, nothing to ask about at close.
  if (loadText(*path)) setUnmodified();
}

void TFormEditer::SaveAsMClick() {
  const std::optional<std::string> path = chooseSaveFile(files::folderPart(path_));
  if (!path) {
    inform(u(dialog_texts::kEditorNotSaved));
    return;
  }
  saveTo(*path);
}

void TFormEditer::OverWriteMClick() {
  if (!isModified()) {
    inform(u(dialog_texts::kEditorUnchanged));
    return;
  }
  if (!askYesNo(u(dialog_texts::kEditorOverwriteQ))) return;
  if (!askYesNo(u(dialog_texts::kEditorReplaceQ))) return;
  saveToTitle();
}

bool TFormEditer::saveToTitle() {
  std::string path = path_;
  if (path.empty()) {
    // Nothing was opened: the title names no file, so the person names one.
    const std::optional<std::string> chosen = chooseSaveFile(files::currentFolder());
    if (!chosen) {
      inform(u(dialog_texts::kEditorNotSaved));
      return false;
    }
    path = *chosen;
  }
  if (!saveTo(path)) return false;
  if (path_.empty()) {
    path_ = path;
    setWindowTitle(fromCp932(path));
  }
  setUnmodified();
  return true;
}

bool TFormEditer::saveTo(const std::string& path) {
  const cp932::Converted bytes = fileBytes(memo_->toPlainText());
  if (!bytes.ok()) {
    if (!lossyLoad_) {
      inform(u(dialog_texts::kEditorNotCp932));
      return false;
    }
    if (!askYesNo(u(dialog_texts::kEditorLossyQ))) return false;
  }
  try {
    files::writeFile(path, bytes.text);
  } catch (const std::exception& e) {
    inform(fromCp932(e.what()));
    return false;
  }
  return true;
}

void TFormEditer::N4Click() {
  if (!displayDialog_) return;
  displayDialog_->exec();
  displayDialog_->selectTab(kDisplayEditorTab);
}

void TFormEditer::closeEvent(QCloseEvent* event) {
  if (isModified() && askYesNo(u(dialog_texts::kEditorChangedQ)) && askYesNo(u(dialog_texts::kEditorReplaceQ))) {
    // The person asked for the save; when it fails, the window stays so that the edits are not lost.
    if (!saveToTitle()) {
      event->ignore();
      return;
    }
  }
  Timer1->stop();
  event->accept();
}

bool TFormEditer::askYesNo(const QString& text) {
  return QMessageBox::question(this, u(dialog_texts::kMessageCaption), text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

void TFormEditer::inform(const QString& text) {
  QMessageBox::information(this, u(dialog_texts::kMessageCaption), text);
}

std::optional<std::string> TFormEditer::chooseOpenFile() {
  const QString filter = u(dialog_texts::kEditorFilterName) + " (" + u(dialog_texts::kEditorFilterPattern) + ")";
  QFileDialog dialog(this, QString(), QString(), filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return files::fromNative(dialog.selectedFiles().front().toStdString());
}

std::optional<std::string> TFormEditer::chooseSaveFile(const std::string& initialFolder) {
  const QString filter = u(dialog_texts::kEditorFilterName) + " (" + u(dialog_texts::kEditorFilterPattern) + ")";
  const std::optional<std::string> native = files::toNative(initialFolder);
  QFileDialog dialog(this, QString(), native ? QString::fromStdString(*native) : QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return files::fromNative(dialog.selectedFiles().front().toStdString());
}

}  // namespace kelvane
