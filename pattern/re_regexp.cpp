// The pattern component of re_regexp.h: preprocessing, the cache of compiled patterns and the compiler pipeline
// (parser, NFA, DFA). The parser and the NFA live only while one pattern is compiled; the DFA lives in
// its cache item until the item is evicted.
#include "pattern/re_regexp.h"

#include "pattern/re_nfa.h"
#include "pattern/re_parser.h"

namespace kelvane {

TRegularExpression::TRegularExpression() : PreProcessor(std::make_unique<TREPreProcessor>()) {
  PatternCache_.push_back({std::string(), nullptr});
  CacheIndex_ = 0;
  // Virtual calls do not reach a descendant from here; the empty pattern has no anchors, so its DFA
  // is the same whatever codes a descendant would supply.
  compile(PatternCache_[0].Text);
}

void TRegularExpression::compile(const std::string& text) {
  TREParser parser(text);
  parser.Parse();
  TRE_NFA nfa(parser, GetLineHeadCode(), GetLineTailCode());
  nfa.Build();
  auto dfa = std::make_unique<TRE_DFA>(nfa);
  dfa->Build();
  PatternCache_[CacheIndex_].DFA = std::move(dfa);
}

void TRegularExpression::CompileRegExp(const std::string& text) {
  try {
    compile(text);
  } catch (...) {
    // Item 0 is the empty pattern, which always compiles; it is never taken out.
    if (CacheIndex_ > 0) PatternCache_.erase(PatternCache_.begin() + CacheIndex_);
    CacheIndex_ = 0;
    throw;
  }
}

void TRegularExpression::AssignRegExp(std::string_view text) {
  const std::string value(text);                    // the caller's text may live in the cache this assignment changes
  const std::string processed = preprocess(value);  // an error here changes nothing
  try {
    const int i = FindCached(processed);
    CacheIndex_ = i;
    if (i == -1) {
      if (static_cast<int>(PatternCache_.size()) >= CacheLimit) PatternCache_.pop_back();
      PatternCache_.insert(PatternCache_.begin() + 1, CacheItem{processed, nullptr});
      CacheIndex_ = 1;
      CompileRegExp(PatternCache_[1].Text);
    }
    RegExp_ = value;
  } catch (...) {
    CacheIndex_ = 0;
    RegExp_.clear();
    throw;
  }
}

void TRegularExpression::SetUseFuzzyCharDic(bool value) {
  PreProcessor->UseFuzzy = value;
  AssignRegExp(std::string(RegExp_));
}

void TRegularExpression::SetUseSynonymDic(bool value) {
  PreProcessor->UseSynonym = value;
  AssignRegExp(std::string(RegExp_));
}

const std::string& TRegularExpression::preprocess(std::string_view value) {
  // The result list assigns the same pattern for every row it paints: the text preprocessed last time
  // is handed out again when nothing that could change it has changed.
  Processing now{std::string(value),      PreProcessor->UseFuzzy,    PreProcessor->UseSynonym,
                 PreProcessor->FuzzyDics, PreProcessor->SynonymDics, {}};
  if (lastProcessing_ && lastProcessing_->sameInput(now)) return lastProcessing_->processed;
  lastProcessing_.reset();
  PreProcessor->SetSource(value);
  PreProcessor->Run();
  now.processed = PreProcessor->Processed();
  lastProcessing_ = std::move(now);
  return lastProcessing_->processed;
}

int TRegularExpression::FindCached(const std::string& text) const {
  for (std::size_t i = 0; i < PatternCache_.size(); ++i)
    if (PatternCache_[i].Text == text) return static_cast<int>(i);
  return -1;
}

}  // namespace kelvane
