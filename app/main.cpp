// Program start: the windows are created in their fixed order (the display settings dialog reads
// the settings file only after the main window has loaded it), the main window is shown, and the
// event loop runs until it closes.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include "platform/files.h"
#include "settings/ui/EditerUnit.h"
#include "settings/ui/Unit2.h"
#include "settings/ui/Unit3.h"
#include "settings/ui/Unit4.h"
#include "settings/ui/Unit5.h"
#include "workspace/dialog_hosts.h"
#include "workspace/ui/Unit1.h"

#ifndef KELVANE_HELP_FROM_BIN
#define KELVANE_HELP_FROM_BIN "../share/kelvane"
#endif

namespace {

// Installed, the guide sits in the share folder beside the program's bin folder; the program is
// started from any folder (the menu starts it in the user's configuration folder), so it is found
// from the executable, wherever the package put it.
std::string installedHelp() {
  const QString path = QDir::cleanPath(QApplication::applicationDirPath() + "/" KELVANE_HELP_FROM_BIN "/kelvane.html");
  return kelvane::files::fromNative(path.toStdString()).value_or(std::string());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Kelvane");
  // The program speaks Japanese; so should Qt's own dialogs (file chooser, buttons), when their
  // translation is installed.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  kelvane::TForm1 form1;
  form1.workspace().setInstalledHelp(installedHelp());
  kelvane::WorkspaceDialogHost dialogHost(form1.workspace());
  kelvane::TForm2 form2(dialogHost, &form1);
  kelvane::TForm3 form3(&form1);
  kelvane::TForm4 form4(dialogHost, &form1);
  QPointer<kelvane::TFormEditer> editer = new kelvane::TFormEditer(nullptr);  // deletes itself when closed
  kelvane::TForm5 form5(dialogHost, &form1);
  form1.setSecondaryWindows(&form2, &form3, &form4, &form5);
  form1.setEditor(editer);

  form1.show();
  const int code = QApplication::exec();
  delete editer.data();  // still there when it was never closed
  return code;
}
