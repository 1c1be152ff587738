#pragma once
// The built-in editor's text and the bytes it was loaded from.
//
// CP932 holds several characters twice: ≒ is 81 E0 and 87 90, 纊 is FA 5C and ED 40, ￢ is 81 CA,
// EE F9 and FA 54, ∵ is 81 E6, 87 9A and FA 5B. The window only sees the characters, and encoding
// them afresh would give every one its first code, silently changing files whose other lines nobody
// touched. So the loaded bytes are kept, cut into units (a character, a line end, or a byte that is
// no character), and a save compares the window's text with the loaded one: first line by line,
// then character by character between the lines that still match. What still matches is written as
// the bytes it came from, line ends and unreadable bytes (a NUL, a broken character) included; only
// what the person typed is encoded, as CP932 with CR LF line ends.
//
// The comparison is a shortest edit script (Myers), bounded so that a text rewritten from top to
// bottom costs a bounded amount of work. Past kMaxEdits differences among the lines of one
// stretch, the lines that occur once on each side anchor it (as patience diff does) and the parts
// between anchors are compared again; past kMaxEdits differences among the characters between two
// matched lines, only their common start and end are kept, and the middle is encoded afresh. Only
// then can a character nobody touched get its first code: a stretch of more than a thousand
// changes with no line left unchanged and unique.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane::editor {

// Differences one comparison follows before it gives up on finding the smallest set.
inline constexpr std::size_t kMaxEdits = 1000;

class LoadedText {
 public:
  LoadedText() = default;
  // Cuts the bytes into units. Never raises (but for memory).
  explicit LoadedText(std::string bytes);

  // The bytes as loaded.
  const std::string& bytes() const { return bytes_; }
  // What the window shows, UTF-8: line ends (CR LF, LF or a lone CR) as LF, a NUL or a byte that is
  // no CP932 character as U+FFFD.
  const std::string& shown() const { return shown_; }
  // How many units are shown as U+FFFD.
  std::size_t unreadable() const { return unreadable_; }

  struct Encoded {
    std::string bytes;
    std::size_t failures = 0;  // typed characters with no CP932 form (each written as "?")
    bool ok() const { return failures == 0; }
  };
  // The window's text (UTF-8, LF line ends) as the file's bytes: unchanged parts as they were
  // loaded, typed parts as CP932 with CR LF. Never raises.
  Encoded encode(std::string_view windowText) const;

 private:
  struct Unit {
    std::uint32_t offset;  // where its bytes start; they end where the next unit starts
    char32_t shown;        // '\n' for a line end
  };
  std::string bytes_;
  std::vector<Unit> units_;  // plus one sentinel at the end of the bytes
  std::string shown_;
  std::size_t unreadable_ = 0;

  friend class Encoder;
};

}  // namespace kelvane::editor
