#pragma once
// The command line of kelvane-grep: its options, the rules for which go together, and the arguments
// as CP932.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/cli_texts.h"

namespace kelvane::tools {

struct Options {
  bool plain = false, ignoreCase = false, fuzzy = false, match = false, lf = false;
  bool inPlace = false, dryRun = false;
  std::optional<std::string> gsub;    // the template as given
  std::optional<std::string> backup;  // the backup suffix as given
  unsigned threads = 0;               // 0: one per core
  std::string ext = ".txt";
  std::string pattern;
  std::vector<std::string> paths;
  // --match or --gsub on standard input, always on one thread.
  bool onStandardInput() const { return (match || gsub) && !inPlace; }
};

static constexpr unsigned kMaxThreads = 1024;

// Whether an option stands among the options (before "--"), whatever else the command line holds:
// --raw decides the encoding of the messages about the rest, --help and --version answer alone.
bool hasOption(int argc, char** argv, std::string_view option);

// The options, checked against each other. Raises UsageError with the message in t's encoding.
Options parseOptions(const Texts& t, int argc, char** argv);

// An argument as CP932: as it stands with --raw, else converted from UTF-8. Raises UsageError when
// it has no CP932 form.
std::string argumentText(const Texts& t, const std::string& arg);

// The number of cores this process may run on (at least 1).
unsigned coreCount();

}  // namespace kelvane::tools
