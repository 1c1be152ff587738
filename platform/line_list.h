#pragma once
// Line lists: how replace, join and split see a text file.
//
// A file is read as lines cut at CR LF, a lone LF or a lone CR; the text ends at the first zero byte,
// and a line end at the very end does not start one more (empty) line. A line list is written as its
// lines each followed by CR LF, the last one included, so a rewritten file has CR LF line ends
// throughout, whatever it had before.
//
// Before a file is rewritten, a copy of it goes below the temporary folder at the file's own full
// path (the copy of /a/b/c.txt is TEMP/a/b/c.txt), byte for byte and with its permission bits, and it
// can be copied back. Every write goes through files::writeFile, which keeps what the file is.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane::files {

// A file as read for a line list. The bytes come from the same single read as the lines, so a copy
// made from them is exactly the file the lines were cut from.
struct LineFile {
  std::vector<std::string> lines;
  // A zero byte ended the text before the end of the file: the lines miss what follows it, so
  // writing them back would lose that part. Callers refuse to rewrite such a file.
  bool cutAtNul = false;
  std::string bytes;         // the whole file as read
  unsigned permissions = 0;  // the file's permission bits when read
};

// One line of a text: its bytes are text.substr(begin, end - begin), without the line end.
struct LineSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Where the lines of text are, cut as splitLines cuts them, without copying them (a large file split
// holds its bytes once); *cutAtNul, when given, tells whether a zero byte ended the text early.
std::vector<LineSpan> indexLines(std::string_view text, bool* cutAtNul = nullptr);

// Cuts text into lines; *cutAtNul, when given, tells whether a zero byte ended the text early.
std::vector<std::string> splitLines(std::string_view text, bool* cutAtNul = nullptr);

// The lines, each followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

// Reads the file at path (CP932) once. Raises FileError (notFound() for a missing file).
LineFile readLines(const std::string& path);

// Writes the lines, each followed by CR LF, through files::writeFile. Raises FileError, and then the
// old file is as it was.
void writeLines(const std::string& path, const std::vector<std::string>& lines);

// Where the copy of file goes below tempFolder: tempFolder followed by the file's full path. "." and
// ".." parts of the path are resolved by name first, so a copy never lands outside tempFolder.
std::string tempCopyPath(std::string_view tempFolder, std::string_view file);

// Copies the file byte for byte to copyPath with its permission bits, creating the missing folders of
// copyPath; an earlier copy there is replaced. The second form copies a file already read (its bytes
// and bits), so the copy is what the lines were cut from. Raises FileError, and then an earlier copy
// is as it was.
void makeCopy(const std::string& file, const std::string& copyPath);
void makeCopy(const LineFile& read, const std::string& copyPath);

// Copies copyPath back over file, atomically (copyFile's work); file keeps its own permission bits
// and owner (a file that is gone comes back with the copy's bits). A read-only file is left alone.
// Raises FileError (notFound() when the copy is missing), and then file is as it was.
void restoreCopy(const std::string& copyPath, const std::string& file);

}  // namespace kelvane::files
