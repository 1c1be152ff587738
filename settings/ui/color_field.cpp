#include "settings/ui/color_field.h"

#include <QPainter>
#include <QPixmap>

#include "qtcommon/qt_colors.h"
#include "settings/colors.h"

namespace kelvane {
namespace {

constexpr int kListedColors = 50;  // the plain and scheme colours; clNone and clDefault are not offered

QIcon swatch(const QColor& color) {
  QPixmap pixmap(16, 12);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.setBrush(color);
  painter.drawRect(0, 0, 15, 11);
  return QIcon(pixmap);
}

}  // namespace

ColorField::ColorField(QWidget* parent) : QComboBox(parent) {
  const auto& colors = namedColors();
  for (int i = 0; i < kListedColors && i < static_cast<int>(colors.size()); ++i)
    addColor(QString::fromLatin1(colors[i].name), colors[i].value);
  setMaxVisibleItems(16);
}

void ColorField::addColor(const QString& name, std::uint32_t value) {
  addItem(swatch(toQColor(value, palette(), palette().color(QPalette::Base))), name, QVariant::fromValue(value));
}

std::uint32_t ColorField::color() const { return currentData().value<std::uint32_t>(); }

void ColorField::setColor(std::uint32_t color) {
  int index = findData(QVariant::fromValue(color));
  if (index < 0) {
    addColor(QString::fromStdString(colorToText(color)), color);
    index = count() - 1;
  }
  setCurrentIndex(index);
}

}  // namespace kelvane
