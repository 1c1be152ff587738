// forEachLine against splitLines on random texts: any mix of CR, LF, CR LF and NUL, short files and
// files whose line ends fall around the 1 MB piece boundary.
#include <gtest/gtest.h>

#include <random>

#include "pattern/plain_text.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

std::vector<std::string> streamed(const std::string& path, std::size_t stopAfter = SIZE_MAX) {
  std::vector<std::string> lines;
  forEachLine(path, [&](std::string_view line, std::int64_t lineNo) {
    EXPECT_EQ(lineNo, static_cast<std::int64_t>(lines.size()) + 1);
    lines.emplace_back(line);
    return lines.size() < stopAfter;
  });
  return lines;
}

std::string randomText(std::mt19937& rng, std::size_t length) {
  static const char kBytes[] = {'a', 'b', '\r', '\n', '\r', '\n', '\x88', '\0'};
  std::uniform_int_distribution<int> pick(0, 7), rare(0, 40);
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    char c = kBytes[pick(rng)];
    if (c == '\0' && rare(rng) != 0) c = 'z';  // a NUL ends the text: keep it rare
    text += c;
  }
  return text;
}

TEST(LineSplit, RandomTextsGiveTheLoadedLines) {
  testing::TempDir dir;
  std::mt19937 rng(20261207);
  std::uniform_int_distribution<std::size_t> length(0, 60);
  for (int round = 0; round < 400; ++round) {
    std::string text = randomText(rng, length(rng));
    std::string path = dir.write("r.txt", text);
    EXPECT_EQ(streamed(path), splitLines(text)) << round;
  }
  const std::size_t piece = 1 << 20;
  for (int round = 0; round < 12; ++round) {
    std::string text = std::string(piece - 8, 'x') + randomText(rng, 16);
    std::string path = dir.write("b.txt", text);
    EXPECT_EQ(streamed(path), splitLines(text)) << round;
  }
}

TEST(LineSplit, StopsWhenTheCallerSaysSo) {
  testing::TempDir dir;
  std::string path = dir.write("s.txt", "a\r\nb\rc\nd");
  EXPECT_EQ(streamed(path, 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(streamed(path), (std::vector<std::string>{"a", "b", "c", "d"}));
}

}  // namespace
}  // namespace kelvane
