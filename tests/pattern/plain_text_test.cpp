#include "pattern/plain_text.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/files.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

TEST(PlainLineMatch, NeverStartsOnATrailByte) {
  // 表 = 0x95 0x5C, ソ = 0x83 0x5C, ア = 0x83 0x41.
  EXPECT_FALSE(PlainLineMatch("\x95\x5C", "\\", true));
  EXPECT_TRUE(PlainLineMatch("\x95\x5C\\", "\\", true));
  EXPECT_FALSE(PlainLineMatch("\x83\x41", "A", true));
  EXPECT_TRUE(
      PlainLineMatch("\x83\x41"
                     "A",
                     "A", true));
  // "\x5C\x83" occurs at a trail byte and again, later, on a boundary.
  EXPECT_TRUE(PlainLineMatch("\x95\x5C\x83\x41\x5C\x83\x41", "\x5C\x83", true));
  EXPECT_FALSE(PlainLineMatch("\x95\x5C\x83\x41", "\x5C\x83", true));
  EXPECT_TRUE(PlainLineMatch("abc", "", true));
  EXPECT_FALSE(PlainLineMatch("", "a", true));
  EXPECT_FALSE(PlainLineMatch("ab", "abc", true));
}

TEST(PlainLineMatch, CaseInsensitiveUpperCasesBothTexts) {
  EXPECT_TRUE(PlainLineMatch("xABCx", "abc", false));
  EXPECT_FALSE(PlainLineMatch("xABCx", "abc", true));
  EXPECT_TRUE(PlainLineMatch("\x82\x60", "\x82\x81", false));  // Ａ and ａ
  // The trail byte 0x61 of a double-byte character is not the letter a.
  EXPECT_FALSE(PlainLineMatch("\x83\x61", "A", false));
}

TEST(LineList, SplitsAtEveryLineEndAndStopsAtNul) {
  using V = std::vector<std::string>;
  EXPECT_EQ(splitLines(""), V{});
  EXPECT_EQ(splitLines("abc"), V{"abc"});
  EXPECT_EQ(splitLines("a\r\nb\r\n"), (V{"a", "b"}));
  EXPECT_EQ(splitLines("a\nb\rc\r\n\r\nd"), (V{"a", "b", "c", "", "d"}));
  EXPECT_EQ(splitLines("a\n\rb"), (V{"a", "", "b"}));
  EXPECT_EQ(splitLines("\r\n"), V{""});
  EXPECT_EQ(splitLines(std::string("a\r\nb\0c\r\nd", 9)), (V{"a", "b"}));
  EXPECT_EQ(joinLines(V{"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(joinLines(V{}), "");
}

TEST(LineList, SaveAndLoadGiveCrLfThroughout) {
  testing::TempDir dir;
  std::string path = dir.write("x.txt", "\x95\x5C\nb\rc");
  auto lines = loadLines(path);
  ASSERT_EQ(lines.size(), 3u);
  saveLines(path, lines);
  EXPECT_EQ(testing::slurp(path), "\x95\x5C\r\nb\r\nc\r\n");
  EXPECT_EQ(loadLines(path), lines);
  EXPECT_ANY_THROW(loadLines(dir / "missing.txt"));
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST(LineList, StreamedLinesEqualLoadedLines) {
  testing::TempDir dir;
  // Pieces of 1 MB: put line ends (CR | LF) and a NUL around the piece boundary.
  std::string big(1 << 20, 'x');
  const std::vector<std::string> texts = {"",
                                          "a",
                                          "a\r\n",
                                          "a\r\nb",
                                          "\r\r\n\n",
                                          big.substr(1) + "\r\nz",
                                          big.substr(1) + "\r" + "\nz",
                                          big + "\rq\r",
                                          big + "\n",
                                          std::string("ab\0cd\r\n", 7),
                                          big.substr(2) + "\r\n\r\n"};
  for (const auto& text : texts) {
    std::string path = dir.write("s.txt", text);
    std::vector<std::string> streamed;
    forEachLine(path, [&](std::string_view line, std::int64_t lineNo) {
      EXPECT_EQ(lineNo, static_cast<std::int64_t>(streamed.size()) + 1);
      streamed.emplace_back(line);
      return true;
    });
    EXPECT_EQ(streamed, splitLines(text)) << text.size();
  }
  EXPECT_ANY_THROW(forEachLine(dir / "missing.txt", [](std::string_view, std::int64_t) { return true; }));
  // the plain search refuses what the reader refuses, in the same words
  try {
    forEachLine(dir.path(), [](std::string_view, std::int64_t) { return true; });
    FAIL();
  } catch (const files::FileError& e) {
    EXPECT_EQ(std::string(e.what()), dir.path() + cp932::fromUtf8("：通常のファイルではありません（フォルダ）").text);
  }
}

}  // namespace
}  // namespace kelvane
