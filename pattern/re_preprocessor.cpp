// The preprocessor of re_preprocessor.h rewrites a pattern token by token. It first cuts the whole pattern into tokens with
// their byte spans, then walks them: a token that is not an ordinary character outside a class is
// copied as written; a run of ordinary characters is matched against the dictionaries from each
// position, and where a row's entry matches, the row's group replaces the characters it covered. Since
// the copy is by byte span, anything the rewrite leaves alone (escapes, classes, operators) reaches the
// parser exactly as the user wrote it.
#include "pattern/re_preprocessor.h"

namespace kelvane {

namespace {

// "(" entry 0 "|" entry 1 ... ")", each entry with its metacharacters escaped.
std::string GroupText(const TREWordGroup& group) {
  std::string text(1, '(');
  for (std::size_t k = 0; k < group.size(); ++k) {
    if (k > 0) text.push_back('|');
    const std::string quoted = QuoteMetaChars(group[k]);
    text.append(quoted.data(), quoted.size());
  }
  text.push_back(')');
  return text;
}

}  // namespace

TREPreProcessor::TREPreProcessor(std::string_view source) : scanner_(source) {}

void TREPreProcessor::SetSource(std::string_view text) { scanner_.Reset(text); }

void TREPreProcessor::Run() {
  processed_ = scanner_.Pattern();
  // The synonym pass runs even with no dictionary registered: it then copies the pattern byte for
  // byte, but it still scans it, so a broken pattern is refused here and the compiler keeps the
  // pattern it had, as it does for the fuzzy pass.
  if (UseSynonym) {
    Rewrite(&TREPreProcessor::MatchSynonym);
    scanner_.Reset(processed_);
  }
  if (UseFuzzy) Rewrite(&TREPreProcessor::MatchFuzzy);
}

void TREPreProcessor::Tokenize() {
  ClearTokens();
  // Always from the start of the current text: a second Run on the same source must see all of it,
  // not the tk_End the first pass left the scanner at.
  scanner_.Reset(std::string(scanner_.Pattern()));
  int32_t prev = scanner_.Position();
  while (scanner_.NextToken() != tk_End) {
    tokens_.push_back({scanner_.Token(), scanner_.Symbol(), scanner_.SymbolEnd(), prev, scanner_.Position()});
    prev = scanner_.Position();
  }
  tokens_.push_back(TRETokenInfo{});
}

void TREPreProcessor::Rewrite(Matcher matcher) {
  const std::string source = scanner_.Pattern();
  processed_.clear();
  Tokenize();
  const auto copyToken = [&](const TRETokenInfo& t) {
    processed_.append(source, static_cast<std::size_t>(t.StartPos - 1),
                      static_cast<std::size_t>(t.EndPos - t.StartPos));
  };
  const int count = static_cast<int>(tokens_.size());
  bool inClass = false;
  int i = 0;
  while (i < count) {
    const TRETokenInfo& t = tokens_[i];
    if (t.Kind == tk_ClassOpen || t.Kind == tk_NegClassOpen) inClass = true;
    if (t.Kind == tk_ClassClose) inClass = false;
    if (t.Kind != tk_Char || inClass) {
      if (t.Kind != tk_End) copyToken(t);
      ++i;
      continue;
    }
    int e = i;
    while (tokens_[e].Kind == tk_Char) ++e;
    while (i < e) {
      const int r = (this->*matcher)(i, e);
      if (r == -1) {
        copyToken(tokens_[i]);
        ++i;
      } else {
        processed_ += replacement_;
        i = r;
      }
    }
    i = e;
  }
}

int TREPreProcessor::MatchSynonym(int from, int to) { return MatchDictionaries(SynonymDics, from, to); }
int TREPreProcessor::MatchFuzzy(int from, int to) { return MatchDictionaries(FuzzyDics, from, to); }

int TREPreProcessor::MatchDictionaries(const std::vector<const TREDictionary*>& dictionaries, int from, int to) {
  for (const TREDictionary* dictionary : dictionaries) {
    if (dictionary == nullptr) continue;
    const int r = MatchDictionary(*dictionary, from, to);
    if (r != -1) return r;
  }
  return -1;
}

int TREPreProcessor::MatchDictionary(const TREDictionary& dictionary, int from, int to) {
  for (const TREWordGroup& group : dictionary) {
    for (const std::string& entry : group) {
      const int n = MatchEntry(entry, from, to);
      if (n == -1) continue;
      replacement_ = GroupText(group);
      return n;
    }
  }
  return -1;
}

int TREPreProcessor::MatchEntry(std::string_view entry, int from, int to) const {
  if (entry.empty()) return -1;
  int k = from;
  int32_t position = 1;
  for (uint16_t c = ReadPatternChar(entry, position); c != 0; c = ReadPatternChar(entry, position)) {
    if (k >= to) return -1;
    if (c != tokens_[k].Symbol) return -1;
    ++k;
  }
  return k;
}

}  // namespace kelvane
