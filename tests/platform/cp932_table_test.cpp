// The table conversions against iconv itself: the same text, failure count and first failure for
// every one- and two-byte input, for the three-byte inputs where a piece's length is decided, and
// for seeded random texts of every kind of byte.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/cp932.h"

namespace kelvane::cp932 {
namespace {

std::string hex(const std::string& s) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
    out += ' ';
  }
  return out;
}

// Counts the mismatches and reports the first few, so one wrong table entry does not print 65,536 lines.
class Comparison {
 public:
  explicit Comparison(bool towardsUtf8) : towardsUtf8_(towardsUtf8) {}
  void check(const std::string& in) {
    ++checked_;
    Converted fast = towardsUtf8_ ? toUtf8(in) : fromUtf8(in);
    Converted slow = towardsUtf8_ ? toUtf8ByIconv(in) : fromUtf8ByIconv(in);
    failures_ += slow.failures;
    if (fast.text == slow.text && fast.failures == slow.failures && fast.firstFailure == slow.firstFailure) return;
    if (++mismatches_ <= 5) {
      ADD_FAILURE() << "input " << hex(in) << "\n table " << hex(fast.text) << "failures " << fast.failures << " first "
                    << fast.firstFailure << "\n iconv " << hex(slow.text) << "failures " << slow.failures << " first "
                    << slow.firstFailure;
    }
  }
  std::size_t mismatches() const { return mismatches_; }
  std::size_t checked() const { return checked_; }
  std::size_t failures() const { return failures_; }

 private:
  bool towardsUtf8_;
  std::size_t checked_ = 0, mismatches_ = 0, failures_ = 0;
};

std::string bytes(std::initializer_list<unsigned> list) {
  std::string s;
  for (unsigned b : list) s += static_cast<char>(b);
  return s;
}

TEST(Cp932Tables, ToUtf8MatchesIconvOnEveryShortInput) {
  Comparison c(true);
  c.check("");
  for (unsigned a = 0; a < 256; ++a) {
    c.check(bytes({a}));
    for (unsigned b = 0; b < 256; ++b) c.check(bytes({a, b}));
  }
  // After a lead byte the next two bytes decide how long each piece is: a trail byte, an ASCII
  // byte, another lead byte, a byte no character uses.
  for (unsigned lead = 0x80; lead < 256; ++lead)
    for (unsigned b = 0; b < 256; ++b)
      for (unsigned third : {0x41u, 0x5Cu, 0x82u, 0xA0u, 0xFDu}) c.check(bytes({lead, b, third}));
  EXPECT_EQ(c.mismatches(), 0u) << "of " << c.checked();
  EXPECT_GT(c.failures(), 10000u);  // the comparison did meet broken input
}

TEST(Cp932Tables, FromUtf8MatchesIconvOnEveryShortInputAndEveryCharacter) {
  Comparison c(false);
  for (unsigned a = 0; a < 256; ++a) {
    c.check(bytes({a}));
    for (unsigned b = 0; b < 256; ++b) c.check(bytes({a, b}));
  }
  // Every three-byte start with the second bytes at the edges of what is well formed (overlong
  // forms after 0xE0, surrogates after 0xED, four-byte starts), each with every last byte.
  for (unsigned a = 0xE0; a <= 0xF5; ++a)
    for (unsigned b : {0x41u, 0x80u, 0x9Fu, 0xA0u, 0xBFu, 0xC0u})
      for (unsigned last = 0; last < 256; ++last) c.check(bytes({a, b, last}));
  // Every code point, alone and between ASCII letters, as well-formed UTF-8.
  for (unsigned cp = 0x80; cp < 0x110000; cp += cp < 0x10000 ? 1 : 0x3F1) {
    std::string u;
    if (cp < 0x800) {
      u = bytes({0xC0 | (cp >> 6), 0x80 | (cp & 0x3F)});
    } else if (cp < 0x10000) {
      u = bytes({0xE0 | (cp >> 12), 0x80 | ((cp >> 6) & 0x3F), 0x80 | (cp & 0x3F)});
    } else {
      u = bytes({0xF0 | (cp >> 18), 0x80 | ((cp >> 12) & 0x3F), 0x80 | ((cp >> 6) & 0x3F), 0x80 | (cp & 0x3F)});
    }
    c.check(u);
    c.check("a" + u + "b");
  }
  EXPECT_EQ(c.mismatches(), 0u) << "of " << c.checked();
  EXPECT_GT(c.failures(), 10000u);
}

