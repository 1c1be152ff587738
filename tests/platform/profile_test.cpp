#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"

namespace kelvane {
namespace {

using testing::TempDir;

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

TEST(Profile, MissingFileReadsDefaultsAndTheFirstWriteCreatesIt) {
  TempDir dir;
  Profile p(dir / "Kelvane.ini");
  EXPECT_EQ(p.readString("Main", "x", "def"), "def");
  EXPECT_EQ(p.readInteger("Main", "x", 680), 680);
  EXPECT_TRUE(p.readBool("Main", "x", true));
  EXPECT_FALSE(p.keyExists("Main", "x"));
  p.writeString(sj("表示"), sj("TAB１背景色"), "clWhite");
  EXPECT_EQ(testing::slurp(dir / "Kelvane.ini"), sj("[表示]\r\nTAB１背景色=clWhite\r\n"));
  EXPECT_EQ(p.readString(sj("表示"), sj("TAB１背景色"), ""), "clWhite");
}

TEST(Profile, NamesMatchWithoutAsciiCaseButNeverFoldTrailBytes) {
  TempDir dir;
  // ャ = 0x83 0x61 and ア = 0x83 0x41 differ only in the case of their trail byte
  dir.write("p.ini", sj("[mAiN]\r\nWidth=7\r\nャ=small\r\n[other]\r\nwidth=9\r\n"));
  Profile p(dir / "p.ini");
  EXPECT_EQ(p.readInteger("Main", "WIDTH", 0), 7);
  EXPECT_EQ(p.readString("main", sj("ャ"), "-"), "small");
  EXPECT_EQ(p.readString("main", sj("ア"), "-"), "-");
  EXPECT_EQ(p.readInteger("OTHER", "width", 0), 9);
  EXPECT_EQ(p.readInteger("none", "width", 3), 3);
}

TEST(Profile, ValuesAreTrimmedUnquotedOnceAndCutAt2047Bytes) {
  TempDir dir;
  std::string longValue(3000, 'x');
  std::string cutInsideChar = std::string(2046, 'y') + "\x82\xA0" + "zz";  // あ at bytes 2046-2047
  dir.write("p.ini", "[s]\nq1 = \"a, b\" \nq2='it'\nq3=\"mixed'\nq4=\"\nq5=\"\"x\"\"\nlong=" + longValue +
                         "\ncut=" + cutInsideChar + "\nlist=\"a\",\"b\",\n");
  Profile p(dir / "p.ini");
  EXPECT_EQ(p.readString("s", "q1", ""), "a, b");
  EXPECT_EQ(p.readString("s", "q2", ""), "it");
  EXPECT_EQ(p.readString("s", "q3", ""), "\"mixed'");
  EXPECT_EQ(p.readString("s", "q4", ""), "\"");
  EXPECT_EQ(p.readString("s", "q5", ""), "\"x\"");  // only one pair goes
  EXPECT_EQ(p.readString("s", "long", "").size(), 2047u);
  EXPECT_EQ(p.readString("s", "cut", ""), std::string(2046, 'y'));  // no half character left
  EXPECT_EQ(p.readString("s", "list", ""), "\"a\",\"b\",");
}

TEST(Profile, WritesReplaceInPlaceAppendToTheSectionOrAddASection) {
  TempDir dir;
  dir.write("p.ini", "; note\n[A]\nk1=1\n\n[B]\nk2=2\nK1=b\n");
  Profile p(dir / "p.ini");
  p.writeString("a", "K1", "one");                 // replaced in place
  p.writeString("A", "new", "x");                  // appended after A's last line, before B
  p.writeString("B", "k1", "bee");                 // B's own k1, not A's
  p.writeString("C", "k", "line\r\nk2=injected");  // a line break cannot start a new key
  EXPECT_EQ(testing::slurp(dir / "p.ini"),
            "; note\r\n[A]\r\nK1=one\r\nnew=x\r\n\r\n[B]\r\nk2=2\r\nk1=bee\r\n[C]\r\nk=line  k2=injected\r\n");
  EXPECT_EQ(p.readString("B", "k2", ""), "2");
}

TEST(Profile, FirstOfRepeatedKeysAndSectionsWins) {
  TempDir dir;
  dir.write("p.ini", "[s]\nk=first\nk=second\n[t]\n[S]\nk=third\nj=j\n");
  Profile p(dir / "p.ini");
  EXPECT_EQ(p.readString("s", "k", ""), "first");
  EXPECT_EQ(p.readString("s", "j", ""), "j");
  p.writeString("s", "m", "new");
  EXPECT_EQ(testing::slurp(dir / "p.ini"), "[s]\r\nk=first\r\nk=second\r\nm=new\r\n[t]\r\n[S]\r\nk=third\r\nj=j\r\n");
}

TEST(Profile, IntegerRule) {
  struct Case {
    const char* text;
    bool ok;
    long long value;
  };
  const Case cases[] = {
      {"1000", true, 1000},
      {"-12", true, -12},
      {"+7", true, 7},
      {"0x3E8", true, 1000},
      {"0X3e8", true, 1000},
      {"$00FF0000", true, 0xFF0000},
      {"$ff", true, 255},
      {"0x", false, 0},
      {"$", false, 0},
      {"", false, 0},
      {"12abc", false, 0},
      {" 5", false, 0},
      {"$FFFFFFFF", true, 0xFFFFFFFFLL},
      {"$100000000", false, 0},
      {"2147483647", true, 2147483647LL},
      {"2147483648", false, 0},
      {"-2147483648", true, -2147483648LL},
      {"0x0", true, 0},
      {"-", false, 0},
  };
  for (const auto& c : cases) {
    long long v = -99;
    EXPECT_EQ(parseProfileInteger(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  TempDir dir;
  dir.write("p.ini", "[Main]\nw=0x3E8\nall=$FFFFFFFF\nbad=abc\nflag=2\noff=0\n");
  Profile p(dir / "p.ini");
  EXPECT_EQ(p.readInteger("Main", "w", 0), 1000);
  EXPECT_EQ(p.readInteger("Main", "all", 0), -1);
  EXPECT_EQ(p.readInteger("Main", "bad", 480), 480);
  EXPECT_TRUE(p.readBool("Main", "flag", false));
  EXPECT_FALSE(p.readBool("Main", "off", true));
  EXPECT_TRUE(p.readBool("Main", "bad", true));
  p.writeInteger("Main", "n", -5);
  p.writeBool("Main", "b", true);
  EXPECT_EQ(p.readString("Main", "n", ""), "-5");
  EXPECT_EQ(p.readString("Main", "b", ""), "1");
}

TEST(Profile, RefusedWriteRaisesNamingTheFileAndLosesNothing) {
  TempDir dir;
  Profile missingFolder(dir / "gone/Kelvane.ini");
  try {
    missingFolder.writeString("Main", "k", "v");
    FAIL();
  } catch (const ProfileError& e) {
    EXPECT_NE(std::string(e.what()).find(dir / "gone/Kelvane.ini"), std::string::npos);
    EXPECT_EQ(std::string(e.what()).find(sj("設定ファイルに書き込めません")), 0u);
  }
  std::string readOnly = dir.write("ro.ini", "[Main]\r\nk=old\r\n");
  chmod(readOnly.c_str(), 0444);
  EXPECT_THROW(Profile(readOnly).writeString("Main", "k", "new"), ProfileError);
  EXPECT_EQ(Profile(readOnly).readString("Main", "k", ""), "old");
  dir.mkdir("folder.ini");
  Profile folder(dir / "folder.ini");
  EXPECT_THROW(folder.writeString("Main", "k", "v"), ProfileError);
  EXPECT_EQ(folder.readString("Main", "k", "def"), "def");
}

}  // namespace
}  // namespace kelvane
