#pragma once
// The external editor's command line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace kelvane {

// The external editor's command: the editor, the file (one argument each, blanks and all), then,
// withOptions, the line option followed by line when both are there, and the word option followed
// by the word (nothing after it when there is no word). An option is split at single spaces as the
// desktop's starter would split it. Raises nothing.
std::vector<std::string> editorCommand(const ExternalEditor& editor, const std::string& file,
                                       const std::optional<std::string>& word, int line, bool withOptions = true);

}  // namespace kelvane