// Random texts drawn from bytes that matter: ASCII, the backslash, CR LF, lead bytes, trail bytes,
// half-width kana, the bytes no character uses; for UTF-8 also whole characters of every length,
// some with no CP932 form, and pieces of characters.
std::string randomCp932(std::mt19937& rng) {
  static const unsigned kBytes[] = {0x00, 0x0A, 0x0D, 0x41, 0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x82, 0x83,
                                    0x85, 0x87, 0x88, 0x95, 0x9F, 0xA0, 0xA1, 0xB1, 0xDF, 0xE0, 0xEA,
                                    0xED, 0xEF, 0xF0, 0xFA, 0xFC, 0xFD, 0xFF, 0x40, 0x9E, 0xA4};
  std::string s;
  std::size_t n = rng() % 40;
  for (std::size_t i = 0; i < n; ++i) {
    if (rng() % 3 == 0) {
      s += static_cast<char>(rng() % 256);
    } else {
      s += static_cast<char>(kBytes[rng() % std::size(kBytes)]);
    }
  }
  return s;
}

std::string randomUtf8(std::mt19937& rng) {
  static const char* kPieces[] = {"a",
                                  "\\",
                                  "\r\n",
                                  "あ",
                                  "表",
                                  "ｱ",
                                  "①",
                                  "〜",
                                  "～",
                                  "‖",
                                  "−",
                                  "¢",
                                  "€",
                                  "😀",
                                  "纊",
                                  "é",
                                  "\xC3",
                                  "\xE3\x81",
                                  "\xFF",
                                  "\x80",
                                  "\xED\xA0\x80",
                                  "\xC0\xAF",
                                  "\xF4\x90\x80\x80",
                                  "\x00"};
  std::string s;
  std::size_t n = rng() % 24;
  for (std::size_t i = 0; i < n; ++i) {
    if (rng() % 4 == 0) {
      s += static_cast<char>(rng() % 256);
    } else {
      const char* p = kPieces[rng() % std::size(kPieces)];
      s += *p ? std::string(p) : std::string(1, '\0');
    }
  }
  return s;
}

TEST(Cp932Tables, RandomTextsMatchIconvBothWays) {
  std::mt19937 rng(20261207);
  Comparison toU(true), fromU(false);
  for (int i = 0; i < 20000; ++i) {
    toU.check(randomCp932(rng));
    fromU.check(randomUtf8(rng));
  }
  // Long texts take the buffer through its growth and the 8-byte ASCII runs through every alignment.
  for (int i = 0; i < 20; ++i) {
    std::string cp, utf;
    for (int j = 0; j < 300; ++j) {
      cp += randomCp932(rng) + std::string(rng() % 20, 'x');
      utf += randomUtf8(rng) + std::string(rng() % 20, 'y');
    }
    toU.check(cp);
    fromU.check(utf);
  }
  EXPECT_EQ(toU.mismatches(), 0u);
  EXPECT_EQ(fromU.mismatches(), 0u);
}

TEST(Cp932Tables, ThreadsMeetingTheTablesFirstAgree) {
  // Whichever thread comes first makes the tables; the others wait for them, never see half of them.
  auto work = [](bool& ok) {
    ok = true;
    for (unsigned lead = 0x81; lead <= 0x9F; ++lead) {
      std::string s = bytes({lead, 0x40, lead, 0x9F, 'a'});
      ok &= toUtf8(s).text == toUtf8ByIconv(s).text;
      ok &= fromUtf8(toUtf8ByIconv(s).text).text == fromUtf8ByIconv(toUtf8ByIconv(s).text).text;
    }
  };
  bool ok[4] = {};
  std::vector<std::thread> threads;
  for (bool& r : ok) threads.emplace_back(work, std::ref(r));
  for (auto& t : threads) t.join();
  for (bool r : ok) EXPECT_TRUE(r);
}

}  // namespace
}  // namespace kelvane::cp932
