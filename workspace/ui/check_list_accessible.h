#pragma once
// What assistive tools (screen readers, test drivers) see of a list view over a CheckListModel: a
// list whose rows are list items named by their shown text, which tell whether they can be checked
// and are checked, and offer the toggle action. The toggle checks or unchecks the row exactly as a
// click on its box or the space key does (RowDelegate::toggleCheck), so the window's check handler
// runs for it too. Qt's own list interface offers a toggle that only selects the row.
namespace kelvane {

// Makes every QListView whose model is a CheckListModel use the interface above. Idempotent; needs
// a QApplication. Called by CheckListModel's constructor, so before any such view exists.
void installCheckListAccessibility();

}  // namespace kelvane
