#pragma once
// Runs the built kelvane-grep in a fresh folder through the shell, with its standard input from a
// file, and gives back its exit status and what it wrote.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {

struct Result {
  int status;
  std::string out, err;
};

inline std::string quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string sjis(std::string_view utf8) { return cp932::fromUtf8(utf8).text; }

class Cli : public ::testing::Test {
 protected:
  Result run(const std::vector<std::string>& args, const std::string& input = "") {
    std::string in = dir_.write("_in", input);
    return shell(tool(args) + " <" + quote(in));
  }
  // The tool with its arguments, as a shell command run in the test's folder.
  std::string tool(const std::vector<std::string>& args) const {
    std::string command = quote(std::string(KELVANE_BIN_DIR) + "/kelvane-grep");
    for (const auto& a : args) command += " " + quote(a);
    return command;
  }
  Result shell(const std::string& command) {
    std::string full = "cd " + quote(dir_.path()) + " && { " + command + " ; } >" + quote(dir_ / "_out") + " 2>" +
                       quote(dir_ / "_err");
    int raw = std::system(full.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing::slurp(dir_ / "_out"), testing::slurp(dir_ / "_err")};
  }
  // A prefix that runs a command as a user for whom permission bits count: nobody when the tests
  // run as root (who reads and writes anything), else nothing. The test's folder is opened to that
  // user. Empty optional when root has no way to become nobody.
  std::optional<std::string> asOtherUser() {
    if (geteuid() != 0) return std::string();
    if (std::system("command -v setpriv >/dev/null 2>&1") != 0) return std::nullopt;
    ::chmod(dir_.path().c_str(), 0777);
    return std::string("setpriv --reuid=65534 --regid=65534 --clear-groups ");
  }
  testing::TempDir dir_;
};

}  // namespace kelvane
