#include "settings/ui/EditerUnit.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include "qtcommon/qt_boxes.h"
#include "qtcommon/qt_text.h"
#include "settings/ui/Unit4.h"
#include "settings/ui/dialog_texts.h"

namespace kelvane {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

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
    doc_.edited();
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

bool TFormEditer::isModified() const { return doc_.modified(); }

std::string TFormEditer::windowText() const {
  const QByteArray utf8 = memo_->toPlainText().toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void TFormEditer::showDocument() {
  const std::string& shown = doc_.shownText();
  loading_ = true;
  memo_->setPlainText(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
  loading_ = false;
  followDocument();
}

void TFormEditer::followDocument() {
  setWindowTitle(doc_.path().empty() ? u(dialog_texts::kEditorCaption) : toQ(doc_.path()));
  OverWriteM->setEnabled(doc_.modified());
}

bool TFormEditer::openFile(const std::string& path, int line) {
  if (!doc_.load(path)) return false;
  showDocument();
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
  Timer1->start();
  return true;
}

void TFormEditer::showText(const std::string& text) {
  doc_.showText(text);
  showDocument();
  memo_->setTextCursor(QTextCursor(memo_->document()));
  showPosition();
}

void TFormEditer::showPosition() {
  const QTextCursor c = memo_->textCursor();
  status_->setText(u(dialog_texts::kEditorLine) + QString::number(c.blockNumber() + 1) +
                   u(dialog_texts::kEditorColumn) + QString::number(c.positionInBlock() + 1));
}

// A file just opened holds no edits yet: nothing to save, nothing to ask about at close.
void TFormEditer::OpenMClick() {
  if (doc_.openChosen()) showDocument();
}

void TFormEditer::SaveAsMClick() { doc_.saveAs(windowText()); }

void TFormEditer::OverWriteMClick() {
  doc_.overwrite(windowText());
  followDocument();
}

void TFormEditer::N4Click() {
  if (!displayDialog_) return;
  displayDialog_->exec();
  displayDialog_->selectTab(kDisplayEditorTab);
}

void TFormEditer::closeEvent(QCloseEvent* event) {
  const bool closes = doc_.close(windowText());
  followDocument();
  if (!closes) {
    // The person asked for the save and it did not happen: the window stays so the edits are not lost.
    event->ignore();
    return;
  }
  Timer1->stop();
  event->accept();
}

bool TFormEditer::askYesNo(const std::string& text) { return qt_boxes::yesNo(this, text); }

void TFormEditer::inform(const std::string& text) { qt_boxes::inform(this, text); }

std::optional<std::string> TFormEditer::chooseOpenFile() {
  qt_boxes::FileChoice choice;
  choice.filters = {{toCp932(u(dialog_texts::kEditorFilterName)), toCp932(u(dialog_texts::kEditorFilterPattern))}};
  choice.defaultExtension = "txt";
  return qt_boxes::chooseFile(this, choice);
}

std::optional<std::string> TFormEditer::chooseSaveFile(const std::string& initialFolder) {
  qt_boxes::FileChoice choice;
  choice.save = true;
  choice.filters = {{toCp932(u(dialog_texts::kEditorFilterName)), toCp932(u(dialog_texts::kEditorFilterPattern))}};
  choice.initialFolder = initialFolder;
  choice.defaultExtension = "txt";
  choice.confirmOverwrite = true;  // "名前を付けて保存" over another file asks first
  return qt_boxes::chooseFile(this, choice);
}

}  // namespace kelvane
