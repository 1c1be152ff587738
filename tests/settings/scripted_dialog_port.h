#pragma once
// A DialogPort for tests of the settings dialogs: questions answered from queues filled
// beforehand, everything shown recorded in order. A question with no answer queued gets Cancel and
// is recorded in unexpected.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "settings/dialog_port.h"

namespace kelvane::testing {

class ScriptedDialogPort : public DialogPort {
 public:
  std::deque<bool> confirmAnswers;
  std::deque<std::optional<std::string>> programAnswers;
  std::vector<std::string> messages, errors, questions, choosers;
  std::vector<std::string> unexpected;

  void showMessage(const std::string& text) override { messages.push_back(text); }
  void showError(const std::string& text) override { errors.push_back(text); }
  bool confirmOkCancel(const std::string& text) override {
    questions.push_back(text);
    if (confirmAnswers.empty()) {
      unexpected.push_back(text);
      return false;
    }
    const bool ok = confirmAnswers.front();
    confirmAnswers.pop_front();
    return ok;
  }
  std::optional<std::string> chooseProgram(const std::string& title, const std::string& filterName) override {
    choosers.push_back(title + "|" + filterName);
    if (programAnswers.empty()) {
      unexpected.push_back(title);
      return std::nullopt;
    }
    std::optional<std::string> answer = programAnswers.front();
    programAnswers.pop_front();
    return answer;
  }
};

}  // namespace kelvane::testing
