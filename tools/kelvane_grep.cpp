// kelvane-grep: the command-line face of the pattern engine.
//
//   kelvane-grep [options] PATTERN [PATH...]
//
// Searches files and folder trees the way the program's search run does (the file grep, or the
// plain line match with -F) and prints PATH:LINENO:LINE per matching line; or, with --match and
// --gsub, applies the string operations to standard input. Text is UTF-8 on the outside and CP932
// inside, unless --raw says that everything already is CP932. Exit status: 0 something matched,
// 1 nothing did, 2 an error (also when files could not be read and nothing matched).
//
// Folders are walked breadth first, each folder's files in the order the program lists them, and
// filtered by extension like the target list; a folder reached twice through links is entered once.
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <deque>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/awk_str.h"
#include "pattern/grep.h"
#include "pattern/plain_text.h"
#include "pattern/re_chars.h"
#include "platform/cp932.h"
#include "platform/files.h"

namespace kelvane {
namespace {

// The texts this tool shows, in one place (UTF-8, as written to the terminal).
namespace msg {
constexpr const char* kUsage =
    "使い方: kelvane-grep [オプション] パターン [パス...]\n"
    "  -F, --plain        パターンを正規表現でなく文字列として探す\n"
    "  -i, --ignore-case  -F で大文字と小文字を区別しない\n"
    "  -z, --fuzzy        あいまい文字辞書を使う\n"
    "  --ext=LIST         フォルダ内で探す拡張子 (既定 .txt)\n"
    "  --raw              引数・入出力を Shift-JIS のまま扱う\n"
    "  --match            標準入力で最初に一致した位置と長さを表示する\n"
    "  --gsub=TEMPLATE    標準入力の一致をすべて置き換えて出力する\n"
    "  --lf               --match / --gsub で LF を行の区切りとする\n";
constexpr const char* kUnknownOption = "不明なオプションです: ";
constexpr const char* kNoPattern = "パターンがありません";
constexpr const char* kIgnoreCaseNeedsPlain = "-i は -F と一緒に指定してください";
constexpr const char* kFuzzyWithPlain = "-z は -F と一緒には使えません";
constexpr const char* kNotCp932 = "Shift-JIS で表せない文字があります: ";
constexpr const char* kStdinNotUtf8 = "標準入力を Shift-JIS に変換できません";
constexpr const char* kNoPathsForStdin = "--match と --gsub は標準入力だけを読みます (パスは指定できません)";
constexpr const char* kPlainWithStdin = "-F は --match / --gsub と一緒には使えません";
constexpr const char* kNotFound = "ファイルまたはフォルダがありません";
constexpr const char* kNamesLeftOut = "Shift-JIS で表せない名前を飛ばしました: ";
constexpr const char* kPosition = " (位置 ";
constexpr const char* kReadError = "標準入力を読めません";
constexpr const char* kWriteError = "標準出力に書き込めません";
}  // namespace msg

struct Options {
  bool plain = false, ignoreCase = false, fuzzy = false, raw = false, match = false, lf = false;
  std::optional<std::string> gsub;
  std::string ext = ".txt";
  std::string pattern;
  std::vector<std::string> paths;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

void printError(std::string_view utf8) { std::cerr << "kelvane-grep: " << utf8 << std::endl; }

// The CP932 text of an engine message, for the terminal.
std::string fromEngine(const std::string& cp932) { return cp932::toUtf8(cp932).text; }

Options parseOptions(int argc, char** argv) {
  Options o;
  std::vector<std::string> rest;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      rest.push_back(a);
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "-F" || a == "--plain") {
      o.plain = true;
    } else if (a == "-i" || a == "--ignore-case") {
      o.ignoreCase = true;
    } else if (a == "-z" || a == "--fuzzy") {
      o.fuzzy = true;
    } else if (a == "--raw") {
      o.raw = true;
    } else if (a == "--match") {
      o.match = true;
    } else if (a == "--lf") {
      o.lf = true;
    } else if (a.rfind("--gsub=", 0) == 0) {
      o.gsub = a.substr(7);
    } else if (a.rfind("--ext=", 0) == 0) {
      o.ext = a.substr(6);
    } else if (a.size() > 2 && a[1] != '-' && a.find_first_not_of("Fiz", 1) == std::string::npos) {
      for (char c : a.substr(1)) (c == 'F' ? o.plain : c == 'i' ? o.ignoreCase : o.fuzzy) = true;
    } else {
      throw UsageError(std::string(msg::kUnknownOption) + a);
    }
  }
  if (rest.empty()) throw UsageError(msg::kNoPattern);
  o.pattern = rest[0];
  o.paths.assign(rest.begin() + 1, rest.end());
  if (o.ignoreCase && !o.plain) throw UsageError(msg::kIgnoreCaseNeedsPlain);
  if (o.fuzzy && o.plain) throw UsageError(msg::kFuzzyWithPlain);
  if (o.match || o.gsub) {
    if (!o.paths.empty()) throw UsageError(msg::kNoPathsForStdin);
    if (o.plain) throw UsageError(msg::kPlainWithStdin);
  }
  return o;
}

// An argument as CP932: as it stands with --raw, else converted from UTF-8.
std::string argumentText(const Options& o, const std::string& arg) {
  if (o.raw) return arg;
  cp932::Converted c = cp932::fromUtf8(arg);
  if (!c.ok()) throw UsageError(std::string(msg::kNotCp932) + arg);
  return c.text;
}

// The entries of an extension list: split at commas and blanks, double quotes group; two commas in
// a row or a comma at the end give an empty entry (which wants files without an extension).
std::vector<std::string> extensionEntries(std::string_view list) {
  std::vector<std::string> entries;
  std::string current;
  bool quoted = false, pending = false;
  for (char c : list) {
    if (c == '"') {
      quoted = !quoted;
      pending = true;
    } else if (!quoted && (c == ',' || c == ' ')) {
      if (c == ',' || pending) entries.push_back(cp932::upper(current));
      current.clear();
      pending = c == ',';
    } else {
      current += c;
      pending = true;
    }
  }
  if (pending) entries.push_back(cp932::upper(current));
  return entries;
}

class GrepTool {
 public:
  explicit GrepTool(const Options& o) : o_(o) { out_.reserve(kOutputBuffer + 4096); }

