#include "workspace/row_text.h"

#include <charconv>

#include "filescan/kyoutuu.h"
#include "platform/process.h"
#include "workspace/texts.h"

namespace kelvane {

std::string headerRowPath(std::string_view text) {
  if (text.empty() || text[0] != '"') {
    const std::vector<std::string> fields = splitCommaText(text);
    return fields.empty() ? std::string() : fields[0];
  }
  const std::string_view firstLine = text.substr(0, text.find("\r\n"));
  const std::size_t close = firstLine.rfind("\",");
  if (close == std::string_view::npos || close == 0) {
    const std::vector<std::string> fields = splitCommaText(text);
    return fields.empty() ? std::string() : fields[0];
  }
  return std::string(firstLine.substr(1, close - 1));
}

int matchRowLineNumber(std::string_view text) {
  const WorkspaceTexts& t = texts();
  if (text.substr(0, t.lineOpen.size()) != t.lineOpen) return -1;
  const std::size_t end = text.find(t.lineWord);
  if (end == std::string_view::npos) return -1;
  const std::string_view digits = text.substr(t.lineOpen.size(), end - t.lineOpen.size());
  int value = 0;
  const auto [rest, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || rest != digits.data() + digits.size() || digits.empty()) return -1;
  return value;
}

std::vector<std::string> editorCommand(const ExternalEditor& editor, const std::string& file,
                                       const std::optional<std::string>& word, int line, bool withOptions) {
  std::vector<std::string> argv{editor.path, file};
  const auto append = [&](const std::string& option) {
    for (std::string& piece : process::splitCommandLine(option)) argv.push_back(std::move(piece));
  };
  if (!withOptions) return argv;
  if (!editor.lineOption.empty() && line != -1) append(editor.lineOption + std::to_string(line));
  if (!editor.wordOption.empty()) append(editor.wordOption + word.value_or(""));
  return argv;
}

}  // namespace kelvane
