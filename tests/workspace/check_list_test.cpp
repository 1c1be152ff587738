// The list model the views follow: what observers are told, how the selection follows its row, and
// the batches that turn many changes into one reset. Also the history rules of the two boxes.
#include "workspace/check_list.h"

#include <gtest/gtest.h>

#include "workspace/history_box.h"

namespace kelvane {
namespace {

struct Log : CheckListObserver {
  std::vector<std::tuple<ListChange, int, int>> events;
  void listChanged(const CheckList&, const ListChangeEvent& e) override {
    events.emplace_back(e.kind, e.first, e.last);
  }
};

TEST(CheckList, ObserversHearEachChangeWithItsRows) {
  CheckList list;
  Log log;
  list.addObserver(&log);
  list.add("a");
  list.add("h", true);
  list.insert(0, {"z"});
  list.setChecked(2, true);
  list.setChecked(2, true);  // no change, no event
  list.move(0, 2);
  list.remove(1);
  list.setSelectedIndex(0);
  list.setHorizontalExtent(40);
  using E = std::tuple<ListChange, int, int>;
  EXPECT_EQ(log.events, (std::vector<E>{{ListChange::kInserted, 0, 0},
                                        {ListChange::kInserted, 1, 1},
                                        {ListChange::kInserted, 0, 0},
                                        {ListChange::kRowChanged, 2, 2},
                                        {ListChange::kMoved, 0, 2},
                                        {ListChange::kRemoved, 1, 1},
                                        {ListChange::kSelection, 0, 0},
                                        {ListChange::kExtent, 0, 0}}));
  EXPECT_EQ(list.rows(), (std::vector<CheckRow>{{"a", false, false}, {"z", false, false}}));
  list.removeObserver(&log);
  list.add("quiet");
  EXPECT_EQ(log.events.size(), 8u);
}

TEST(CheckList, SelectionFollowsItsRowAndBadIndexesAreRefused) {
  CheckList list;
  for (const char* t : {"0", "1", "2", "3"}) list.add(t);
  list.setSelectedIndex(2);
  list.insert(0, {"new"});
  EXPECT_EQ(list.selectedIndex(), 3);
  list.remove(0);
  EXPECT_EQ(list.selectedIndex(), 2);
  list.move(2, 0);
  EXPECT_EQ(list.selectedIndex(), 0);
  list.move(3, 0);
  EXPECT_EQ(list.selectedIndex(), 1);
  EXPECT_EQ(list.text(1), "2");
  list.remove(1);
  EXPECT_EQ(list.selectedIndex(), -1);
  list.setSelectedIndex(99);
  EXPECT_EQ(list.selectedIndex(), -1);
  EXPECT_THROW(list.text(3), std::out_of_range);
  EXPECT_THROW(list.insert(5, {}), std::out_of_range);
  EXPECT_THROW(list.remove(-1), std::out_of_range);
  list.setTopIndex(50);
  EXPECT_EQ(list.topIndex(), 2);
  list.clear();
  EXPECT_EQ(list.topIndex(), 0);
}

TEST(CheckList, NestedBatchesSendOneResetAtTheEndAndNoneWhenNothingChanged) {
  CheckList list;
  Log log;
  list.addObserver(&log);
  {
    CheckList::Batch outer(list);
    {
      CheckList::Batch inner(list);
      for (int i = 0; i < 100; ++i) list.add("r");
    }
    EXPECT_TRUE(log.events.empty());
    list.setChecked(5, true);
  }
  ASSERT_EQ(log.events.size(), 1u);
  EXPECT_EQ(std::get<0>(log.events[0]), ListChange::kReset);
  const auto revision = list.revision();
  { CheckList::Batch idle(list); }
  EXPECT_EQ(log.events.size(), 1u);
  EXPECT_EQ(list.revision(), revision);
  EXPECT_EQ(list.checkedNonHeaderCount(), 1);
}

TEST(HistoryBox, PushFrontKeepsOneOfEachTextNewestFirst) {
  HistoryBox box;
  box.setItems({"a", "b", "a", "c", "A"});
  box.pushFront("a");
  EXPECT_EQ(box.items(), (std::vector<std::string>{"a", "b", "c", "A"}));
  EXPECT_EQ(box.selectedIndex(), 0);
  EXPECT_EQ(box.editText(), "a");
  box.pushFront(box.item(2));  // an entry of the box itself
  EXPECT_EQ(box.items(), (std::vector<std::string>{"c", "a", "b", "A"}));
  box.moveToFront(3);
  EXPECT_EQ(box.items(), (std::vector<std::string>{"A", "c", "a", "b"}));
  EXPECT_EQ(box.selectedIndex(), 0);
  box.setSelectedIndex(2);
  box.removeItem(0);
  EXPECT_EQ(box.selectedIndex(), 1);
  box.removeItem(1);
  EXPECT_EQ(box.selectedIndex(), -1);
  EXPECT_EQ(box.indexOf("b"), 1);
  EXPECT_EQ(box.indexOf("B"), -1);
}

}  // namespace
}  // namespace kelvane
