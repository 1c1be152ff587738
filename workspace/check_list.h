#pragma once
// The checkable list with header rows that every list of the main window is: the target list, the
// result list, the join/split list and the hidden scratch list. Rows are CP932 texts with two flags.
// A header row has no check box; its checked flag is kept but means nothing.
//
// The list knows nothing of drawing. A view watches it through CheckListObserver and is told exactly
// what changed, so that it can keep a Qt model in step without re-reading everything. Operations that
// touch many rows (a build, a search's copy) wrap themselves in a CheckList::Batch, which turns the
// changes inside it into one kReset when the outermost batch ends.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

struct CheckRow {
  std::string text;  // CP932
  bool header = false;
  bool checked = false;
  // The key of the typed record an operation keeps for this row (0: none). It travels with the row
  // through every move, copy and assign, so an operation finds what a row stands for without reading
  // its text. It sits in the padding after the flags: a row is no larger for it.
  std::uint32_t record = 0;
  // Two rows are equal when they show the same: the key is the owner's business.
  bool operator==(const CheckRow& other) const {
    return text == other.text && header == other.header && checked == other.checked;
  }
};

enum class ListChange {
  kReset,       // anything may have changed: re-read the whole list
  kInserted,    // rows first..last are new (the rows after them moved down)
  kRemoved,     // rows first..last are gone (the rows after them moved up)
  kRowChanged,  // text or flags of rows first..last changed
  kMoved,       // the row at first now stands at last
  kSelection,   // the selected index changed
  kTopIndex,    // the first visible row changed
  kExtent,      // the horizontal scroll width changed
};

struct ListChangeEvent {
  ListChange kind = ListChange::kReset;
  int first = 0;
  int last = 0;
};

class CheckList;

class CheckListObserver {
 public:
  virtual ~CheckListObserver() = default;
  // Called after the change has been made; the list may be read but must not be changed from here.
  virtual void listChanged(const CheckList& list, const ListChangeEvent& change) = 0;
};

class CheckList {
 public:
  CheckList() = default;
  CheckList(const CheckList&) = delete;
  CheckList& operator=(const CheckList&) = delete;

  // The observers are not owned; an observer removes itself before it goes.
  void addObserver(CheckListObserver* observer);
  void removeObserver(CheckListObserver* observer);

  int count() const { return static_cast<int>(rows_.size()); }
  bool empty() const { return rows_.empty(); }
  const std::vector<CheckRow>& rows() const { return rows_; }

  // Row access. Every index must lie in 0..count()-1; a bad index raises std::out_of_range.
  const CheckRow& row(int index) const;
  const std::string& text(int index) const { return row(index).text; }
  bool isHeader(int index) const { return row(index).header; }
  bool isChecked(int index) const { return row(index).checked; }
  void setText(int index, std::string text);
  void setHeader(int index, bool header);
  void setChecked(int index, bool checked);
  void setRow(int index, CheckRow row);

  // Appends a row and returns its index.
  int add(std::string text, bool header = false, bool checked = false);
  int add(CheckRow row);
  // Inserts before index (0..count()); raises std::out_of_range otherwise.
  void insert(int index, CheckRow row);
  // Removes one row (raises std::out_of_range for a bad index). The selection follows its row and
  // becomes -1 when the selected row itself goes.
  void remove(int index);
  // Moves the row at from so that it stands at to afterwards (both 0..count()-1).
  void move(int from, int to);
  // Removes every row; selection -1, top index 0. The horizontal extent is kept.
  void clear();
  // Replaces every row at once (one kReset).
  void assign(std::vector<CheckRow> rows);

  // -1 when no row is selected. setSelectedIndex accepts -1..count()-1 and clamps anything else to -1.
  int selectedIndex() const { return selected_; }
  void setSelectedIndex(int index);
  // First visible row; clamped to 0..max(count()-1, 0).
  int topIndex() const { return top_; }
  void setTopIndex(int index);
  // Width in pixels the list can be scrolled over horizontally.
  int horizontalExtent() const { return extent_; }
  void setHorizontalExtent(int pixels);

  // Counts derived from the rows.
  int headerCount() const;
  int checkedNonHeaderCount() const;

  // Bumped by every change, batched or not: a cheap "did anything change" test for a view.
  std::uint64_t revision() const { return revision_; }

  // Collects every change made while it lives into a single kReset sent when the outermost batch
  // on the list ends (nothing is sent when nothing changed).
  class Batch {
   public:
    explicit Batch(CheckList& list);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    CheckList& list_;
  };

 private:
  void notify(ListChange kind, int first = 0, int last = 0);
  void checkIndex(int index) const;

  std::vector<CheckRow> rows_;
  std::vector<CheckListObserver*> observers_;
  int selected_ = -1;
  int top_ = 0;
  int extent_ = 0;
  int batchDepth_ = 0;
  bool batchChanged_ = false;
  std::uint64_t revision_ = 0;
};

}  // namespace kelvane
