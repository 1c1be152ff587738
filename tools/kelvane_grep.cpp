// kelvane-grep: the command-line face of the pattern engine.
//
//   kelvane-grep [options] PATTERN [PATH...]
//
// Searches files and folder trees the way the program's search run does (the file grep, or the
// plain line match with -F) and prints PATH:LINENO:LINE per matching line; or, with --match and
// --gsub, applies the string operations to standard input. Text is UTF-8 on the outside and CP932
// inside, unless --raw says that everything already is CP932, messages included. Exit status:
// 0 something matched, 1 nothing did, 2 an error (also when files could not be read and nothing
// matched).
//
// A folder yields the files the target list of the window would hold (filescan/): the same walk,
// the same listing and the same extension filter, so the two never search different files.
#include <stdio.h>

#include <charconv>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "filescan/file_access.h"
#include "filescan/kyoutuu.h"
#include "kelvane_version.h"
#include "pattern/awk_str.h"
#include "pattern/grep.h"
#include "pattern/plain_text.h"
#include "pattern/re_chars.h"
#include "platform/cp932.h"
#include "platform/files.h"

namespace kelvane {
namespace {

// The texts this tool shows, in one place (UTF-8, as in the source; Texts gives them out in CP932
// under --raw).
namespace msg {
constexpr const char* kUsage =
    "使い方: kelvane-grep [オプション] パターン [パス...]\n"
    "パスのファイルを探す。フォルダは下位フォルダまでたどり、拡張子で絞る (パスが\n"
    "なければ現在のフォルダ)。一致した行ごとに「パス:行番号:行」を出力する。\n"
    "終了状態: 0 一致あり、1 一致なし、2 エラー\n"
    "\n"
    "  -F, --plain        パターンを正規表現でなく文字列として探す\n"
    "  -i, --ignore-case  -F で大文字と小文字を区別しない\n"
    "  -z, --fuzzy        あいまい文字辞書を使う (全角・半角・ひらがな・カタカナ)\n"
    "  --ext=LIST         フォルダ内で探す拡張子、カンマ区切り (既定 .txt)\n"
    "  --raw              引数・入出力・メッセージを Shift-JIS のまま扱う\n"
    "  --match            標準入力で最初の一致の位置と長さを出力する\n"
    "  --gsub=TEMPLATE    標準入力の一致をすべて TEMPLATE に置き換えて出力する\n"
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
}  // namespace msg

// Every text out in one encoding: UTF-8, or CP932 under --raw. The tool's own texts are UTF-8, the
// engine's and the file layer's CP932; an argument is already in the encoding of the outside.
class Texts {
 public:
  explicit Texts(bool raw) : raw_(raw) {}
  bool raw() const { return raw_; }
  std::string own(std::string_view utf8) const { return raw_ ? cp932::fromUtf8(utf8).text : std::string(utf8); }
  std::string cp932(std::string_view cp932Text) const {
    return raw_ ? std::string(cp932Text) : cp932::toUtf8(cp932Text).text;
  }

 private:
  bool raw_;
};

// A message already in the output encoding.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

void printError(const Texts& t, const std::string& message) {
  std::cerr << t.own("kelvane-grep: ") << message << std::endl;
}

struct Options {
  bool plain = false, ignoreCase = false, fuzzy = false, match = false, lf = false;
  std::optional<std::string> gsub;
  std::string ext = ".txt";
  std::string pattern;
  std::vector<std::string> paths;
};

// Whether an option stands among the options (before "--"), whatever else the command line holds:
// --raw decides the encoding of the messages about the rest, --help and --version answer alone.
bool hasOption(int argc, char** argv, std::string_view option) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--") return false;
    if (argv[i] == option) return true;
  }
  return false;
}

Options parseOptions(const Texts& t, int argc, char** argv) {
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
      // read before the others
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
      throw UsageError(t.own(msg::kUnknownOption) + a);
    }
  }
  if (rest.empty()) throw UsageError(t.own(msg::kNoPattern));
  o.pattern = rest[0];
  o.paths.assign(rest.begin() + 1, rest.end());
  if (o.ignoreCase && !o.plain) throw UsageError(t.own(msg::kIgnoreCaseNeedsPlain));
  if (o.fuzzy && o.plain) throw UsageError(t.own(msg::kFuzzyWithPlain));
  if (o.match || o.gsub) {
    if (!o.paths.empty()) throw UsageError(t.own(msg::kNoPathsForStdin));
    if (o.plain) throw UsageError(t.own(msg::kPlainWithStdin));
  }
  return o;
}

// An argument as CP932: as it stands with --raw, else converted from UTF-8.
std::string argumentText(const Texts& t, const std::string& arg) {
  if (t.raw()) return arg;
  cp932::Converted c = cp932::fromUtf8(arg);
  if (!c.ok()) throw UsageError(t.own(msg::kNotCp932) + arg);
  return c.text;
}

// All of standard input, read a block at a time.
std::string readStandardInput(const Texts& t) {
  std::string text;
  char block[1 << 16];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, stdin)) > 0) text.append(block, got);
  if (std::ferror(stdin)) throw UsageError(t.own(msg::kReadError));
  return text;
}

// A template the engine cannot expand, told apart from an error of the pattern. Raised before any
// input is read, so that a bad template is reported even when nothing would have matched.
class TemplateError : public ERegExpParser {
 public:
  using ERegExpParser::ERegExpParser;
};

