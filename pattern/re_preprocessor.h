#pragma once
// The fuzzy-character and synonym preprocessing of a pattern, before it is compiled.
//
// With the fuzzy dictionary on, every ordinary character (or run of characters) of the pattern that
// some dictionary row lists is replaced by a group of all the row's entries: "が" becomes
// "(が|ガ|ｶﾞ|か゛|カ゛)", "a" becomes "(Ａ|ａ|A|a)". The rewrite works on the pattern's text and yields a
// pattern again, so the parser needs to know nothing about it. Metacharacters, operators, escapes that
// no row lists and everything inside a class are copied exactly as written; a postfix operator after a
// replaced character then applies to the whole group.
//
// Rows are tried in table order and the first row with a matching entry wins (not the longest match),
// which is why the rows of multi-character entries such as "か゛" stand before the row of "か".
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/re_scanner.h"

namespace kelvane {

// A word group is a list of entries (CP932 texts) that count as equivalent; a dictionary is a list of
// groups. An empty entry never matches but still takes part in the replacement.
using TREWordGroup = std::vector<std::string>;
using TREDictionary = std::vector<TREWordGroup>;

// The built-in table: 145 rows, each a list of UTF-8 entries, in the order the program relies on.
inline constexpr std::size_t kFuzzyCharRows = 145;
inline constexpr std::size_t kFuzzyCharMaxEntries = 10;
struct FuzzyCharRow {
  const char* entries[kFuzzyCharMaxEntries];  // UTF-8; unused slots are nullptr
};
extern const FuzzyCharRow FuzzyCharTable[kFuzzyCharRows];

// The dictionary built from FuzzyCharTable (CP932, one group per row, row order kept). Built on the
// first call, shared read-only for the rest of the run. Raises std::runtime_error if an entry has no
// CP932 form (a broken table, caught by the tests).
const TREDictionary& FuzzyCharDic();

// One token as the scanner produced it; the token's bytes are pattern[StartPos, EndPos) (1-based).
struct TRETokenInfo {
  TRETokenKind Kind = tk_End;
  uint16_t Symbol = 0;
  uint16_t SymbolEnd = 0;
  int32_t StartPos = 0;
  int32_t EndPos = 0;
};

class TREPreProcessor {
 public:
  explicit TREPreProcessor(std::string_view source = {});
  virtual ~TREPreProcessor() = default;
  TREPreProcessor(const TREPreProcessor&) = delete;
  TREPreProcessor& operator=(const TREPreProcessor&) = delete;

  // The text the next Run processes.
  void SetSource(std::string_view text);
  // Fills Processed() from the source: the synonym pass when UseSynonym (a byte-for-byte copy when no
  // synonym dictionary is registered, but the pattern is still scanned), then the fuzzy pass when
  // UseFuzzy. With both off the source passes unchanged and is not scanned. Raises the scanner's
  // ERegExpParser when a pass scans a broken pattern; Processed() is then incomplete and unused.
  void Run();
  const std::string& Processed() const { return processed_; }

  const TREScanner& Scanner() const { return scanner_; }
  const std::vector<TRETokenInfo>& Tokens() const { return tokens_; }  // of the last pass
  const std::string& Replacement() const { return replacement_; }      // the group last built

  std::vector<const TREDictionary*> SynonymDics;  // not owned
  std::vector<const TREDictionary*> FuzzyDics;    // not owned
  bool UseFuzzy = false;
  bool UseSynonym = false;

 private:
  using Matcher = int (TREPreProcessor::*)(int from, int to);
  void Tokenize();
  void ClearTokens() { tokens_.clear(); }
  void Rewrite(Matcher matcher);
  int MatchSynonym(int from, int to);
  int MatchFuzzy(int from, int to);
  int MatchDictionaries(const std::vector<const TREDictionary*>& dictionaries, int from, int to);
  int MatchDictionary(const TREDictionary& dictionary, int from, int to);
  int MatchEntry(std::string_view entry, int from, int to) const;

  TREScanner scanner_;
  std::string processed_;
  std::vector<TRETokenInfo> tokens_;
  std::string replacement_;
};

}  // namespace kelvane
