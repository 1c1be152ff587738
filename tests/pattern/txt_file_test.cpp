// The reader's window, read one character at a time by the reference reader (GetChar, NextChar while
// an attempt goes on, GetLine on success), must give what the whole file decoded gives, at every
// block size.
#include "pattern/txt_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "platform/cp932.h"
#include "tests/testing/reference_reader.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

const std::size_t kBlockSizes[] = {1, 2, 3, 7, 102400};

std::vector<std::uint16_t> codesOf(std::string_view text) {
  std::vector<std::uint16_t> codes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b >= 0x81 && (b <= 0x9F || b >= 0xE0) && b <= 0xFC && i + 1 < text.size() && text[i + 1] != '\n') {
      codes.push_back(static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(text[++i])));
    } else {
      codes.push_back(b);
    }
  }
  return codes;
}

void expectSameAtEveryBlockSize(const std::string& content, std::string_view literal, const std::string& expected) {
  testing::TempDir dir;
  std::string path = dir.write("f.txt", content);
  auto automaton = testing::literalAutomaton(codesOf(literal));
  EXPECT_EQ(testing::formatLines(testing::referenceGrep(content, automaton)), expected) << "reference";
  for (std::size_t size : kBlockSizes) {
    EXPECT_EQ(testing::formatLines(testing::readerGrep(path, automaton, size)), expected) << "block size " << size;
  }
}

TEST(TxtFile, LineEndsAndLineNumbers) {
  expectSameAtEveryBlockSize("abc", "b", "1:abc\n");
  expectSameAtEveryBlockSize("x\r\nab\r\nab ab\r\n", "ab", "2:ab\n3:ab ab\n");
  expectSameAtEveryBlockSize("ab\rx\rab", "ab", "1:ab\n3:ab\n");               // lone CR ends a line
  expectSameAtEveryBlockSize("a\n\r\nb\r\r\nab\n", "b", "3:b\n5:ab\n");        // CR CR LF: two line ends
  expectSameAtEveryBlockSize(std::string("a\0b\r\nab", 7), "a b", "1:a b\n");  // NUL reads as a blank
  expectSameAtEveryBlockSize("aab\n", "ab", "1:aab\n");
}

TEST(TxtFile, LineEndsAsCharacters) {
  // "\n" in the literal is how ^ and $ reach the reader: every line, the first and last included.
  expectSameAtEveryBlockSize("a\r\nb\r\nc", "\n", "1:a\n2:b\n3:c\n");
  expectSameAtEveryBlockSize("abc\nxabc\r\nabc", "\nabc", "1:abc\n3:abc\n");
  expectSameAtEveryBlockSize("abc\nabcx\rabc", "abc\n", "1:abc\n3:abc\n");
  // A match that reads across a line end reports the line where it started.
  expectSameAtEveryBlockSize("xa\r\nbx\r\na\r\nb", "a\nb", "1:xa\n3:a\n");
}

TEST(TxtFile, DoubleByteCharacters) {
  // 表 is 0x95 0x5C: the trail byte is a backslash; ア is 0x83 0x41: the trail byte is "A".
  std::string text = "\x95\x5C\x8E\xA6\r\nA\x83\x41\r\n\x83\x41";
  expectSameAtEveryBlockSize(text, "A", "2:A\x83\x41\n");
  expectSameAtEveryBlockSize(text, "\\", "");
  expectSameAtEveryBlockSize(text, "\x83\x41", "2:A\x83\x41\n3:\x83\x41\n");
  // A lead byte before a line end or at the end of the file is a one-byte character.
  expectSameAtEveryBlockSize("a\x82\r\nb\x82", "b", "2:b\x82\n");
  expectSameAtEveryBlockSize("a\x82\r\nb\x82", "\x82\n", "1:a\x82\n2:b\x82\n");
}

TEST(TxtFile, LongLinesAcrossBlocks) {
  std::string longLine(5000, 'x');
  std::string content = "a\r\n" + longLine + "needle" + longLine + "\r\nb\r\n" + longLine;
  expectSameAtEveryBlockSize(content, "needle", "2:" + longLine + "needle" + longLine + "\n");
  expectSameAtEveryBlockSize(content, "b", "3:b\n");
}

