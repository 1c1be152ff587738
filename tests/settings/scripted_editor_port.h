#pragma once
// An EditorPort for tests of the built-in editor: Yes/No answers and chosen files from queues filled
// beforehand, every question and message recorded in order (CP932). A question or chooser with no
// answer queued fails the test and gets No or a cancel.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "settings/editor_document.h"

namespace kelvane::testing {

class ScriptedEditorPort : public EditorPort {
 public:
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> chosen;
  std::vector<std::string> questions, messages;
  bool askYesNo(const std::string& text) override {
    questions.push_back(text);
    EXPECT_FALSE(answers.empty()) << "unexpected question";
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void inform(const std::string& text) override { messages.push_back(text); }
  std::optional<std::string> chooseOpenFile() override { return next(); }
  std::optional<std::string> chooseSaveFile(const std::string&) override { return next(); }

 private:
  std::optional<std::string> next() {
    EXPECT_FALSE(chosen.empty()) << "unexpected chooser";
    if (chosen.empty()) return std::nullopt;
    auto c = chosen.front();
    chosen.pop_front();
    return c;
  }
};

}  // namespace kelvane::testing
