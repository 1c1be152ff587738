// The extension list built from the extension groups of the settings.
#include "settings/extension_list.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

Settings none() {
  Settings s;
  s.ExtTxt = false;
  return s;
}

TEST(BuildExtensionList, JoinsTheEnabledGroupsInTheirFixedOrder) {
  EXPECT_EQ(BuildExtensionList(Settings{}), ".txt");  // the defaults
  Settings s = none();
  EXPECT_EQ(BuildExtensionList(s), "");
  s.ExtTxt = s.ExtCsv = true;
  EXPECT_EQ(BuildExtensionList(s), ".txt,.csv");
  s.ExtHtml = s.ExtCgi = s.ExtSystem = s.ExtMsWord = s.ExtCustom = true;
  s.UserExtensions = ".md,.rst";
  EXPECT_EQ(BuildExtensionList(s), ".txt,.htm,.html,.cgi,.pl,.bat,.inf,.ini,.csv,.doc,.md,.rst");
}

TEST(BuildExtensionList, AnEmptyUserTextLeavesAFinalCommaOnlyAfterAnotherGroup) {
  Settings s;
  s.ExtCustom = true;
  EXPECT_EQ(BuildExtensionList(s), ".txt,");
  s.ExtTxt = false;
  EXPECT_EQ(BuildExtensionList(s), "");
}

}  // namespace
}  // namespace kelvane
