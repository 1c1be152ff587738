#include "qtcommon/qt_text.h"

#include <QByteArray>

#include "platform/cp932.h"

namespace kelvane {

QString toQ(std::string_view cp932) {
  const cp932::Converted c = cp932::toUtf8(cp932);
  return QString::fromUtf8(c.text.data(), static_cast<qsizetype>(c.text.size()));
}

std::optional<std::string> toCp932Exact(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  cp932::Converted c = cp932::fromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
  if (!c.ok()) return std::nullopt;
  return std::move(c.text);
}

std::string toCp932(const QString& text, bool* lossy) {
  const QByteArray utf8 = text.toUtf8();
  cp932::Converted c = cp932::fromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
  if (lossy) *lossy = !c.ok();
  return std::move(c.text);
}

}  // namespace kelvane
