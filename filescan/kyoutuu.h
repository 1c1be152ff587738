#pragma once
// The extension filter of the target files: which files of a folder an extension list wants.
#include <string>
#include <string_view>
#include <vector>

#include "platform/comma_text.h"

namespace kelvane {

// The extension of a path: from the last dot after the last "/", the dot included; empty when the
// name has no dot.
std::string_view fileExtension(std::string_view path);

// The extension filter: a file is wanted once for every entry of the list that equals its extension,
// compared without regard to case (the CP932 locale's upper-casing).
class ExtensionFilter {
 public:
  explicit ExtensionFilter(const std::string& extensionList);
  // How many times the file at path is wanted (0 when not at all).
  int wantedCount(std::string_view path) const;

 private:
  std::vector<std::string> upperEntries_;
};

}  // namespace kelvane
