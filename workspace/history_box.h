#pragma once
// The two combo boxes of the tool bar as the window's model sees them: the pattern box ComboBox1
// (editable, a history of search texts) and the folder box ComboBox2 (pick-only, a history of
// folders after its fixed entry). Items are CP932 texts.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

class HistoryBox {
 public:
  int count() const { return static_cast<int>(items_.size()); }
  const std::vector<std::string>& items() const { return items_; }
  // Raises std::out_of_range for an index outside 0..count()-1.
  const std::string& item(int index) const;

  void setItems(std::vector<std::string> items);  // selection -1, edit text kept
  void addItem(std::string item);
  void insertItem(int index, std::string item);  // index 0..count(); raises std::out_of_range
  void removeItem(int index);                    // the selection follows its entry, -1 when it goes
  void clear();                                  // items and selection; the edit text is kept

  // -1 when no entry is selected. Selecting an entry also makes it the edit text, as a combo box
  // does; an index outside the items selects nothing (-1) and leaves the text as it is.
  int selectedIndex() const { return selected_; }
  void setSelectedIndex(int index);
  // Index of the first entry equal to text (exact, case-sensitive comparison), or -1.
  int indexOf(const std::string& text) const;

  // What the box shows (for ComboBox1 what the user typed).
  const std::string& editText() const { return edit_; }
  void setEditText(std::string text);

  // The history push: inserts text at position 0, deletes every later entry equal to it (walking
  // from the last entry down to position 1) and selects entry 0, which becomes the edit text.
  void pushFront(const std::string& text);
  // Moves the entry at index to position 0 and selects it there. Nothing happens for a bad index.
  void moveToFront(int index);

  std::uint64_t revision() const { return revision_; }

 private:
  void changed() { ++revision_; }

  std::vector<std::string> items_;
  int selected_ = -1;
  std::string edit_;
  std::uint64_t revision_ = 0;
};

}  // namespace kelvane