TEST(TxtFile, RandomFilesMatchTheReference) {
  std::mt19937 rng(20261207);
  const std::vector<std::string> pieces = {"a",    "b",        "\r",       "\n",       "\r\n", std::string(1, '\0'),
                                           "\xB1", "\x82\xA0", "\x95\x5C", "\x83\x41", "\x82"};
  const std::vector<std::string> literals = {"a",        "ab", "\n", "\na",  "a\n",
                                             "\x82\xA0", "A",  "\\", "b\na", "\xB1\x82\xA0"};
  testing::TempDir dir;
  for (int round = 0; round < 150; ++round) {
    std::string content;
    int n = static_cast<int>(rng() % (round % 3 == 0 ? 400 : 40));  // long files reach the 16-byte chunks
    for (int i = 0; i < n; ++i) content += pieces[rng() % pieces.size()];
    std::string path = dir.write("r.txt", content);
    const std::string& literal = literals[rng() % literals.size()];
    auto automaton = testing::literalAutomaton(codesOf(literal));
    std::string expected = testing::formatLines(testing::referenceGrep(content, automaton));
    for (std::size_t size : kBlockSizes) {
      ASSERT_EQ(testing::formatLines(testing::readerGrep(path, automaton, size)), expected)
          << "round " << round << " block size " << size;
    }
  }
}

// Blocks are normalised in place, 16 bytes at a time: a CR LF or NUL inside a chunk once shifted the
// bytes after it and repeated a letter ("xab" read as "xabb").
TEST(TxtFile, NormalisingInPlaceKeepsTheBytesAfterALineEnd) {
  expectSameAtEveryBlockSize("ab ab ab\r\nx\r\nxab\r\n", "ab", "1:ab ab ab\n3:xab\n");
  std::string content;
  for (int i = 0; i < 40; ++i)
    content += std::string(static_cast<std::size_t>(i % 23), 'a') + (i % 3 ? "\r\n" : "\r") + "z";
  content += std::string("0123456789abcdef\0ghijklmnopqrstuv\r\nwxyz", 39);
  std::string expected = testing::formatLines(testing::referenceGrep(content, testing::literalAutomaton({'z'})));
  EXPECT_NE(expected.find("ghijklmnopqrstuv"), std::string::npos);
  expectSameAtEveryBlockSize(content, "z", expected);
}

// With one-byte blocks the window can be empty when a block holding only a CR arrives; the reader
// once looked at the byte before the window then (caught by AddressSanitizer).
TEST(TxtFile, ABlockOfOneCrAfterTheWindowEmptied) {
  expectSameAtEveryBlockSize("abc\r\nabc\r", "\n", "1:abc\n2:abc\n");
  expectSameAtEveryBlockSize("\r\r\n\r", "\n", "1:\n2:\n3:\n");
}

TEST(TxtFile, OpenFailuresAndEmptyFiles) {
  testing::TempDir dir;
  bool cancel = false;
  EXPECT_THROW(TTxtFile(dir / "missing.txt", &cancel), EFileNotFound);
  EXPECT_THROW(TTxtFile(dir.path(), &cancel), EFileNotFound);
  try {
    TTxtFile file(dir / "missing.txt", &cancel);
  } catch (const EFileNotFound& e) {
    EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos) << e.what();
  }
  EXPECT_THROW(TTxtFile(dir.write("empty.txt", ""), &cancel), EEndOfFile);
  // A fifo would block the open until a writer came; it is refused like a folder, and the text says
  // what it is, in CP932 like every message of the program.
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_THROW(TTxtFile(dir / "fifo", &cancel), EFileNotFound);
  try {
    TTxtFile file("/dev/zero", &cancel);
    FAIL();
  } catch (const EFileNotFound& e) {
    EXPECT_EQ(std::string(e.what()), "/dev/zero" + cp932::fromUtf8("：通常のファイルではありません（デバイス）").text);
  }
}

TEST(TxtFile, CancelStopsAtTheNextCheckPoint) {
  testing::TempDir dir;
  std::string path = dir.write("c.txt", "ab\r\nab\r\nab\r\n");
  bool cancel = false;
  int calls = 0;
  TTxtFile file(
      path, &cancel, [&] { ++calls; }, 4);
  EXPECT_EQ(calls, 1);  // after the first block
  std::size_t shift = 0;
  EXPECT_TRUE(file.Refill(0, &shift));
  EXPECT_EQ(calls, 2);
  cancel = true;
  EXPECT_THROW(file.CheckPoint(), EGrepCancel);
  EXPECT_THROW(file.Refill(file.DataEnd(), &shift), EGrepCancel);
}

}  // namespace
}  // namespace kelvane
