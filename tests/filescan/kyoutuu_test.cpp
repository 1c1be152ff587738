// The extension filter and the comma split it reads the list with.
#include "filescan/kyoutuu.h"

#include <gtest/gtest.h>

#include "tests/testing/scripted_ui.h"

namespace kelvane {
namespace {

TEST(SplitCommaText, CommasBlanksQuotesAndEmptyEntries) {
  using V = std::vector<std::string>;
  EXPECT_EQ(splitCommaText(".txt,.csv"), (V{".txt", ".csv"}));
  EXPECT_EQ(splitCommaText(".txt,"), (V{".txt", ""}));
  EXPECT_EQ(splitCommaText(".txt,,.csv"), (V{".txt", "", ".csv"}));
  EXPECT_EQ(splitCommaText("  .txt .csv "), (V{".txt", ".csv"}));
  EXPECT_EQ(splitCommaText("\"a, \"\"b\"\"\",c"), (V{"a, \"b\"", "c"}));
  EXPECT_EQ(splitCommaText(""), V{});
  // A double-byte character is taken whole; a lone lead byte at the end does not read past it.
  const std::string hyo = "\x95\x5C";  // 表, trail byte 0x5C
  EXPECT_EQ(splitCommaText("." + hyo + ",.b"), (V{"." + hyo, ".b"}));
  EXPECT_EQ(splitCommaText(std::string(".\x95")), (V{".\x95"}));
}

TEST(ExtensionFilter, ComparesTheLastExtensionWithoutCaseOncePerEqualEntry) {
  const ExtensionFilter txt(".txt");
  EXPECT_EQ(txt.wantedCount("/d/A.TXT"), 1);
  EXPECT_EQ(txt.wantedCount("/d/a.txt.bak"), 0);
  EXPECT_EQ(txt.wantedCount("/d/README"), 0);
  EXPECT_EQ(txt.wantedCount("/d.txt/README"), 0);  // a dot in the folder part is no extension
  EXPECT_EQ(ExtensionFilter(".txt,.TXT").wantedCount("/d/a.txt"), 2);
  EXPECT_EQ(ExtensionFilter("").wantedCount("/d/a.txt"), 0);
  // A final comma makes an empty entry: files without an extension are wanted.
  const ExtensionFilter withEmpty(".txt,");
  EXPECT_EQ(withEmpty.wantedCount("/d/README"), 1);
  EXPECT_EQ(withEmpty.wantedCount("/d/a.txt"), 1);
  // Full-width letters are upper-cased too.
  const std::string fullLower = testing::cp932Of(".ｔｘｔ"), fullUpper = testing::cp932Of(".ＴＸＴ");
  EXPECT_EQ(ExtensionFilter(fullLower).wantedCount("/d/a" + fullUpper), 1);
}

}  // namespace
}  // namespace kelvane
