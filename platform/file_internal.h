#pragma once
// What the parts of the file layer (files.cpp, file_writer.cpp, copy_ledger.cpp, file_errors.cpp)
// share and nobody else uses.
#include <sys/stat.h>
#include <time.h>

#include <optional>
#include <string>
#include <string_view>

namespace kelvane::files::internal {

// Message heads, UTF-8 here, converted when a message is made (only on failures).
constexpr const char* kCannotWrite = "ファイルに書き込めません";
constexpr const char* kCannotCopy = "ファイルをコピーできません";
constexpr const char* kCannotCreateFolder = "フォルダを作成できません";
constexpr const char* kReadOnlyFile = "読み取り専用のファイルです";

// A UTF-8 text as CP932.
std::string text(const char* utf8);
// "<head>: <path> (<reason>)" in CP932, the reason that of the error number or the given text.
std::string failure(const char* head, std::string_view path, int err);
std::string failureWithReason(const char* head, std::string_view path, const char* reasonUtf8);

// The native name of a CP932 path; raises FileError (EILSEQ) when it has none.
std::string nativeOrThrow(const std::string& path, const char* head);

// The read-only attribute: no write bit at all (even root respects it, as the desktop's read-only
// attribute binds everyone), or a file we are not allowed to write.
bool isReadOnly(int dirFd, const char* name, const struct stat& st);

// How replaceFile treats the file it replaces.
struct ReplaceOptions {
  const char* head = kCannotWrite;                // the head of its messages
  std::optional<std::string_view> expected;       // replace only while the file holds these bytes
  std::optional<unsigned> newMode;                // bits of a file that does not exist yet
  std::optional<struct timespec> atime, mtime;    // times to give the written file
};

// The writer behind writeFile, writeFileIfUnchanged and copyFile (see writeFile in files.h).
void replaceFile(const std::string& path, std::string_view bytes, const ReplaceOptions& options);

}  // namespace kelvane::files::internal
