#include "tools/options.h"

#include <sched.h>

#include <charconv>
#include <thread>

namespace kelvane::tools {
namespace {

unsigned threadCount(const Texts& t, std::string_view text) {
  unsigned n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < 1 || n > kMaxThreads)
    throw UsageError(t.own(msg::kBadThreads) + std::string(text));
  return n;
}

// The rules for options that only make sense together, once all are known.
void checkCombinations(const Texts& t, const Options& o) {
  if (o.ignoreCase && !o.plain) throw UsageError(t.own(msg::kIgnoreCaseNeedsPlain));
  if (o.fuzzy && o.plain) throw UsageError(t.own(msg::kFuzzyWithPlain));
  if (o.inPlace && !o.gsub) throw UsageError(t.own(msg::kInPlaceNeedsGsub));
  if (!o.inPlace) {
    if (o.dryRun) throw UsageError(t.own("--dry-run") + t.own(msg::kInPlaceOnly));
    if (o.backup) throw UsageError(t.own("--backup") + t.own(msg::kInPlaceOnly));
  } else {
    if (o.match) throw UsageError(t.own("--match") + t.own(msg::kInPlaceWithout));
    if (o.lf) throw UsageError(t.own("--lf") + t.own(msg::kInPlaceWithout));
    if (o.paths.empty()) throw UsageError(t.own(msg::kInPlaceNeedsPaths));
    if (o.backup && (o.backup->empty() || o.backup->find('/') != std::string::npos))
      throw UsageError(t.own(msg::kBadBackupSuffix));
  }
  if (o.match || o.gsub) {
    if (!o.paths.empty() && !o.inPlace) throw UsageError(t.own(msg::kNoPathsForStdin));
    if (o.plain) throw UsageError(t.own(msg::kPlainWithStdin));
  }
}

}  // namespace

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
    } else if (a == "--in-place") {
      o.inPlace = true;
    } else if (a == "--dry-run") {
      o.dryRun = true;
    } else if (a == "--backup") {
      o.backup = ".orig";
    } else if (a.rfind("--backup=", 0) == 0) {
      o.backup = a.substr(9);
    } else if (a == "-j") {
      o.threads = threadCount(t, i + 1 < argc ? std::string_view(argv[++i]) : std::string_view());
    } else if (a.rfind("-j", 0) == 0) {
      o.threads = threadCount(t, std::string_view(a).substr(2));
    } else if (a.rfind("--threads=", 0) == 0) {
      o.threads = threadCount(t, std::string_view(a).substr(10));
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
  checkCombinations(t, o);
  return o;
}

std::string argumentText(const Texts& t, const std::string& arg) {
  if (t.raw()) return arg;
  cp932::Converted c = cp932::fromUtf8(arg);
  if (!c.ok()) throw UsageError(t.own(msg::kNotCp932) + arg);
  return c.text;
}

unsigned coreCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return static_cast<unsigned>(CPU_COUNT(&set));
  const unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? n : 1;
}

}  // namespace kelvane::tools
