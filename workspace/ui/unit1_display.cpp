// TForm1 as the target of the display settings: list colours and fonts, highlight colours, the
// boxes' and the status bar's font sizes, and which bars are shown.
#include <QComboBox>
#include <QListView>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "qtcommon/qt_colors.h"
#include "workspace/ui/Unit1.h"

namespace kelvane {
namespace {

// Font sizes come from a hand-editable file; keep them where a font can still be drawn.
constexpr int kMaxPoints = 400;
int sanePoints(int size) { return std::clamp(size, 1, kMaxPoints); }

// A bar is its font size plus a margin tall; a size past the largest font drawn would overflow the
// sum or make a bar taller than any screen, so the bar stops where its font stops growing.
int barHeight(int size, int margin) {
  return static_cast<int>(std::clamp<long long>(static_cast<long long>(size) + margin, 1, kMaxPoints + margin));
}

QFont withPoints(QFont font, int size) {
  font.setPointSize(sanePoints(size));
  return font;
}

}  // namespace

void TForm1::setListDisplay(int tab, const ListDisplay& display) {
  const ListId id = tab == 1 ? ListId::kResult : tab == 2 ? ListId::kJoin : ListId::kTarget;
  if (tab < 1 || tab > 3) return;
  listDisplays_[tab - 1] = display;
  const int i = listIndex(id);
  QListView* view = views_[i];
  const QPalette& palette = view->palette();
  ListLook look = delegates_[i]->look();
  look.headerBack = toQColor(display.headerBack, palette, palette.color(QPalette::Button));
  look.headerText = toQColor(display.headerText, palette, palette.color(QPalette::ButtonText));
  look.back = toQColor(display.back, palette, palette.color(QPalette::Base));
  look.text = toQColor(display.text, palette, palette.color(QPalette::Text));
  look.font = withPoints(look.font, display.fontSize);
  // The row is as tall as the font: points * dots per inch / 72, rounded.
  look.rowHeight =
      std::max(1, static_cast<int>(std::lround(sanePoints(display.fontSize) * view->logicalDpiY() / 72.0)));
  delegates_[i]->setLook(look);
  advances_[i].clear();  // measured again in the new font

  QPalette p = palette;
  p.setColor(QPalette::Base, look.back);
  p.setColor(QPalette::Text, look.text);
  view->setPalette(p);
  view->setFont(look.font);
  view->doItemsLayout();
  view->viewport()->update();
}

ListDisplay TForm1::listDisplay(int tab) const { return tab >= 1 && tab <= 3 ? listDisplays_[tab - 1] : ListDisplay{}; }

void TForm1::setSearchTextColor(std::uint32_t color) {
  searchTextColor_ = color;
  views_[listIndex(ListId::kResult)]->viewport()->update();
}

void TForm1::setReplaceTextColor(std::uint32_t color) {
  replaceTextColor_ = color;
  views_[listIndex(ListId::kResult)]->viewport()->update();
}

void TForm1::setBoxFontSize(int size) {
  for (QComboBox* box : {ComboBox1, ComboBox2}) box->setFont(withPoints(box->font(), size));
  ToolBar2->setFixedHeight(barHeight(size, 23));
}

void TForm1::setStatusBarFontSize(int size) {
  statusBar()->setFont(withPoints(statusBar()->font(), size));
  statusBar()->setFixedHeight(barHeight(size, 11));
}

void TForm1::setStatusBarVisible(bool visible) { statusBar()->setVisible(visible); }

void TForm1::setToolBarVisible(bool visible) { ToolBar1->setVisible(visible); }

}  // namespace kelvane
