#include "filescan/kyoutuu.h"

#include "platform/cp932.h"

namespace kelvane {

std::string_view fileExtension(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < nameStart) return {};
  return path.substr(dot);
}

ExtensionFilter::ExtensionFilter(const std::string& extensionList) {
  for (const std::string& entry : splitCommaText(extensionList)) upperEntries_.push_back(cp932::upper(entry));
}

int ExtensionFilter::wantedCount(std::string_view path) const {
  if (upperEntries_.empty()) return 0;
  const std::string ext = cp932::upper(fileExtension(path));
  int count = 0;
  for (const std::string& entry : upperEntries_) count += entry == ext ? 1 : 0;
  return count;
}

}  // namespace kelvane