  int Run() {
    if (o_.match || o_.gsub) return RunOnStdin();
    pattern_ = argumentText(o_, o_.pattern);
    if (o_.plain) {
      upperPattern_ = cp932::upper(pattern_);
    } else {
      grep_.SetRegExp(pattern_);
      grep_.SetUseFuzzyCharDic(o_.fuzzy);
      grep_.OnMatch = [this](TGrep&, const RE_LineInfo_t& line) { Print(line.LineNo, line.Line); };
    }
    extensions_ = extensionEntries(o_.raw ? o_.ext : cp932::fromUtf8(o_.ext).text);
    std::vector<std::string> paths = o_.paths;
    if (paths.empty()) paths.push_back(".");
    for (const auto& path : paths) SearchArgument(path);
    Flush();
    return matched_ ? 0 : failed_ ? 2 : 1;
  }

 private:
  void SearchArgument(const std::string& arg) {
    std::optional<std::string> path = o_.raw ? std::optional<std::string>(arg) : files::fromNative(arg);
    if (!path) return Fail(std::string(msg::kNotCp932) + arg);
    if (files::fileExists(*path)) return SearchFile(*path);
    if (files::folderExists(*path)) return WalkFolder(*path);
    Fail(Display(*path) + ": " + msg::kNotFound);
  }

  void WalkFolder(std::string root) {
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited;  // device and inode of each folder entered
    std::deque<std::string> queue{root};
    while (!queue.empty()) {
      std::string folder = std::move(queue.front());
      queue.pop_front();
      auto id = files::folderId(folder);
      if (id && !visited.insert({id->device, id->inode}).second) continue;
      files::Listing listing;
      try {
        listing = files::listFolderKinds(folder);  // only names and kinds: no call per file
      } catch (const files::FileError& e) {
        Fail(fromEngine(e.what()));
        continue;
      }
      if (listing.leftOut > 0) {
        printError(Display(folder) + ": " + msg::kNamesLeftOut + std::to_string(listing.leftOut));
      }
      std::string prefix = folder == "/" ? folder : folder + "/";
      for (const auto& entry : listing.entries) {
        if (entry.attributes & files::kDirectory) {
          queue.push_back(prefix + entry.name);
        } else if ((entry.attributes & (files::kReadOnly | files::kHidden | files::kArchive)) && Wanted(entry.name)) {
          SearchFile(prefix + entry.name);
        }
      }
    }
  }

