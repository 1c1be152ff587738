#pragma once
// The settings file's INI form: "[section]" lines open sections, "key=value" lines hold values.
// Sections and keys are found without regard to ASCII case; a value is read back cut to its first
// 2,047 bytes and without one pair of outer quotes (both " or both '); a written key replaces its
// line in place, a new key or section is appended. The file is CP932 with CR LF line ends.
//
// Like the desktop's profile API, every read opens the file and every write rewrites it at once,
// so a failure part-way leaves the keys before it written. A missing file reads as empty and is
// created by the first write.
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvane {

// A write the file system refused. what() is CP932 text that names the file and the reason.
class ProfileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Profile {
 public:
  explicit Profile(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }

  // The value, or def when the section or key is absent (or the file cannot be read).
  std::string readString(const std::string& section, const std::string& key, const std::string& def) const;
  // Decimal, "$" hexadecimal, or "0x"/"0X" hexadecimal (longer than two characters); anything
  // else, and an absent key, gives def.
  int readInteger(const std::string& section, const std::string& key, int def) const;
  // An integer; anything other than 0 is true; absent or not a number gives def.
  bool readBool(const std::string& section, const std::string& key, bool def) const;
  bool keyExists(const std::string& section, const std::string& key) const;

  // Raise ProfileError when the file cannot be written.
  void writeString(const std::string& section, const std::string& key, const std::string& value);
  void writeInteger(const std::string& section, const std::string& key, int value);
  void writeBool(const std::string& section, const std::string& key, bool value);  // "1" / "0"

 private:
  std::string path_;
};

// The integer rule of the settings file on its own: true and the value, or false when text is not
// a number.
bool parseProfileInteger(const std::string& text, long long& value);

}  // namespace kelvane
