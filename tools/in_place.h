#pragma once
// kelvane-grep --in-place: the matching lines of a file replaced, every other byte kept.
//
// A file is searched as the window searches it (the file grep), and in each matching line every
// match is replaced as the window's replace does it (TAWKStr::GSub on the line, CR LF as its line
// separator). Unlike the window, which writes every line back with CR LF, only the replaced lines'
// bytes change: line ends, lines without a match, a last line without a line end, all stay byte for
// byte, because a script must not change what it did not match. A file in which no line changes is
// not written.
//
// Files are the users', so a file is rewritten only when nothing can go wrong unseen:
//   - a file reached twice in one run (a hard link, a link to a file, a folder reached through a
//     link, a path given twice) is rewritten once: the first path in walk order that leads to its
//     directory entry or to its device and inode claims it, when it is handed out, so the choice
//     does not depend on which thread gets there first;
//   - a file is compared with what was read right before it is replaced (its bytes, device and
//     inode); a file that changed meanwhile is left alone and named;
//   - a file with a NUL byte (the line list would lose what follows it), or one that a replacement
//     would give a NUL byte, is left alone and named;
//   - the write goes through files::writeFile (no partial file; owner, mode, links and xattrs
//     kept); a link is written through, to the file it leads to, and stays a link;
//   - a backup is created, never replaced: an existing one leaves the file alone. A backup made for
//     a file that then cannot be written is deleted again: the run deletes only what it created.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "pattern/awk_str.h"
#include "pattern/file_searcher.h"
#include "platform/files.h"
#include "tools/job_output.h"

namespace kelvane::tools {

struct ReplaceOptions {
  std::string replacement;                  // the template, CP932, checked already
  bool dryRun = false;                      // print PATH:LINENO:NEWLINE instead of writing
  std::optional<std::string> backupSuffix;  // CP932; keep the old bytes at the file's path + suffix
};

// Where a path leads, as found when it was handed out.
struct FileTarget {
  std::string path;       // CP932, as walked or given
  std::string writePath;  // CP932: path itself, or the file a link leads to
  bool located = false;   // false: path could not be looked at; reading it will say why
  std::uint64_t device = 0, inode = 0;
};

// The claims of one run. Used by the one thread that hands the files out, in walk order.
class TargetClaims {
 public:
  // backupSuffix is CP932 with a native form (the options check it).
  explicit TargetClaims(const std::optional<std::string>& backupSuffix)
      : backupSuffix_(backupSuffix), backupNative_(backupSuffix ? files::toNative(*backupSuffix).value_or("") : "") {}
  // The target of path (CP932), or nullopt when an earlier path of this run leads to the same
  // directory entry or the same file (or path is a backup this run may create): it is skipped.
  // A path that cannot be looked at is handed out unlocated, so that its read names the reason.
  std::optional<FileTarget> Claim(const std::string& path);

 private:
  using Entry = std::tuple<std::uint64_t, std::uint64_t, std::string>;  // folder device, inode, name
  std::optional<std::pair<std::uint64_t, std::uint64_t>> FolderOf(const std::string& nativeFolder);

  std::optional<std::string> backupSuffix_;
  std::string backupNative_;
  std::set<std::pair<std::uint64_t, std::uint64_t>> files_;
  std::set<Entry> entries_;
  std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> folders_;
};

// One worker's rewriter: its own searcher and string matcher.
class InPlaceRewriter {
 public:
  // Compiles pattern (CP932) for the file grep and for GSub, the fuzzy switch set first. Raises
  // ERegExpParser.
  InPlaceRewriter(const std::string& pattern, bool fuzzy, const ReplaceOptions& options);

  // Rewrites target's file (or, with dryRun, prints its changed lines), printing the path of a
  // rewritten file, or the reason it was left alone, to out. Sets the run's matched flag when a file
  // was (or would be) rewritten. Raises std::bad_alloc only.
  void Rewrite(const FileTarget& target, JobOutput& out, RunStatus& status);

  // Called after the file was read, before the search reads it again, and right before the backup
  // and the last comparison: the places where a second writer can come between. Tests write there.
  std::function<void()> AfterRead, BeforeCommit;

 private:
  struct Replaced;
  std::optional<Replaced> Replace(const FileTarget& target, const std::string& bytes, JobOutput& out);
  void Commit(const FileTarget& target, const std::string& bytes, const std::string& newBytes, JobOutput& out);

  const ReplaceOptions& options_;
  FileSearcher searcher_;
  TAWKStr awk_;
};

}  // namespace kelvane::tools