  bool Wanted(const std::string& name) const {
    std::string ext = cp932::upper(files::extensionPart(name));
    return std::find(extensions_.begin(), extensions_.end(), ext) != extensions_.end();
  }

  void SearchFile(const std::string& path) {
    current_ = path;
    try {
      if (o_.plain) {
        forEachLine(path, [this](std::string_view line, std::int64_t lineNo) {
          std::string upper;
          if (o_.ignoreCase) upper = cp932::upper(line);
          if (findOnBoundary(o_.ignoreCase ? upper : line, o_.ignoreCase ? upperPattern_ : pattern_) !=
              std::string_view::npos) {
            Print(lineNo, line);
          }
          return true;
        });
      } else {
        grep_.Grep(path);
      }
    } catch (const std::runtime_error& e) {
      Fail(fromEngine(e.what()));
    }
  }

  // Output is gathered as CP932 and converted a buffer at a time: one conversion per 64 KB instead of
  // one per line. A buffer always ends with a whole output line, so no character is cut in two.
  void Print(std::int64_t lineNo, std::string_view line) {
    matched_ = true;
    char number[24];
    auto end = std::to_chars(number, number + sizeof number, lineNo).ptr;
    out_ += current_;
    out_ += ':';
    out_.append(number, end);
    out_ += ':';
    out_ += line;
    out_ += '\n';
    if (out_.size() >= kOutputBuffer) Flush();
  }

  void Flush() {
    if (out_.empty()) return;
    if (o_.raw) {
      std::fwrite(out_.data(), 1, out_.size(), stdout);
    } else {
      std::string utf8 = cp932::toUtf8(out_).text;
      std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    }
    out_.clear();
    std::fflush(stdout);
  }

  std::string Display(const std::string& cp932Path) const { return o_.raw ? cp932Path : cp932::toUtf8(cp932Path).text; }

  void Fail(const std::string& utf8) {
    Flush();
    printError(utf8);
    failed_ = true;
  }

  int RunOnStdin() {
    std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (std::cin.bad()) throw UsageError(msg::kReadError);
    std::string text = input;
    if (!o_.raw) {
      cp932::Converted c = cp932::fromUtf8(input);
      if (!c.ok()) throw UsageError(msg::kStdinNotUtf8);
      text = c.text;
    }
    TAWKStr awk;
    awk.LineSeparator = o_.lf ? mcls_LF : mcls_CRLF;
    awk.SetRegExp(argumentText(o_, o_.pattern));
    awk.SetUseFuzzyCharDic(o_.fuzzy);
    if (o_.match) {
      int position = 0, length = 0;
      awk.Match(text, position, length);
      std::printf("%d %d\n", position, length);
      std::fflush(stdout);
      return position > 0 ? 0 : 1;
    }
    int count = awk.GSub(argumentText(o_, *o_.gsub), text);
    std::string out = o_.raw ? text : cp932::toUtf8(text).text;
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return count > 0 ? 0 : 1;
  }

  const Options& o_;
  TGrep grep_;
  std::string pattern_, upperPattern_;
  std::vector<std::string> extensions_;
  static constexpr std::size_t kOutputBuffer = 1 << 16;
  std::string current_;  // the CP932 path of the file being searched
  std::string out_;      // CP932 output not yet written
  bool matched_ = false, failed_ = false;
};

// A full disk or a closed output must not pass for success.
int checkOutput(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    printError(msg::kWriteError);
    return 2;
  }
  return status;
}

int run(int argc, char** argv) {
  try {
    Options o = parseOptions(argc, argv);
    return checkOutput(GrepTool(o).Run());
  } catch (const UsageError& e) {
    printError(e.what());
    if (std::strcmp(e.what(), msg::kNoPattern) == 0) std::cerr << msg::kUsage;
  } catch (const ERegExpParser& e) {
    printError(fromEngine(e.what()) + msg::kPosition + std::to_string(e.ErrorPos) + ")");
  } catch (const std::exception& e) {
    printError(fromEngine(e.what()));
  }
  return 2;
}

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) { return kelvane::run(argc, argv); }
