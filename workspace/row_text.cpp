#include "workspace/row_text.h"

#include "platform/process.h"

namespace kelvane {

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
