#pragma once
// A colour field: a drop-down list of the named colours, each with a swatch and its name: the
// twenty plain colours and the desktop's scheme colours of the settings file. A colour without a
// name (a "$" value written by hand) is shown as one more entry under its "$" text, so it is
// written back unchanged.
#include <QComboBox>
#include <cstdint>

namespace kelvane {

class ColorField : public QComboBox {
  Q_OBJECT
 public:
  explicit ColorField(QWidget* parent = nullptr);
  std::uint32_t color() const;
  void setColor(std::uint32_t color);

 private:
  void addColor(const QString& name, std::uint32_t value);
};

}  // namespace kelvane
