#pragma once
// The plain-text side of the search and the line lists that replace, join and split work on.
//
// A plain search loads a file whole and tests each line for the pattern as a substring. A line list
// is a file cut into lines at CR LF, a lone LF or a lone CR; the text read ends at the first zero
// byte, and a line end at the very end of the text does not start one more (empty) line. A line
// list is written back as its lines each followed by CR LF, the last one included, so a rewritten
// file has CR LF line ends throughout whatever it had before.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// True when line contains pattern: with caseSensitive, as exact bytes starting on a character
// boundary of line (never on a trail byte); without, the same test on both texts upper-cased by
// cp932::upper. Every line contains the empty pattern. Raises nothing.
bool PlainLineMatch(std::string_view line, std::string_view pattern, bool caseSensitive);

// The first byte offset >= from at which line holds pattern on a character boundary, or npos.
// from must itself be a character boundary.
std::size_t findOnBoundary(std::string_view line, std::string_view pattern, std::size_t from = 0);

// The line list calls of platform/line_list.h under the names the search code has used (files::
// readLines also tells whether a zero byte cut the text, and keeps the bytes).
// Cuts text into lines as described above. Raises nothing.
std::vector<std::string> splitLines(std::string_view text);

// The lines, each followed by CR LF. Raises nothing.
std::string joinLines(const std::vector<std::string>& lines);

// Reads the file at path (CP932) and cuts it into lines. Raises files::FileError.
std::vector<std::string> loadLines(const std::string& path);

// Writes the lines to path through a temporary file and a rename (files::writeFile), so a failed
// write leaves the old file as it was. Raises files::FileError.
void saveLines(const std::string& path, const std::vector<std::string>& lines);

// Calls onLine(line, lineNo) for the lines of the file at path (CP932) exactly as loadLines cuts
// them, numbered from 1, while reading the file in pieces: memory stays at one piece plus the
// longest line. Stops early when onLine returns false. Raises files::FileError when the file cannot
// be opened or read.
void forEachLine(const std::string& path,
                 const std::function<bool(std::string_view line, std::int64_t lineNo)>& onLine);

}  // namespace kelvane
