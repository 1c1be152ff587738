#pragma once
// The texts kelvane-grep shows, in one place (UTF-8, as in the source), and the one encoding every
// text goes out in: UTF-8, or CP932 under --raw.
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/cp932.h"

namespace kelvane::tools {

namespace msg {
constexpr const char* kUsage =
    "使い方: kelvane-grep [オプション] パターン [パス...]\n"
    "パスのファイルを探す。フォルダは下位フォルダまでたどり、拡張子で絞る (パスが\n"
    "なければ現在のフォルダ)。一致した行ごとに「パス:行番号:行」を出力する。\n"
    "終了状態: 0 一致あり (書き換えあり)、1 一致なし、2 エラー\n"
    "\n"
    "  -F, --plain        パターンを正規表現でなく文字列として探す\n"
    "  -i, --ignore-case  -F で大文字と小文字を区別しない\n"
    "  -z, --fuzzy        あいまい文字辞書を使う (全角・半角・ひらがな・カタカナ)\n"
    "  --ext=LIST         フォルダ内で探す拡張子、カンマ区切り (既定 .txt)\n"
    "  -j, --threads=N    N 個のスレッドで探す (既定 CPU の数、出力は -j1 と同じ)\n"
    "  --raw              引数・入出力・メッセージを Shift-JIS のまま扱う\n"
    "  --match            標準入力で最初の一致の位置と長さを出力する\n"
    "  --gsub=TEMPLATE    標準入力の一致をすべて TEMPLATE に置き換えて出力する\n"
    "  --in-place         --gsub でパスのファイルを書き換え、書き換えたパスを出力する\n"
    "  --backup[=SUFFIX]  --in-place で元のファイルを残す (既定の接尾辞 .orig)\n"
    "  --dry-run          --in-place で書き換えず「パス:行番号:新しい行」を出力する\n"
    "  --lf               --match / --gsub で LF を行の区切りとする\n"
    "  --help             この説明を表示する\n"
    "  --version          バージョンを表示する\n"
    "  --                 オプションの終わり\n";
constexpr const char* kUnknownOption = "不明なオプションです: ";
constexpr const char* kNoPattern = "パターンがありません";
constexpr const char* kIgnoreCaseNeedsPlain = "-i は -F と一緒に指定してください";
constexpr const char* kFuzzyWithPlain = "-z は -F と一緒には使えません";
constexpr const char* kNotCp932 = "Shift-JIS で表せない文字があります: ";
constexpr const char* kStdinNotUtf8 = "標準入力を Shift-JIS に変換できません";
constexpr const char* kNoPathsForStdin = "--match と --gsub は標準入力だけを読みます (パスは指定できません)";
constexpr const char* kPlainWithStdin = "-F は --match / --gsub と一緒には使えません";
constexpr const char* kNamesLeftOut = "Shift-JIS で表せない名前を飛ばしました: ";
constexpr const char* kPosition = " (位置 ";
constexpr const char* kTemplate = "置換文字列: ";
constexpr const char* kReadError = "標準入力を読めません";
constexpr const char* kWriteError = "標準出力に書き込めません";
constexpr const char* kNoMemory = "メモリが足りません";
constexpr const char* kBadThreads = "-j / --threads には 1 から 1024 までの数を指定してください: ";
constexpr const char* kInPlaceNeedsGsub = "--in-place は --gsub と一緒に指定してください";
constexpr const char* kInPlaceNeedsPaths = "--in-place には書き換えるファイルかフォルダを指定してください";
constexpr const char* kInPlaceOnly = " は --in-place と一緒に指定してください";
constexpr const char* kInPlaceWithout = " は --in-place と一緒には使えません";
constexpr const char* kBadBackupSuffix = "--backup の接尾辞は空でなく / を含まないものにしてください";
// Why a file was left as it was; each follows the path and "：".
constexpr const char* kHasNul = "NUL バイトを含むので書き換えません";
constexpr const char* kWouldWriteNul = "置換すると NUL バイトが入るので書き換えません";
constexpr const char* kChanged = "読んだ後で変更されたので書き換えません";
constexpr const char* kBackup = "バックアップ ";
constexpr const char* kBackupExists = " が既にあるので書き換えません";
constexpr const char* kBackupFailed = " を作れないので書き換えません: ";
constexpr const char* kTargetNotCp932 = "リンク先の名前を Shift-JIS で表せないので書き換えません";
}  // namespace msg

class Texts {
 public:
  explicit Texts(bool raw) : raw_(raw) {}
  bool raw() const { return raw_; }
  // One of the tool's own texts, in the output encoding.
  std::string own(std::string_view utf8) const { return raw_ ? cp932::fromUtf8(utf8).text : std::string(utf8); }
  // CP932 text of the engine or the file layer, in the output encoding.
  std::string cp932(std::string_view cp932Text) const {
    return raw_ ? std::string(cp932Text) : cp932::toUtf8(cp932Text).text;
  }
  // A message line as standard error shows it: the tool's name, the message, a line feed.
  std::string errorLine(const std::string& message) const { return own("kelvane-grep: ") + message + "\n"; }

 private:
  bool raw_;
};

// A message already in the output encoding; the run ends with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kelvane::tools
