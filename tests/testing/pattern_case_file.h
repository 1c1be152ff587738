#pragma once
// Table-driven test cases kept as text files, written in UTF-8 and handed out as CP932.
//
// Format of a case file:
//   * one case per line; blank lines and lines starting with "#" are skipped;
//   * fields are separated by " ⟶ " (space, U+27F6, space); the first field is taken exactly as written,
//     spaces included, so a pattern may begin or end with a space;
//   * every field is converted from UTF-8 to CP932, then "⟨XX⟩" (two hex digits between U+27E8 and
//     U+27E9) is replaced by the raw byte 0xXX; this writes bytes that have no UTF-8 form (a lone lead
//     byte, a NUL, a TAB). Neither bracket nor the arrow has a CP932 form, so none can be meant literally.
#include <string>
#include <string_view>
#include <vector>

namespace kelvane::testing {

struct CaseLine {
  int lineNo = 0;                   // 1-based line of the file, for failure messages
  std::vector<std::string> fields;  // CP932
};

// The cases of the file at `path`. Raises std::runtime_error when the file cannot be read or a field
// has no CP932 form.
std::vector<CaseLine> readCaseFile(const std::string& path);

// A UTF-8 text with "⟨XX⟩" byte escapes as CP932 bytes. Raises std::runtime_error when it has no CP932 form.
std::string cp932Case(std::string_view utf8);

}  // namespace kelvane::testing
