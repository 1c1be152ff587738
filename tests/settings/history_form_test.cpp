// The history cleanup dialog's logic: the lists made from the boxes, the marks, the status hint and
// its timer, and what "Ok" leaves in the boxes.
#include "settings/history_form.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "settings/settings.h"

namespace kelvane {
namespace {

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

class Host : public HistoryHost {
 public:
  std::vector<std::string> search{"a", "b", "c", "d", "e"};
  std::vector<std::string> folders{fixedFolderEntry(), "/data/x", "/data/y"};
  int sets = 0;
  std::vector<std::string> searchHistory() const override { return search; }
  std::vector<std::string> folderHistory() const override { return folders; }
  void setHistories(std::vector<std::string> s, std::vector<std::string> f) override {
    search = std::move(s);
    folders = std::move(f);
    ++sets;
  }
};

TEST(HistoryForm, ShownWithEveryRowCheckedTheFixedFolderAHeaderAndTheHint) {
  Host host;
  HistoryForm form;
  form.FormActivate(host);
  ASSERT_EQ(form.CheckListBox1.size(), 5u);
  for (const HistoryRow& r : form.CheckListBox1) EXPECT_EQ(r, (HistoryRow{r.text, false, true}));
  EXPECT_EQ(form.CheckListBox2[0], (HistoryRow{fixedFolderEntry(), true, false}));
  EXPECT_EQ(form.CheckListBox2[1], (HistoryRow{"/data/x", false, true}));
  EXPECT_EQ(form.statusText(), sj("チェックのはずされた項目は、履歴から削除されます。"));
  EXPECT_TRUE(form.timer1Enabled());
  form.Timer1Timer();
  EXPECT_EQ(form.statusText(), "");
  EXPECT_FALSE(form.timer1Enabled());
  form.CheckListBox1[0].checked = false;
  form.CheckListBoxAllClickCheck();
  EXPECT_EQ(form.statusText(), sj("チェックのはずされた項目は、履歴から削除されます。"));
  EXPECT_TRUE(form.timer1Enabled());
}

TEST(HistoryForm, OkKeepsTheCheckedEntriesInTheirOrder) {
  Host host;
  HistoryForm form;
  form.FormActivate(host);
  form.CheckListBox1[1].checked = false;
  form.CheckListBox1[3].checked = false;
  form.Button1Click(host);
  EXPECT_EQ(host.search, (std::vector<std::string>{"a", "c", "e"}));
  EXPECT_EQ(host.folders.size(), 3u);
}

TEST(HistoryForm, AllOffOnTheFoldersLeavesOnlyTheFixedEntry) {
  Host host;
  HistoryForm form;
  form.FormActivate(host);
  form.setAllChecks(2, false);
  form.setAllChecks(7, false);  // no such list: nothing happens
  form.Button1Click(host);
  EXPECT_EQ(host.folders, std::vector<std::string>{fixedFolderEntry()});
  EXPECT_EQ(host.search.size(), 5u);
}

TEST(HistoryForm, ACancelledCleanupLeavesNoMarksForTheNextShowing) {
  Host host;
  HistoryForm form;
  form.FormActivate(host);
  form.setAllChecks(1, false);
  form.FormActivate(host);  // shown again after "Cancel"
  for (const HistoryRow& r : form.CheckListBox1) EXPECT_TRUE(r.checked);
  form.setAllChecks(1, false);
  form.setAllChecks(1, true);
  form.Button1Click(host);
  EXPECT_EQ(host.search.size(), 5u);
  EXPECT_EQ(host.sets, 1);
}

}  // namespace
}  // namespace kelvane
