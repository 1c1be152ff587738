#include "platform/process.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"

namespace kelvane::process {
namespace {

using testing::TempDir;

// Waits for the started program to leave its mark; a generous bound, not a timing assumption.
std::string waitForContent(const std::string& path) {
  for (int i = 0; i < 1000; ++i) {
    std::string s = testing::slurp(path);
    if (!s.empty()) return s;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

TEST(SplitCommandLine, SingleSpacesSeparateAndEmptyPiecesStay) {
  EXPECT_EQ(splitCommandLine("xdg-open /a/b"), (std::vector<std::string>{"xdg-open", "/a/b"}));
  EXPECT_EQ(splitCommandLine("ed  -n 5 "), (std::vector<std::string>{"ed", "", "-n", "5", ""}));
  EXPECT_EQ(splitCommandLine("prog"), (std::vector<std::string>{"prog"}));
  EXPECT_TRUE(splitCommandLine("").empty());
}

TEST(Start, RunsDetachedWithNativeArgumentsAndLeavesNoChild) {
  TempDir dir;
  std::string out = dir / "out.txt";
  std::string error;
  ASSERT_TRUE(start({"sh", "-c", "printf %s \"$1\" > \"$0\"", out, cp932::fromUtf8("表①").text}, &error)) << error;
  EXPECT_EQ(waitForContent(out), "表①");
  // the middle child is reaped and the program belongs to init: nothing is left to wait for
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(Start, FailuresAreReportedNotHidden) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(start({"kelvane-no-such-program"}, &error));
  EXPECT_NE(error.find("kelvane-no-such-program"), std::string::npos);
  EXPECT_EQ(error.find(cp932::fromUtf8("プログラムを起動できません").text), 0u);
  // found, but the system refuses to run it: the failure comes back from the started child
  std::string plain = dir.write("plain.txt", "not a program");
  error.clear();
  EXPECT_FALSE(start({plain}, &error));
  EXPECT_NE(error.find(plain), std::string::npos);
  EXPECT_FALSE(start({}, &error));
  EXPECT_FALSE(start({"sh", "bad\x82"}, &error));  // an argument with no native form
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
}  // namespace kelvane::process
