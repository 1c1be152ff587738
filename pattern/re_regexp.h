#pragma once
// TRegularExpression: the component that owns a pattern, its preprocessing and a cache of compiled
// patterns.
//
// Assigning RegExp runs the preprocessor (fuzzy characters, synonyms), looks the processed text up in
// a cache of up to CacheLimit compiled DFAs and compiles it only when it is not there. The result list
// assigns a pattern for every row it paints, so a hit must cost no more than the preprocessing and a
// few string comparisons. Item 0 of the cache is the empty pattern and is never evicted; new items go
// in at position 1 and the last item, the oldest insertion, is evicted; a hit does not move its item.
//
// A failed compilation (a syntax error, a pattern too complex, memory running out) leaves the empty
// pattern current and RegExp empty, and takes the failed text out of the cache. An error found by the
// preprocessor leaves everything as it was.
//
// The descendants choose how to match: TMatchCORE walks the DFA over NUL-terminated texts in memory,
// the file grep walks it itself over lines and supplies its own anchor codes (LF for both).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/re_dfa.h"
#include "pattern/re_preprocessor.h"

namespace kelvane {

class TRegularExpression {
 public:
  static constexpr int CacheLimit = 30;

  // One cache item: a processed pattern text and its DFA.
  struct CacheItem {
    std::string Text;
    std::unique_ptr<TRE_DFA> DFA;
  };

  // An empty RegExp with the empty pattern compiled as cache item 0. Raises std::bad_alloc only.
  TRegularExpression();
  virtual ~TRegularExpression() = default;
  TRegularExpression(const TRegularExpression&) = delete;
  TRegularExpression& operator=(const TRegularExpression&) = delete;

  // The pattern as last assigned successfully, before preprocessing.
  const std::string& RegExp() const { return RegExp_; }
  // The writer of RegExp: AssignRegExp(value). Raises as AssignRegExp.
  void SetRegExp(std::string_view value) { AssignRegExp(value); }

  bool UseFuzzyCharDic() const { return PreProcessor->UseFuzzy; }
  bool UseSynonymDic() const { return PreProcessor->UseSynonym; }
  // Store the flag, then assign RegExp again so that the current pattern is processed under it. Raise
  // as AssignRegExp (a pattern that only the expanded form makes too complex, for instance); the flag
  // stays stored.
  void SetUseFuzzyCharDic(bool value);
  void SetUseSynonymDic(bool value);

  // Preprocesses `value`, finds or compiles the processed text and makes it current. Raises the
  // preprocessor's ERegExpParser (nothing changed), or whatever compiling raises (ERegExpParser for a
  // syntax error or a pattern too complex, std::bad_alloc): the empty pattern is then current and
  // RegExp is empty.
  virtual void AssignRegExp(std::string_view value);
  // Builds the DFA of a processed text into cache item CacheIndex. On failure frees what was made,
  // deletes that item, makes item 0 current and raises again.
  virtual void CompileRegExp(const std::string& text);
  // The codes the anchors "^" and "$" become transitions on. Never raise.
  virtual uint16_t GetLineHeadCode() const { return 0xFFFD; }
  virtual uint16_t GetLineTailCode() const { return 0xFFFE; }

  // The DFA of the current pattern; always exists.
  const TRE_DFA& CurrentDFA() const { return *PatternCache_[CacheIndex_].DFA; }
  // The state reached from `state` on `code`, or null (also for a null state). Never raises.
  static const TREDFAState* NextState(const TREDFAState* state, uint16_t code) {
    return TRE_DFA::NextState(state, code);
  }
  bool IsPlainLiteral() const { return CurrentDFA().IsPlainLiteral; }
  const std::string& PlainLiteral() const { return CurrentDFA().PlainLiteral; }
  bool UsesLineHead() const { return CurrentDFA().LineHeadUsed; }
  bool UsesLineTail() const { return CurrentDFA().LineTailUsed; }

  // The preprocessor's fuzzy-character dictionaries (not owned by it); constructors add the built-in one.
  std::vector<const TREDictionary*>& FuzzyDictionaries() { return PreProcessor->FuzzyDics; }

  // The cache, for inspection: item 0 is always the empty pattern.
  const std::vector<CacheItem>& PatternCache() const { return PatternCache_; }
  int CacheIndex() const { return CacheIndex_; }

 protected:
  // The first item whose text equals `text` byte for byte, or -1.
  int FindCached(const std::string& text) const;
  void FreeCache() { PatternCache_.clear(); }

  std::unique_ptr<TREPreProcessor> PreProcessor;

 private:
  void compile(const std::string& text);
  // The processed form of `value`. Raises the preprocessor's ERegExpParser.
  const std::string& preprocess(std::string_view value);

  struct Processing {
    std::string source;
    bool fuzzy, synonym;
    std::vector<const TREDictionary*> fuzzyDics, synonymDics;
    std::string processed;
    bool sameInput(const Processing& o) const {
      return source == o.source && fuzzy == o.fuzzy && synonym == o.synonym && fuzzyDics == o.fuzzyDics &&
             synonymDics == o.synonymDics;
    }
  };
  std::optional<Processing> lastProcessing_;

  std::string RegExp_;
  std::vector<CacheItem> PatternCache_;
  int CacheIndex_ = 0;
};

}  // namespace kelvane
