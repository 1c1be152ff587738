#pragma once
// Reading paths and line numbers back from the row texts of the main window's lists, and the
// external editor's command line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace kelvane {

// The path of a folder header row, a result header row or a join content row: the text between the
// opening double quote and the last double quote followed by a comma on the row's first line (so a
// path holding commas, blanks or quotes comes back whole). A row that does not open with a double
// quote gives its first comma-separated field. Raises nothing.
std::string headerRowPath(std::string_view text);

// The line number of a match row: the text before the first "列目" without its opening "【", read as
// a decimal number. -1 when it is not one. Raises nothing.
int matchRowLineNumber(std::string_view text);

// The external editor's command: the editor, the file (one argument each, blanks and all), then,
// withOptions, the line option followed by line when both are there, and the word option followed
// by the word (nothing after it when there is no word). An option is split at single spaces as the
// desktop's starter would split it. Raises nothing.
std::vector<std::string> editorCommand(const ExternalEditor& editor, const std::string& file,
                                       const std::optional<std::string>& word, int line, bool withOptions = true);

}  // namespace kelvane
