#include "settings/ui/number_field.h"

#include <QLineEdit>
#include <algorithm>
#include <climits>

#include "settings/display_form.h"

namespace kelvane {

NumberField::NumberField(int minimum, std::optional<int> maximum, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
  setValue(minimum);
}

int NumberField::pulled(int value) const { return maximum_ ? std::clamp(value, minimum_, *maximum_) : value; }

int NumberField::value() const {
  const QByteArray text = lineEdit()->text().toLatin1();
  return pulled(spinEditValue(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), minimum_));
}

void NumberField::setValue(int value) { lineEdit()->setText(QString::number(pulled(value))); }

void NumberField::stepBy(int steps) {
  // Stepping past the ends of an int stays at the end rather than wrapping round.
  const long long next = static_cast<long long>(value()) + steps;
  setValue(static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
  lineEdit()->selectAll();
}

QValidator::State NumberField::validate(QString& input, int&) const {
  for (QChar c : input) {
    if (!c.isDigit() && c != '+' && c != '-') return QValidator::Invalid;
    if (c.unicode() > 0x7F) return QValidator::Invalid;  // full-width and other scripts' digits
  }
  return QValidator::Acceptable;
}

void NumberField::focusOutEvent(QFocusEvent* event) {
  if (maximum_) setValue(value());
  QAbstractSpinBox::focusOutEvent(event);
}

}  // namespace kelvane
