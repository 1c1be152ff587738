#pragma once
// The extension list of the target files and the filter that applies it.
#include <string>
#include <string_view>
#include <vector>

#include "platform/comma_text.h"
#include "settings/settings.h"

namespace kelvane {

// The enabled extension groups, in their fixed order, joined by commas: ".txt", ".htm,.html",
// ".cgi,.pl", ".bat,.inf,.ini", ".csv", ".doc", then the user's own text unchanged (which may be
// empty, leaving a final comma that makes an empty entry).
std::string BuildExtensionList(const Settings& settings);

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
