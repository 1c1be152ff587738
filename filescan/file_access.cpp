#include "filescan/file_access.h"

#include <filesystem>
#include <set>

#include "platform/cp932.h"
#include "platform/files.h"

namespace kelvane {

namespace {

struct ScanTexts {
  std::string done = cp932::fromUtf8("■").text;
  std::string todo = cp932::fromUtf8("□").text;
  std::string checking = cp932::fromUtf8("フォルダチェック中").text;
};

const ScanTexts& scanTexts() {
  static const ScanTexts t;
  return t;
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

bool isFile(unsigned attributes) {
  constexpr unsigned kFileBits = 0x01 | 0x02 | 0x04 | 0x08 | 0x20;
  return (attributes & kFileBits) != 0 && (attributes & files::kDirectory) == 0;
}

// Enters a folder once: false when the same folder (device and inode) was seen before.
bool firstVisit(const std::string& folder, std::set<std::pair<std::uint64_t, std::uint64_t>>& seen) {
  const auto id = files::folderId(folder);
  if (!id) return true;  // cannot tell; listing it will report why it is unreadable
  return seen.insert({id->device, id->inode}).second;
}

bool isLink(const std::string& path) {
  const auto native = files::toNative(path);
  std::error_code ec;
  return native && std::filesystem::is_symlink(*native, ec);
}

}  // namespace

std::string joinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string folderProgressText(int f, int n) {
  const ScanTexts& t = scanTexts();
  if (n <= 1) return repeat(t.todo, 10) + t.checking;
  // 10*f/(n-1) in floating point, truncated: the last folder of a level reaches 10.
  const int marks = static_cast<int>(10.0 * f / (n - 1));
  if (marks > 9) return {};
  return repeat(t.todo, marks) + t.done + repeat(t.todo, 9 - marks) + t.checking;
}

namespace {

// The walk ScanFolderTree and WalkFolderFiles share, so that the window's target list and the
// command line never disagree on the folders of a tree: breadth first, each folder listed once,
// visit called with its listing (null when it could not be read, with the file layer's message).
using VisitFn = std::function<void(const std::string& folder, int f, int n, const files::Listing* listing,
                                   const std::string& error)>;

void walkTree(const std::string& root, bool followLinks, std::vector<std::string>* folderLinks, const VisitFn& visit) {
  std::string start = root;
  if (start.size() > 1 && start.back() == '/') start.pop_back();
  std::set<std::pair<std::uint64_t, std::uint64_t>> seen;
  firstVisit(start, seen);
  std::vector<std::string> next{start};
  while (!next.empty()) {
    const std::vector<std::string> level = std::move(next);
    next.clear();
    const int n = static_cast<int>(level.size());
    for (int f = 0; f < n; ++f) {
      const std::string& folder = level[f];
      files::Listing listing;
      try {
        listing = files::listFolderKinds(folder);
      } catch (const files::FileError& error) {
        visit(folder, f, n, nullptr, error.what());
        continue;
      }
      for (const files::Entry& e : listing.entries) {
        if ((e.attributes & files::kDirectory) == 0) continue;
        std::string child = joinPath(folder, e.name);
        if (!followLinks && isLink(child)) {
          if (folderLinks) folderLinks->push_back(std::move(child));
        } else if (firstVisit(child, seen)) {
          next.push_back(std::move(child));
        }
      }
      visit(folder, f, n, &listing, {});
    }
  }
}

std::vector<std::string> filesOf(const std::string& folder, const files::Listing& listing) {
  std::vector<std::string> paths;
  for (const files::Entry& e : listing.entries) {
    if (isFile(e.attributes)) paths.push_back(joinPath(folder, e.name));
  }
  return paths;
}

}  // namespace

FolderScan ScanFolderTree(const std::string& root, const ProgressFn& progress, bool followLinks) {
  FolderScan scan;
  walkTree(root, followLinks, &scan.folderLinks,
           [&](const std::string& folder, int f, int n, const files::Listing* listing, const std::string& error) {
             scan.folders.push_back(folder);
             if (listing) {
               scan.leftOut += listing->leftOut;
             } else {
               scan.unreadable.push_back({folder, error});
             }
             if (progress) {
               const std::string text = folderProgressText(f, n);
               if (!text.empty()) progress(text);
             }
           });
  return scan;
}

void WalkFolderFiles(const std::string& root, const FolderFilesFn& onFolder) {
  walkTree(root, true, nullptr,
           [&](const std::string& folder, int, int, const files::Listing* listing, const std::string& error) {
             FileList list;
             if (listing) {
               list.paths = filesOf(folder, *listing);
               list.leftOut = listing->leftOut;
               list.leftOutFolders = listing->leftOutFolders;
               list.leftOutFiles = listing->leftOutFiles;
             } else {
               list.readable = false;
               list.error = error;
             }
             onFolder(folder, list);
           });
}

FileList ListFolderFiles(const std::string& folder) {
  FileList list;
  try {
    files::Listing listing = files::listFolderKinds(folder);
    list.leftOut = listing.leftOut;
    list.leftOutFolders = listing.leftOutFolders;
    list.leftOutFiles = std::move(listing.leftOutFiles);
    list.paths = filesOf(folder, listing);
  } catch (const files::FileError& error) {
    list.readable = false;
    list.error = error.what();
  }
  return list;
}

}  // namespace kelvane
