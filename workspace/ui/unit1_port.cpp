// TForm1 as the Workspace's UiPort: the person at the screen and the desktop, through Qt.
#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/process.h"
#include "qtcommon/qt_boxes.h"
#include "qtcommon/qt_text.h"
#include "settings/ui/EditerUnit.h"
#include "settings/ui/Unit2.h"
#include "settings/ui/Unit3.h"
#include "settings/ui/Unit4.h"
#include "settings/ui/Unit5.h"
#include "workspace/ui/Unit1.h"
#include "workspace/ui/check_list_model.h"
#include "workspace/ui/ui_texts.h"

namespace kelvane {
namespace {

std::optional<std::string> chooseFile(QWidget* parent, bool save, const std::string& title,
                                      const std::vector<FileFilter>& filters, const std::string& initialFolder,
                                      const std::string& defaultExtension) {
  qt_boxes::FileChoice choice;
  choice.save = save;
  choice.title = title;
  for (const FileFilter& f : filters) choice.filters.push_back({f.name, f.pattern});
  choice.initialFolder = initialFolder;
  choice.defaultExtension = defaultExtension;
  return qt_boxes::chooseFile(parent, choice);
}

}  // namespace

void TForm1::showMessage(const std::string& text) {
  if (answerer_ && answerer_->message("message", text)) return;
  qt_boxes::inform(this, text);
}

void TForm1::showError(const std::string& text) {
  if (answerer_ && answerer_->message("error", text)) return;
  qt_boxes::error(this, text);
}

bool TForm1::confirmOkCancel(const std::string& text) {
  if (const std::optional<bool> answer = answerer_ ? answerer_->confirm(text) : std::nullopt) return *answer;
  return qt_boxes::okCancel(this, text);
}

bool TForm1::askYesNo(const std::string& text) {
  if (const std::optional<bool> answer = answerer_ ? answerer_->confirm(text) : std::nullopt) return *answer;
  return qt_boxes::yesNo(this, text);
}

std::optional<std::string> TForm1::inputBox(const std::string& caption, const std::string& prompt,
                                            const std::string& initial) {
  if (auto answer = answerer_ ? answerer_->input(caption, prompt) : std::nullopt) return *answer;
  for (QString value = toQ(initial);;) {
    QInputDialog dialog(this);
    dialog.setWindowTitle(toQ(caption));
    dialog.setLabelText(toQ(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    // A line edit keeps 32767 characters unless told otherwise: a longer text (a replacement pasted
    // in) would be cut without a word and the cut text written to the files.
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) edit->setMaxLength(std::numeric_limits<int>::max());
    dialog.setTextValue(value);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    value = dialog.textValue();
    if (std::optional<std::string> text = toCp932Exact(value)) return text;
    // A character Shift-JIS cannot hold would be written as "?": the person corrects it instead.
    qt_boxes::warn(this, toCp932(QString::fromUtf8(ui_texts::kTextNotCp932)));
  }
}

std::optional<std::string> TForm1::browseFolder(const std::string& prompt) {
  if (auto answer = answerer_ ? answerer_->folder(prompt) : std::nullopt) return *answer;
  const HistoryBox& box = ws_->ComboBox2;
  const bool fromBox = box.count() > 0 && files::folderExists(box.item(0)) && files::toNative(box.item(0));
  return qt_boxes::chooseFolder(this, prompt, fromBox ? box.item(0) : ws_->StartupFolder());
}

std::optional<std::string> TForm1::chooseOpenFile(const std::string& title, const std::vector<FileFilter>& filters,
                                                  const std::string& initialFolder,
                                                  const std::string& defaultExtension) {
  return chooseFile(this, false, title, filters, initialFolder, defaultExtension);
}

std::optional<std::string> TForm1::chooseSaveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                                  const std::string& initialFolder,
                                                  const std::string& defaultExtension) {
  return chooseFile(this, true, title, filters, initialFolder, defaultExtension);
}

int TForm1::textWidth(ListId list, const std::string& text) {
  // Shaping a whole row costs tens of microseconds, and a search may measure a million rows. The
  // width is the sum of the widths of its characters, each measured once per font; CR and LF count
  // as the blanks the lists draw for them. The widths are kept in sixteenths of a pixel: rounded to
  // whole pixels, a row of characters 9.4 pixels wide would come out 120 pixels short per 300, and
  // its end could never be scrolled into view.
  std::vector<std::int16_t>& cache = advances_[listIndex(list)];
  if (cache.empty()) cache.assign(0x10000, -1);
  const QFontMetricsF metrics(look(list).font);
  std::int64_t sixteenths = 0;
  // Only the shown part of a row counts: the list is as wide as what it can draw.
  const std::size_t shown = CheckListModel::shownLength(text);
  for (std::size_t i = 0; i < shown;) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool pair = cp932::isLeadByte(b) && i + 1 < shown;
    unsigned code = pair ? (b << 8) | static_cast<unsigned char>(text[i + 1]) : b;
    if (code == '\r' || code == '\n') code = ' ';
    std::int16_t& advance = cache[code];
    if (advance < 0) {
      const std::string one =
          code > 0xFF ? std::string{char(code >> 8), char(code & 0xFF)} : std::string(1, char(code));
      advance =
          static_cast<std::int16_t>(std::clamp(std::lround(metrics.horizontalAdvance(toQ(one)) * 16), 0L, 0x7FFFL));
    }
    sixteenths += advance;
    i += pair ? 2 : 1;
  }
  return static_cast<int>((sixteenths + 15) / 16);
}

