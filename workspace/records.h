#pragma once
// What the rows of the main window's lists stand for, kept as types beside the rows. A row carries
// only a key (CheckRow::record); the operations read the file, the line number and the line from the
// record the key names, never from the row's text, which is for the eye alone. A name holding quotes,
// commas or line breaks is thus handled as that file and no other.
//
// A match row's record does not hold the line again: the line is the tail of the row's text from
// lineOffset on, so a result costs its record twelve bytes beside the text the list holds anyway.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workspace/check_list.h"

namespace kelvane {

// A result header row (lineNo 0) or a match row of the result list.
struct ResultRecord {
  std::uint32_t file = 0;        // index into ResultRecords::paths
  std::uint32_t lineNo = 0;      // 1-based line number; 0 for the file's header row
  std::uint32_t lineOffset = 0;  // where the line begins in the row's text (after its label)
};

// The records of one search run, in the order its rows were made.
class ResultRecords {
 public:
  void clear();
  // Gives back the room the records were grown with.
  void shrink() {
    paths_.shrink_to_fit();
    records_.shrink_to_fit();
  }
  // The key of a new header row for path, which becomes the file of the match rows added after it.
  std::uint32_t addFile(std::string path);
  // The key of a new match row of the last file added.
  std::uint32_t addLine(std::uint32_t lineNo, std::uint32_t lineOffset);
  // The record of row; nullptr for a row this run did not make. Raise nothing.
  const ResultRecord* find(const CheckRow& row) const;
  const std::string& path(const ResultRecord& record) const { return paths_[record.file]; }
  // The line a match row's text carries: its text from the record's offset on.
  static std::string_view line(const std::string& rowText, const ResultRecord& record);

 private:
  std::vector<std::string> paths_;
  std::vector<ResultRecord> records_;
};

// A path per row: the folder of a folder header row and the file of a file row (target list), the
// file of a content row (join list).
class PathRecords {
 public:
  void clear() { paths_.clear(); }
  std::uint32_t add(std::string path);
  // The path of row; nullptr for a row without one (a separator row, a row made elsewhere).
  const std::string* find(const CheckRow& row) const;

 private:
  std::vector<std::string> paths_;
};

}  // namespace kelvane
