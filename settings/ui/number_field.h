#pragma once
// A number field with up and down buttons that step by 1. It lets in digits and sign characters
// only; text that is not a number counts as the field's minimum. A field with limits pulls its value
// into them when it is set and when it loses the focus (a typed 150 in a 9..99 field becomes 99).
#include <QAbstractSpinBox>
#include <optional>

namespace kelvane {

class NumberField : public QAbstractSpinBox {
  Q_OBJECT
 public:
  // Without limits, minimum is only what a field that holds no number counts as.
  NumberField(int minimum, std::optional<int> maximum, QWidget* parent = nullptr);

  int value() const;
  void setValue(int value);
  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int pulled(int value) const;

  int minimum_;
  std::optional<int> maximum_;
};

}  // namespace kelvane