int TForm1::rowHeight(ListId list) { return look(list).rowHeight; }

void TForm1::processMessages() {
  // Asked before every reported line: handling events each time would cost more than the search
  // itself (tens of microseconds each). A few times a second keeps the window painted and the stop
  // key answered just as well.
  if (pumpClock_.isValid() && pumpClock_.elapsed() < kPumpIntervalMs) return;
  QCoreApplication::processEvents();
  pumpClock_.start();
}

bool TForm1::startProcess(const std::vector<std::string>& argv, std::string* error) {
  return process::start(argv, error);
}

bool TForm1::openDocument(const std::string& path, std::string* error) {
  const std::optional<std::string> native = files::toNative(path);
  if (native && QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(*native)))) return true;
  // Without a desktop session Qt has no opener of its own; the platform's starter may still have one.
  return process::openDocument(path, error);
}

bool TForm1::showDialog(Dialog dialog) {
  QDialog* d = nullptr;
  switch (dialog) {
    case Dialog::kOptions:
      d = options_;
      break;
    case Dialog::kAbout:
      d = about_;
      break;
    case Dialog::kDisplay:
    case Dialog::kDisplayFirstTab:
      d = display_;
      break;
    case Dialog::kHistoryCleanup:
      d = history_;
      break;
  }
  if (!d) return false;
  const bool ok = d->exec() == QDialog::Accepted;
  if (dialog == Dialog::kDisplayFirstTab) display_->selectFirstTab();
  return ok;
}

void TForm1::prepareEditor(TFormEditer* editor) {
  editor->setDisplayDialog(display_);
  editor->setTempFolder(ws_->tempFolder());
}

TFormEditer* TForm1::ensureEditor() {
  if (!editor_) editor_ = new TFormEditer(nullptr);
  prepareEditor(editor_);
  return editor_;
}

void TForm1::openInBuiltInEditor(const std::string& file, int line) {
  TFormEditer* editor = ensureEditor();
  editor->openFile(file, line);
  editor->show();
  editor->raise();
  editor->activateWindow();
}

void TForm1::showTextInBuiltInEditor(const std::string& text) {
  // Edits not yet saved in the open editor are not thrown away: the text gets an editor of its own.
  TFormEditer* editor = editor_ && editor_->isModified() ? new TFormEditer(nullptr) : ensureEditor();
  prepareEditor(editor);
  editor->showText(text);
  editor->show();
  editor->raise();
  editor->activateWindow();
}

void TForm1::showBuiltInEditor() {
  TFormEditer* editor = ensureEditor();
  QEventLoop loop;
  connect(editor, &QObject::destroyed, &loop, &QEventLoop::quit);
  editor->setWindowModality(Qt::ApplicationModal);
  editor->show();
  loop.exec();
}

}  // namespace kelvane
