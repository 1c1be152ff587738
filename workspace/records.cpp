#include "workspace/records.h"

#include <utility>

namespace kelvane {

void ResultRecords::clear() {
  paths_.clear();
  records_.clear();
}

std::uint32_t ResultRecords::addFile(std::string path) {
  paths_.push_back(std::move(path));
  records_.push_back({static_cast<std::uint32_t>(paths_.size() - 1), 0, 0});
  return static_cast<std::uint32_t>(records_.size());
}

std::uint32_t ResultRecords::addLine(std::uint32_t lineNo, std::uint32_t lineOffset) {
  const std::uint32_t file = paths_.empty() ? 0 : static_cast<std::uint32_t>(paths_.size() - 1);
  records_.push_back({file, lineNo, lineOffset});
  return static_cast<std::uint32_t>(records_.size());
}

const ResultRecord* ResultRecords::find(const CheckRow& row) const {
  if (row.record == 0 || row.record > records_.size() || paths_.empty()) return nullptr;
  return &records_[row.record - 1];
}

std::string_view ResultRecords::line(const std::string& rowText, const ResultRecord& record) {
  const std::string_view text(rowText);
  return record.lineOffset <= text.size() ? text.substr(record.lineOffset) : std::string_view();
}

std::uint32_t PathRecords::add(std::string path) {
  paths_.push_back(std::move(path));
  return static_cast<std::uint32_t>(paths_.size());
}

const std::string* PathRecords::find(const CheckRow& row) const {
  if (row.record == 0 || row.record > paths_.size()) return nullptr;
  return &paths_[row.record - 1];
}

}  // namespace kelvane
