#pragma once
// Crossing between the program's CP932 texts and the QStrings of the widgets.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

// CP932 -> QString. Bytes with no Unicode counterpart show as U+FFFD; never raises.
QString toQ(std::string_view cp932);

// QString -> CP932 when every character has a CP932 form; nullopt otherwise.
std::optional<std::string> toCp932Exact(const QString& text);

// QString -> CP932, characters with no CP932 form replaced by "?" (what a Shift-JIS edit field would
// have kept). *lossy, when given, tells whether anything was replaced.
std::string toCp932(const QString& text, bool* lossy = nullptr);

}  // namespace kelvane
