// The words of the file layer's failures. A system error text is UTF-8 (or, once the window has set a
// locale, whatever that locale speaks); it is never joined raw to a CP932 message, where it would show
// as garbage. The common reasons have our own Japanese; the rest keep the system's text, converted.
#include <errno.h>
#include <string.h>

#include "platform/cp932.h"
#include "platform/file_internal.h"
#include "platform/files.h"
#include "platform/read_handle.h"

namespace kelvane::files {
namespace {

struct Reason {
  int error;
  const char* utf8;
};

constexpr Reason kReasons[] = {
    {ENOENT, "ファイルまたはフォルダがありません"},
    {ENOTDIR, "パスの途中にフォルダでないものがあります"},
    {EACCES, "アクセスが拒否されました"},
    {EPERM, "アクセスが拒否されました"},
    {ELOOP, "リンクがループしています"},
    {ENAMETOOLONG, "パスが長すぎます"},
    {EISDIR, "フォルダです"},
    {EEXIST, "同じ名前のものが既にあります"},
    {ENOTEMPTY, "フォルダが空ではありません"},
    {ENOSPC, "ディスクの空き領域が足りません"},
    {EDQUOT, "ディスクの使用量の上限に達しました"},
    {EROFS, "読み取り専用のファイルシステムです"},
    {EIO, "入出力エラーが起きました"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ENFILE, "開いているファイルが多すぎます"},
    {ENOMEM, "メモリが足りません"},
    {EFBIG, "ファイルが大きすぎます"},
    {EBUSY, "使用中です"},
    {ETXTBSY, "使用中です"},
    {EXDEV, "別のファイルシステムへは移せません"},
    {EILSEQ, "この名前はファイルシステムで扱えません"},
};

}  // namespace

std::string reasonText(int error) {
  for (const Reason& r : kReasons)
    if (r.error == error) return cp932::fromUtf8(r.utf8).text;
  char buffer[256];
  const char* system = strerror_r(error, buffer, sizeof buffer);
  return cp932::fromUtf8(system).text;
}

bool FileError::notFound() const { return error_ == ENOENT || error_ == ENOTDIR; }

std::string readFailure(const std::string& path, int error) {
  return path + cp932::fromUtf8("：").text + reasonText(error);
}

namespace internal {

std::string text(const char* utf8) { return cp932::fromUtf8(utf8).text; }

std::string failure(const char* head, std::string_view path, int err) {
  return text(head) + ": " + std::string(path) + " (" + reasonText(err) + ")";
}

std::string failureWithReason(const char* head, std::string_view path, const char* reasonUtf8) {
  return text(head) + ": " + std::string(path) + " (" + text(reasonUtf8) + ")";
}

std::string nativeOrThrow(const std::string& path, const char* head) {
  auto native = toNative(path);
  if (!native) throw FileError(failure(head, path, EILSEQ), EILSEQ);
  return *native;
}

}  // namespace internal
}  // namespace kelvane::files
