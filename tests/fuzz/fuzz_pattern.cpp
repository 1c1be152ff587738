// Fuzzing the pattern engine: compile, Match and GSub on a pattern, a text and a template taken from
// the input, under every switch. Small inputs without the dictionary are also compared with the
// reference NFA simulation, so a wrong answer is a crash as much as a bad read is.
//
// Input: one byte of switches (bit 0 the fuzzy dictionary, bit 1 mcls_LF, bit 2 LF anchor codes, bit 3
// every walk's dead ends recorded, not only those of long walks),
// then the pattern, a NUL, the template, a NUL, and the text (which may hold further NULs).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "pattern/awk_str.h"
#include "pattern/re_chars.h"
#include "tests/testing/reference_matcher.h"

namespace {

using namespace kelvane;

class LfAnchoredAWKStr : public TAWKStr {
 public:
  uint16_t GetLineHeadCode() const override { return 10; }
  uint16_t GetLineTailCode() const override { return 10; }
};

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_pattern: %s\n", what);
    std::abort();
  }
}

std::string_view Take(std::string_view& rest) {
  const std::size_t nul = rest.find('\0');
  const std::string_view part = rest.substr(0, nul);
  rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  return part;
}

void CompareWithReference(const TAWKStr& awk, const std::string& processed, const std::string& text,
                          TMatchCORE_LineSeparator separator, bool lfCodes) {
  std::unique_ptr<testing::ReferenceMatcher> ref;
  try {
    ref =
        std::make_unique<testing::ReferenceMatcher>(processed, separator, lfCodes ? 10 : 0xFFFD, lfCodes ? 10 : 0xFFFE);
  } catch (const ERegExpParser&) {
    Check(false, "the reference refuses a pattern the engine compiled");
  }
  // Where the reference names a known disputed case, the engine may answer otherwise (in that call only).
  int position, length;
  awk.Match(text, position, length);
  const auto want = ref->Match(text);
  Check(!ref->Dispute().empty() || (position == want.first && length == want.second),
        "Match differs from the reference");
  std::string got = text, expected = text;
  const int count = awk.GSub("<&>", got);
  const int wantCount = ref->GSub("<&>", expected);
  Check(!ref->Dispute().empty() || (count == wantCount && got == expected), "GSub differs from the reference");
}

// A pattern the engine refused must be refused by the reference with the same message at the same place,
// unless the engine found it too deep or too complex (limits the reference does not have).
void CompareRefusal(const std::string& pattern, const ERegExpParser& error) {
  const std::string message = error.what();
  if (message == MessageText(RegExpMessage::TooDeep) || message == MessageText(RegExpMessage::TooComplex)) return;
  try {
    testing::ReferenceMatcher ref(pattern, mcls_CRLF);
  } catch (const ERegExpParser& e) {
    Check(message == e.what() && error.ErrorPos == e.ErrorPos, "the reference refuses it otherwise");
    return;
  }
  Check(false, "the reference compiles a pattern the engine refused");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t switches = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string pattern(Take(rest));
  const std::string replacement(Take(rest));
  const std::string text(rest);
  const bool lfCodes = switches & 4;
  TMatchCORE::kWalkStepsPerByte = switches & 8 ? 0 : 2;
  std::unique_ptr<TAWKStr> awk = lfCodes ? std::make_unique<LfAnchoredAWKStr>() : std::make_unique<TAWKStr>();
  awk->LineSeparator = switches & 2 ? mcls_LF : mcls_CRLF;
  try {
    awk->SetUseFuzzyCharDic(switches & 1);
    awk->SetRegExp(pattern);
  } catch (const ERegExpParser& e) {
    Check(awk->RegExp().empty() || awk->RegExp() == "", "a failed assignment left a pattern");
    if (!(switches & 1) && pattern.size() <= 48) CompareRefusal(pattern, e);
    return 0;
  }
  int position = -1, length = -1;
  const int result = awk->Match(text, position, length);
  const std::size_t visible = std::strlen(text.c_str());
  Check(result == position, "Match returns its position");
  Check(position == 0 ? length == 0 : position >= 1 && position - 1 + length <= static_cast<int>(visible),
        "Match reports a span outside the text");
  std::string replaced = text;
  try {
    const int count = awk->GSub(replacement, replaced);
    Check(count >= 0 && (count > 0 || replaced == text), "GSub changed the text without a replacement");
    Check(replaced.size() >= text.size() - visible, "GSub lost the bytes after a NUL");
  } catch (const ERegExpParser&) {
    Check(replaced == text, "a broken template changed the text");
  }
  if (pattern.size() <= 48 && visible <= 160 && visible == text.size())
    CompareWithReference(*awk, awk->PatternCache()[awk->CacheIndex()].Text, text, awk->LineSeparator, lfCodes);
  return 0;
}
