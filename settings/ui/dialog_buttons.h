#pragma once
// The two buttons every settings dialog ends with: the confirming one (Button2) and "Cancel"
// (Button1), wired to accept and reject.
#include <QDialog>
#include <QDialogButtonBox>

namespace kelvane {

// Makes the button box of `dialog` with the confirming button captioned okCaption (UTF-8).
QDialogButtonBox* makeDialogButtons(QDialog* dialog, const char* okCaption);

}  // namespace kelvane