void checkTemplate(std::string_view replacement) {
  try {
    TAWKStr::CheckTemplate(replacement);
  } catch (const ERegExpParser& e) {
    throw TemplateError(e.what(), e.ErrorPos);
  }
}

class GrepTool {
 public:
  GrepTool(const Options& o, const Texts& t) : o_(o), t_(t) { out_.reserve(kOutputBuffer + 4096); }

  int Run() {
    if (o_.match || o_.gsub) return RunOnStdin();
    pattern_ = argumentText(t_, o_.pattern);
    if (o_.plain) {
      upperPattern_ = cp932::upper(pattern_);
    } else {
      grep_.SetRegExp(pattern_);
      grep_.SetUseFuzzyCharDic(o_.fuzzy);
      grep_.OnMatch = [this](TGrep&, const RE_LineInfo_t& line) { Print(line.LineNo, line.Line); };
    }
    filter_.emplace(argumentText(t_, o_.ext));
    std::vector<std::string> paths = o_.paths;
    if (paths.empty()) paths.push_back(".");
    for (const auto& path : paths) SearchArgument(path);
    Flush();
    return matched_ ? 0 : failed_ ? 2 : 1;
  }

 private:
  // A folder is walked; anything else is handed to the reader, whose message says why it cannot be
  // read (missing, a fifo, a link that loops, no permission).
  void SearchArgument(const std::string& arg) {
    std::optional<std::string> path = t_.raw() ? std::optional<std::string>(arg) : files::fromNative(arg);
    if (!path) return Fail(t_.own(msg::kNotCp932) + arg);
    if (files::folderExists(*path)) return WalkFolder(*path);
    SearchFile(*path);
  }

  void WalkFolder(const std::string& root) {
    WalkFolderFiles(root, [this](const std::string& folder, const FileList& list) {
      if (!list.readable) return Fail(t_.cp932(list.error));
      if (list.leftOut > 0) {
        printError(t_, t_.cp932(folder) + ": " + t_.own(msg::kNamesLeftOut) + std::to_string(list.leftOut));
      }
      for (const std::string& path : list.paths) {
        if (filter_->wantedCount(path) > 0) SearchFile(path);  // a line is printed once however often wanted
      }
    });
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
      Fail(t_.cp932(e.what()));
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
    const std::string text = t_.cp932(out_);
    std::fwrite(text.data(), 1, text.size(), stdout);
    out_.clear();
    std::fflush(stdout);
  }

  void Fail(const std::string& message) {
    Flush();
    printError(t_, message);
    failed_ = true;
  }

  int RunOnStdin() {
    TAWKStr awk;
    awk.LineSeparator = o_.lf ? mcls_LF : mcls_CRLF;
    awk.SetRegExp(argumentText(t_, o_.pattern));
    awk.SetUseFuzzyCharDic(o_.fuzzy);
    std::string replacement;
    if (o_.gsub) {
      replacement = argumentText(t_, *o_.gsub);
      checkTemplate(replacement);
    }
    std::string text = readStandardInput(t_);
    if (!t_.raw()) {
      cp932::Converted c = cp932::fromUtf8(text);
      if (!c.ok()) throw UsageError(t_.own(msg::kStdinNotUtf8));
      text = std::move(c.text);
    }
    if (o_.match) {
      int position = 0, length = 0;
      awk.Match(text, position, length);
      std::printf("%d %d\n", position, length);
      std::fflush(stdout);
      return position > 0 ? 0 : 1;
    }
    int count = awk.GSub(replacement, text);
    const std::string out = t_.cp932(text);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return count > 0 ? 0 : 1;
  }

  const Options& o_;
  const Texts& t_;
  TGrep grep_;
  std::string pattern_, upperPattern_;
  std::optional<ExtensionFilter> filter_;
  static constexpr std::size_t kOutputBuffer = 1 << 16;
  std::string current_;  // the CP932 path of the file being searched
  std::string out_;      // CP932 output not yet written
  bool matched_ = false, failed_ = false;
};

// The engine's message and the 1-based byte position (in CP932) it names.
std::string syntaxError(const Texts& t, const ERegExpParser& e) {
  return t.cp932(e.what()) + t.own(msg::kPosition) + std::to_string(e.ErrorPos) + ")";
}

// A full disk or a closed output must not pass for success.
int checkOutput(const Texts& t, int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    printError(t, t.own(msg::kWriteError));
    return 2;
  }
  return status;
}

int run(int argc, char** argv) {
  const Texts t(hasOption(argc, argv, "--raw"));
  try {
    if (hasOption(argc, argv, "--help")) {
      std::fputs(t.own(msg::kUsage).c_str(), stdout);
      return checkOutput(t, 0);
    }
    if (hasOption(argc, argv, "--version")) {
      std::printf("kelvane-grep %s\n", kKelvaneVersion);
      return checkOutput(t, 0);
    }
    Options o = parseOptions(t, argc, argv);
    return checkOutput(t, GrepTool(o, t).Run());
  } catch (const UsageError& e) {
    printError(t, e.what());
    if (e.what() == t.own(msg::kNoPattern)) std::cerr << t.own(msg::kUsage);
  } catch (const TemplateError& e) {
    printError(t, t.own(msg::kTemplate) + syntaxError(t, e));
  } catch (const ERegExpParser& e) {
    printError(t, syntaxError(t, e));
  } catch (const std::bad_alloc&) {
    printError(t, t.own(msg::kNoMemory));
  } catch (const std::exception& e) {
    printError(t, t.cp932(e.what()));
  }
  return 2;
}

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) { return kelvane::run(argc, argv); }
