#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes (read-only entries included).
#include <string>
#include <string_view>

namespace kelvane::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's native path, without a trailing "/".
  const std::string& path() const { return path_; }
  // path() + "/" + relative.
  std::string operator/(std::string_view relative) const;
  // Writes bytes to path()/relative, creating the folders on the way; returns the full path.
  std::string write(std::string_view relative, std::string_view bytes) const;
  // Creates the folder path()/relative with its parents; returns the full path.
  std::string mkdir(std::string_view relative) const;

 private:
  std::string path_;
};

// Makes folder the process's current folder for the object's life (the window takes its start-up
// folder from it), and goes back afterwards.
class InFolder {
 public:
  explicit InFolder(const std::string& folder);
  ~InFolder();
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::string previous_;
};

// The whole content of a file (empty when it cannot be read).
std::string slurp(const std::string& path);

}  // namespace kelvane::testing
