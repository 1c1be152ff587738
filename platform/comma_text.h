#pragma once
// Comma-delimited text with double-quote quoting, as the settings file stores a history list and as
// the program reads the path back from a header row.
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// Splits comma-delimited text: entries are separated by commas or by blanks and control characters
// (codes 1 to 32); a double quote opens a quoted entry (a doubled quote inside stands for one); two
// commas in a row or a comma at the end give an empty entry; a NUL ends the text. Double-byte
// characters are stepped over whole, so a trail byte is never taken for a quote, comma or blank.
std::vector<std::string> splitCommaText(std::string_view text);

}  // namespace kelvane
