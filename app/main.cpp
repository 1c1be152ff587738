// Program start: the windows are created in their fixed order (the display settings dialog reads
// the settings file only after the main window has loaded it), the main window is shown, and the
// event loop runs until it closes.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include "settings/ui/EditerUnit.h"
#include "settings/ui/Unit2.h"
#include "settings/ui/Unit3.h"
#include "settings/ui/Unit4.h"
#include "settings/ui/Unit5.h"
#include "workspace/dialog_hosts.h"
#include "workspace/ui/Unit1.h"

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
