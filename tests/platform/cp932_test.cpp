#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <thread>

namespace kelvane::cp932 {
namespace {

struct Pair {
  const char* cp932;
  const char* utf8;
};

// NEC row 13, IBM extensions, the wave dash family and the backslash/tilde that must stay ASCII.
const Pair kPairs[] = {
    {"\x87\x40", "①"},   {"\x87\x54", "Ⅰ"},  {"\x81\x60", "～"}, {"\xFA\x40", "ⅰ"}, {"\x95\x5C", "表"},
    {"\x5C\x7E", "\\~"}, {"\xB1\xDE", "ｱﾞ"}, {"\x82\xA0", "あ"}, {"\x81\x5C", "―"}, {"abc\r\n", "abc\r\n"},
};

TEST(Cp932Conversion, KnownCodesRoundTrip) {
  for (const auto& p : kPairs) {
    auto u = toUtf8(p.cp932);
    EXPECT_TRUE(u.ok()) << p.utf8;
    EXPECT_EQ(u.text, p.utf8);
    auto back = fromUtf8(p.utf8);
    EXPECT_TRUE(back.ok()) << p.utf8;
    EXPECT_EQ(back.text, p.cp932) << p.utf8;
  }
}

TEST(Cp932Conversion, EveryAssignedCodeSurvivesTheRoundTrip) {
  // Some characters have two codes (NEC row 13 and row 2, the IBM and NEC-selected IBM blocks);
  // they come back as the one Windows prefers, which must still be the same character.
  std::size_t assigned = 0, sameBytes = 0;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!isLeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      auto u = toUtf8(code);
      if (!u.ok()) continue;
      ++assigned;
      auto back = fromUtf8(u.text);
      ASSERT_TRUE(back.ok()) << std::hex << lead << " " << trail;
      EXPECT_EQ(toUtf8(back.text).text, u.text) << std::hex << lead << " " << trail;
      sameBytes += back.text == code;
    }
  }
  EXPECT_GT(assigned, 7000u);
  EXPECT_GT(sameBytes, assigned - 800);
  EXPECT_EQ(toUtf8("\xED\x40").text, "纊");
  EXPECT_EQ(fromUtf8("纊").text, "\xFA\x5C");
}

TEST(Cp932Conversion, BrokenInputIsCountedAndReplacedNotDropped) {
  // lone lead byte at the end
  auto a = toUtf8("ab\x82");
  EXPECT_EQ(a.failures, 1u);
  EXPECT_EQ(a.firstFailure, 2u);
  EXPECT_EQ(a.text, "ab\xEF\xBF\xBD");
  // lead byte followed by a byte that cannot be a trail byte: one failure, the next byte kept
  auto b = toUtf8(
      "\x82\x0D\x0A"
      "x");
  EXPECT_EQ(b.failures, 1u);
  EXPECT_EQ(b.text, "\xEF\xBF\xBD\r\nx");
  // an unassigned code with a proper trail byte counts once and eats both bytes
  auto c = toUtf8("\x85\x40z\x85\x40");
  EXPECT_EQ(c.failures, 2u);
  EXPECT_EQ(c.firstFailure, 0u);
  EXPECT_EQ(c.text, "\xEF\xBF\xBDz\xEF\xBF\xBD");
  // a NUL inside is text like any other
  auto d = toUtf8(std::string("\x82\xA0\0\x82\xA2", 5));
  EXPECT_TRUE(d.ok());
  EXPECT_EQ(d.text, std::string("あ\0い", 7));
}

TEST(Cp932Conversion, UnicodeWithoutCp932FormBecomesQuestionMark) {
  auto a = fromUtf8("a😀b€");
  EXPECT_EQ(a.failures, 2u);
  EXPECT_EQ(a.firstFailure, 1u);
  EXPECT_EQ(a.text, "a?b?");
  auto broken = fromUtf8("x\xC3(\xFF");
  EXPECT_EQ(broken.failures, 2u);
  EXPECT_EQ(broken.text, "x?(?");
  auto cut = fromUtf8("\xE3\x81");  // a character cut short at the end
  EXPECT_EQ(cut.failures, 1u);
}

TEST(Cp932Conversion, InputMethodVariantsReachTheWindowsCodes) {
  EXPECT_EQ(fromUtf8("〜").text, "\x81\x60");
  EXPECT_EQ(fromUtf8("‖").text, "\x81\x61");
  EXPECT_EQ(fromUtf8("−").text, "\x81\x7C");
  EXPECT_EQ(fromUtf8("¢£¬").text, "\x81\x91\x81\x92\x81\xCA");
  EXPECT_EQ(fromUtf8("—").text, "\x81\x5C");
}

TEST(Cp932Conversion, LongMixedTextCrossesBufferGrowth) {
  std::string cp, utf;
  for (int i = 0; i < 5000; ++i) {
    cp +=
        "\x82\xA0"
        "a\xB1";
    utf += "あaｱ";
  }
  EXPECT_EQ(toUtf8(cp).text, utf);
  EXPECT_EQ(fromUtf8(utf).text, cp);
}

TEST(Cp932Conversion, ThreadsConvertIndependently) {
  auto work = [] {
    for (int i = 0; i < 200; ++i) {
      if (toUtf8("\x95\x5C\x82").text != "表\xEF\xBF\xBD") return false;
      if (fromUtf8("表").text != "\x95\x5C") return false;
    }
    return true;
  };
  bool r1 = false, r2 = false;
  std::thread t1([&] { r1 = work(); }), t2([&] { r2 = work(); });
  t1.join();
  t2.join();
  EXPECT_TRUE(r1 && r2);
}

TEST(Cp932Upper, FoldsAsciiFullWidthGreekCyrillicButNeverTrailBytes) {
  EXPECT_EQ(upper("abcXYZ09"), "ABCXYZ09");
  EXPECT_EQ(upper(fromUtf8("ａｚαωаёнояｱ").text), fromUtf8("ＡＺΑΩАЁНОЯｱ").text);
  // ャ is 0x83 0x61: its trail byte is an ASCII 'a' and must stay
  EXPECT_EQ(upper(fromUtf8("ャa").text), fromUtf8("ャA").text);
  // 0x847F is a hole between н and о
  EXPECT_EQ(upper("\x84\x7F"), "\x84\x7F");
  // a lone lead byte at the end is left alone
  EXPECT_EQ(upper("a\x83"), "A\x83");
}

}  // namespace
}  // namespace kelvane::cp932
