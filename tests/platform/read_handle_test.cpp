#include "platform/read_handle.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/cp932.h"
#include "platform/files.h"
#include "tests/testing/temp_dir.h"

namespace kelvane::files {
namespace {

using testing::TempDir;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

// The text of the failure to open path, or "" when it opens.
FileError openFailure(const std::string& path) {
  try {
    openForReading(path);
  } catch (const FileError& e) {
    return e;
  }
  return FileError("");
}

TEST(OpenForReading, EachFailureSaysWhatHappenedAfterThePath) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "p.txt").c_str(), 0600), 0);  // the open must not wait for a writer
  ASSERT_EQ(symlink("loop.txt", (dir / "loop.txt").c_str()), 0);
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  strncpy(address.sun_path, (dir / "s.txt").c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  std::string file = dir.write("f.txt", "x");
  const std::string tooLong = dir / std::string(300, 'n');
  struct Case {
    std::string path;
    const char* reason;
    bool notFound;
  };
  const Case cases[] = {
      {dir / "missing.txt", "ファイルまたはフォルダがありません", true},
      {file + "/x.txt", "パスの途中にフォルダでないものがあります", true},
      {dir / "p.txt", "通常のファイルではありません（名前付きパイプ）", false},
      {dir / "s.txt", "通常のファイルではありません（ソケット）", false},
      {"/dev/zero", "通常のファイルではありません（デバイス）", false},
      {dir.path(), "通常のファイルではありません（フォルダ）", false},
      {dir / "loop.txt", "リンクがループしています", false},
      {tooLong, "パスが長すぎます", false},
  };
  for (const Case& c : cases) {
    FileError e = openFailure(c.path);
    EXPECT_EQ(std::string(e.what()), c.path + sj("：") + sj(c.reason)) << c.path;
    EXPECT_EQ(e.notFound(), c.notFound) << c.path;
  }
  close(s);
  // Root reads anything: a child that gave up root meets the locked file.
  std::string locked = dir.write("locked.txt", "x");
  chmod(locked.c_str(), 0);
  const std::string expected = locked + sj("：アクセスが拒否されました");
  EXPECT_EXIT(
      {
        if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
        _exit(std::string(openFailure(locked).what()) == expected ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  // a name with no native form never reaches the system
  EXPECT_EQ(std::string(openFailure("/a\x82").what()), "/a\x82" + sj("：この名前はファイルシステムで扱えません"));
}

TEST(OpenForReading, SystemTextsAreConvertedToCp932) {
  // No text of our own for these: the system's, converted, so it joins a CP932 message cleanly.
  for (int error : {EHOSTDOWN, ENOTCONN, 9999}) {
    std::string reason = reasonText(error);
    char buffer[256];
    EXPECT_EQ(reason, cp932::fromUtf8(strerror_r(error, buffer, sizeof buffer)).text);
    EXPECT_TRUE(cp932::toUtf8(reason).ok()) << reason;
  }
  EXPECT_EQ(reasonText(EACCES), sj("アクセスが拒否されました"));
}

TEST(OpenForReading, ReadsInBlocksThenTheRest) {
  TempDir dir;
  std::string bytes("0123456789\r\n\0abc", 16);
  bytes += std::string(70000, 'x');
  std::string path = dir.write("b.txt", bytes);
  chmod(path.c_str(), 0640);
  ReadHandle file = openForReading(path);
  EXPECT_EQ(file.size(), bytes.size());
  EXPECT_EQ(file.permissions(), 0640u);
  char head[5];
  ASSERT_EQ(file.readBlock(head, 5), 5u);
  EXPECT_EQ(std::string(head, 5), "01234");
  ReadHandle moved = std::move(file);
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(moved.readRest(), bytes.substr(5));
  EXPECT_EQ(moved.readBlock(head, 5), 0u);
  EXPECT_EQ(readFile(path), bytes);
  EXPECT_EQ(openForReading(dir.write("e.txt", "")).readRest(), "");
}

}  // namespace
}  // namespace kelvane::files
