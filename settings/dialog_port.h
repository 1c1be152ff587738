#pragma once
// What the settings dialogs ask of the person at the screen. The Qt dialogs answer with message
// boxes and a file chooser over themselves; the tests answer from a script. Texts are CP932.
#include <optional>
#include <string>

namespace kelvane {

class DialogPort {
 public:
  virtual ~DialogPort() = default;
  // A message box with an OK button.
  virtual void showMessage(const std::string& text) = 0;
  // An error box (a write the file system refused, a colour the settings file cannot give).
  virtual void showError(const std::string& text) = 0;
  // A confirmation box with OK and Cancel: true for OK.
  virtual bool confirmOkCancel(const std::string& text) = 0;
  // The chooser of a program to start: title, and the one filter's name, which lists the files
  // that can be started. nullopt when cancelled; otherwise the program's full path.
  virtual std::optional<std::string> chooseProgram(const std::string& title, const std::string& filterName) = 0;
};

}  // namespace kelvane
