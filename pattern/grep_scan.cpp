// The scan of the file grep (grep.h describes the stage, grep_scan.h the tables). Here also the
// verdicts that stop walks carried past a line end, and the candidate skips.
#include "pattern/grep_scan.h"

#include <string.h>

#include <algorithm>
#include <cstring>

#include "pattern/grep_sets.h"
#include "pattern/re_chars.h"
#include "platform/cp932.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvane {
namespace {

bool isLead(unsigned char b) { return cp932::isLeadByte(b); }

// A code that the window holds as exactly the bytes CodeToText gives, and only as those: a one-byte
// character that is not a lead byte, or a lead byte with a trail byte that can follow it in the window.
bool isWindowCode(std::uint16_t code) {
  if (code < 0x100) return code != 0 && code != '\r' && !isLead(static_cast<unsigned char>(code));
  auto trail = static_cast<unsigned char>(code & 0xFF);
  return isLead(static_cast<unsigned char>(code >> 8)) && trail != '\n' && trail != '\r' && trail != 0;
}

std::size_t countLF(const char* a, const char* z) {
  std::size_t n = 0;
#if defined(__SSE2__)
  // Each compare gives -1 per LF; up to 255 rounds are summed bytewise before they are added up.
  const __m128i lf = _mm_set1_epi8('\n'), zero = _mm_setzero_si128();
  while (z - a >= 16) {
    __m128i sum = zero;
    for (int round = 0; round < 255 && z - a >= 16; ++round, a += 16) {
      sum = _mm_sub_epi8(sum, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)), lf));
    }
    __m128i total = _mm_sad_epu8(sum, zero);
    n += static_cast<std::size_t>(_mm_cvtsi128_si32(total)) +
         static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(total, total)));
  }
#endif
  for (; a < z; ++a) n += *a == '\n';
  return n;
}

// What the walks of a line found where they went on past the line's end (only a pattern that reads
// an LF and goes on gets there). The walks are deterministic, so a later line whose walks arrive at a
// position with the same set of states will find the same: a match when the earlier ones reached an
// accepting state from there, nothing when they all died. Without this, a(\n|[^z])*z over many lines
// without a z would walk from every line to the end of the file. Only walks longer than kMarkAfter
// characters mark, so short walks cost nothing; a walk marks as it goes and sets the verdict of its
// marks when it ends.
class Verdicts {
 public:
  static constexpr std::size_t kMarkAfter = 32;
  enum Verdict { kNone, kFound, kNothing };

  Verdict At(std::size_t pos, std::int32_t set) const {
    if (pos < base_ || pos - base_ >= marks_.size()) return kNone;
    const std::uint32_t mark = marks_[pos - base_];
    if (mark == 0 || static_cast<std::int32_t>(mark >> 1) - 1 != set) return kNone;
    return (mark & 1) ? kFound : kNothing;
  }
  void Mark(std::size_t pos, std::int32_t set) {
    if (marks_.empty()) base_ = pos;
    if (pos < base_) return;
    if (pos - base_ >= marks_.size()) marks_.resize(pos - base_ + 1, 0);
    marks_[pos - base_] = static_cast<std::uint32_t>(set + 1) << 1;
    if (from_ == kNoMark) from_ = pos;
    to_ = pos;
  }
  // The walk that made the marks since BeginWalk ended: found something or not.
  void EndWalk(bool found) {
    for (std::size_t pos = from_; found && from_ != kNoMark && pos <= to_; ++pos) {
      if (pos >= base_ && pos - base_ < marks_.size() && marks_[pos - base_] != 0) marks_[pos - base_] |= 1;
    }
    from_ = kNoMark;
  }
  // A new walk starts at start: marks far below it are of no more use.
  void BeginWalk(std::size_t start) {
    from_ = kNoMark;
    if (marks_.empty() || start < base_) return;
    if (start - base_ >= marks_.size()) {
      marks_.clear();
    } else if (start - base_ > (1u << 16) && start - base_ > marks_.size() / 2) {
      marks_.erase(marks_.begin(), marks_.begin() + static_cast<std::ptrdiff_t>(start - base_));
      base_ = start;
    }
  }
  void Clear() {
    marks_.clear();
    from_ = kNoMark;
  }
  // The window moved down by shift; positions below shift are gone.
  void Shift(std::size_t shift) {
    if (base_ < shift) {
      std::size_t gone = shift - base_;
      marks_.erase(marks_.begin(), marks_.begin() + static_cast<std::ptrdiff_t>(std::min(gone, marks_.size())));
      base_ = shift;
    }
    base_ -= shift;
    if (from_ != kNoMark) {
      from_ = from_ >= shift ? from_ - shift : 0;
      to_ = to_ >= shift ? to_ - shift : 0;
    }
  }

 private:
  static constexpr std::size_t kNoMark = static_cast<std::size_t>(-1);
  std::vector<std::uint32_t> marks_;  // (set + 1) << 1 | found, per position from base_; 0 for none
  std::size_t base_ = 0;
  std::size_t from_ = kNoMark, to_ = 0;  // the positions marked by the current walk
};

// One scan of one file. Positions are indices into the reader's window; a refill moves the window
// down, and every position held here moves with it.
//
// The walks of the current line go forward together as one set (GrepSets). While no walk is under
// way, a pattern that must begin with fixed characters, or with one of a few, skips to the next place
// where such a beginning occurs (16 places at a time); from there the sets go character by character
// until every walk has died again.
class Scanner {
 public:
  Scanner(TTxtFile& file, GrepTables& tables, GrepSets& sets, const LineReport& report)
      : file_(file), tables_(tables), sets_(sets), report_(report), d_(file.Data()), end_(file.DataEnd()) {}

  void Run() {
    if (!tables_.Prefix().empty()) {
      const std::string& prefix = tables_.Prefix();
      RunSets([&](std::size_t from) { return FindPrefix(prefix, from); }, prefix.size() - 1);
    } else if (!tables_.FirstCodes().empty()) {
      FirstSet set(tables_.FirstCodes());
      RunSets([&](std::size_t from) { return FindFirst(set, from); }, 1);
    } else {
      RunSets([](std::size_t) { return kEverywhere; }, 0);
    }
  }

 private:
  // Reads the next block; false at the end of the file.
  bool Refill(std::size_t* extra = nullptr) {
    if (file_.AtFileEnd()) return false;
    // The window keeps nothing before the line start, or before p_ when p_ is the LF that began
    // the line.
    std::size_t keep = std::min(lineStart_, p_);
    if (bnd_ < keep) bnd_ = keep;
    if (scan_ < p_) scan_ = p_;
    std::size_t shift = 0;
    file_.Refill(keep, &shift);
    p_ -= shift;
    scan_ -= shift;
    lineStart_ -= shift;
    bnd_ -= shift;
    verdicts_.Shift(shift);
    if (extra) *extra -= shift;
    d_ = file_.Data();
    end_ = file_.DataEnd();
    return true;
  }

  // The window is a block or more of a long line: let the window process its messages now and then,
  // so that a stop takes effect in the middle of the line.
  void Walked(std::size_t characters) {
    walked_ += characters;
    if (walked_ >= kCheckEvery) {
      walked_ = 0;
      file_.CheckPoint();
    }
  }

  // The set after x on the character at q; sets *len to its length.
  std::int32_t Step(std::int32_t x, std::size_t q, std::size_t* len) {
    auto b = static_cast<unsigned char>(d_[q]);
    if (isLead(b) && q + 1 < end_ && d_[q + 1] != '\n') {
      *len = 2;
      return sets_.Double(x, b, static_cast<unsigned char>(d_[q + 1]));
    }
    *len = 1;
    return sets_.Single(x, b);
  }

  // The walks of the line that ends at the LF at p_, after they read that LF: whether one of them
  // reaches an accepting state, there or further on.
  bool LineEndFinds(std::int32_t x) {
    std::int32_t y = sets_.Single(sets_.Detach(x), '\n');
    if (sets_.Accepting(y)) return true;
    if (y == GrepSets::kDead) return false;
    return WalkOn(y, p_ + 1);
  }

  // Goes on with the walks y (no walk starts any more) from q; true when one of them accepts. Past
  // the end of the file the walks stop: the end is never looked up.
  bool WalkOn(std::int32_t y, std::size_t q) {
    if (verdictEpoch_ != sets_.Epoch()) {
      verdicts_.Clear();
      verdictEpoch_ = sets_.Epoch();
    }
    verdicts_.BeginWalk(q);
    for (std::size_t steps = 1;; ++steps) {
      if (sets_.Accepting(y) || y == GrepSets::kDead) {
        if (steps > Verdicts::kMarkAfter) verdicts_.EndWalk(sets_.Accepting(y));
        return sets_.Accepting(y);
      }
      if (steps > Verdicts::kMarkAfter) {
        if (verdictEpoch_ != sets_.Epoch()) return Restart(y, q);
        const Verdicts::Verdict known = verdicts_.At(q, y);
        if (known != Verdicts::kNone) {
          verdicts_.EndWalk(known == Verdicts::kFound);
          return known == Verdicts::kFound;
        }
        verdicts_.Mark(q, y);
      }
      while (q + 1 >= end_ && !(q < end_ && file_.AtFileEnd())) {
        if (!Refill(&q)) break;
      }
      if (q >= end_) {
        verdicts_.EndWalk(false);
        return false;
      }
      std::size_t len;
      y = Step(y, q, &len);
      q += len;
      Walked(len);
    }
  }

  // The sets were dropped during a walk: its marks name sets that no longer exist.
  bool Restart(std::int32_t y, std::size_t q) {
    verdicts_.Clear();
    verdictEpoch_ = sets_.Epoch();
    return WalkOn(y, q);
  }

  // Reports the line of lineStart_, whose end is at or after p_, and leaves p_ on the LF that ends it.
  void ReportLine() {
    std::size_t from = p_, lf;
    for (;;) {
      const void* hit = from < end_ ? std::memchr(d_ + from, '\n', end_ - from) : nullptr;
      if (hit) {
        lf = static_cast<std::size_t>(static_cast<const char*>(hit) - d_);
        break;
      }
      from = end_;
      if (!Refill(&from)) {
        lf = end_;
        break;
      }
    }
    RE_LineInfo_t info;
    info.Line.assign(d_ + lineStart_, lf - lineStart_);
    info.LineNo = lineNo_;
    p_ = lf;
    bnd_ = lf;
    file_.CheckPoint();
    report_(info);
  }

  // Moves p_ to `to`, counting the line ends passed.
  void Advance(std::size_t to) {
    lineNo_ += static_cast<std::int32_t>(countLF(d_ + p_, d_ + to));
    if (const void* last = to > p_ ? memrchr(d_ + p_, '\n', to - p_) : nullptr) {
      lineStart_ = static_cast<std::size_t>(static_cast<const char*>(last) - d_) + 1;
    }
    p_ = to;
  }

  // True when the byte at h starts a character: the run of lead-byte values before it, back to a
  // known boundary or to a byte that cannot be a lead byte (which always ends a character), is even.
  bool OnBoundary(std::size_t h) const {
    if (d_[h] == '\n') return true;
    std::size_t k = h;
    while (k > bnd_ && isLead(static_cast<unsigned char>(d_[k - 1]))) --k;
    return ((h - k) & 1) == 0;
  }

  // The first place at or after from where the whole prefix lies in the window, or kNoCandidate. 16
  // places at a time are compared on the prefix's first and last bytes, which rules out nearly all of
  // them; memmem takes the rest of the window.
  std::size_t FindPrefix(const std::string& prefix, std::size_t from) const {
    const std::size_t n = prefix.size();
    std::size_t i = from;
#if defined(__SSE2__)
    if (n >= 2) {
      const __m128i first = _mm_set1_epi8(prefix[0]), last = _mm_set1_epi8(prefix[n - 1]);
      for (; i + n - 1 + 16 <= end_; i += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d_ + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d_ + i + n - 1));
        auto mask =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        for (; mask != 0; mask &= mask - 1) {
          std::size_t h = i + static_cast<std::size_t>(__builtin_ctz(mask));
          if (std::memcmp(d_ + h + 1, prefix.data() + 1, n - 2) == 0) return h;
        }
      }
    }
#endif
    if (end_ - i < n) return kNoCandidate;
    const void* hit = memmem(d_ + i, end_ - i, prefix.data(), n);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - d_) : kNoCandidate;
  }

  // The first codes as the comparisons need them, made once per file.
  struct FirstSet {
    explicit FirstSet(const std::vector<std::uint16_t>& codes) : codes(codes) {
#if defined(__SSE2__)
      for (std::uint16_t code : codes) {
        if (count == GrepTables::kMaxFirstCodes) break;
        isPair[count] = code >= 0x100;
        first[count] = _mm_set1_epi8(static_cast<char>(isPair[count] ? code >> 8 : code));
        second[count] = _mm_set1_epi8(static_cast<char>(code & 0xFF));
        ++count;
      }
#endif
    }
    const std::vector<std::uint16_t>& codes;
#if defined(__SSE2__)
    __m128i first[GrepTables::kMaxFirstCodes], second[GrepTables::kMaxFirstCodes];
    bool isPair[GrepTables::kMaxFirstCodes] = {};
    std::size_t count = 0;
#endif
  };

  // Only where one of the first characters occurs can a walk succeed; 16 positions are compared at a
  // time. A double-byte first character needs the byte after the candidate, so the last byte waits.
  std::size_t FindFirst(const FirstSet& set, std::size_t from) const {
    std::size_t i = from;
#if defined(__SSE2__)
    const std::size_t count = set.count;
    for (; i + 17 <= end_; i += 16) {
      __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d_ + i));
      __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d_ + i + 1));
      __m128i any = _mm_setzero_si128();
      for (std::size_t c = 0; c < count; ++c) {
        __m128i hit = _mm_cmpeq_epi8(v0, set.first[c]);
        if (set.isPair[c]) hit = _mm_and_si128(hit, _mm_cmpeq_epi8(v1, set.second[c]));
        any = _mm_or_si128(any, hit);
      }
      if (auto mask = static_cast<unsigned>(_mm_movemask_epi8(any)))
        return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    for (; i + 1 < end_; ++i) {
      auto b0 = static_cast<unsigned char>(d_[i]), b1 = static_cast<unsigned char>(d_[i + 1]);
      for (std::uint16_t code : set.codes) {
        if (code < 0x100 ? b0 == code : (b0 == (code >> 8) && b1 == (code & 0xFF))) return i;
      }
    }
    return kNoCandidate;
  }

  // Skips, while no walk is under way, to the next place where a match can begin; false at the end of
  // the file. Line ends are counted only up to candidates that start a character: a hit on a trail
  // byte costs no more than the boundary test. A candidate must lie whole in the window, so the last
  // `keep` bytes wait for the next block.
  template <class Find>
  bool SkipToCandidate(Find& find, std::size_t keep) {
    if (scan_ < p_) scan_ = p_;
    for (;;) {
      std::size_t h = find(scan_);
      if (h == kEverywhere) return true;
      if (h == kNoCandidate) {
        if (file_.AtFileEnd()) return false;
        Advance(end_ - scan_ > keep ? end_ - keep : scan_);
        scan_ = p_;
        Refill();
        continue;
      }
      if (d_[h] == '\n' && h + 1 == end_ && file_.AtFileEnd()) return false;  // the final LF ends the file
      if (d_[h] != '\n' && !OnBoundary(h)) {
        scan_ = bnd_ = h + 1;  // h is a trail byte, so the next byte starts a character
        continue;
      }
      Advance(h);
      scan_ = bnd_ = p_;
      return true;
    }
  }

  // The scan: x is the set of the current line's walks.
  template <class Find>
  void RunSets(Find find, std::size_t keep) {
    std::int32_t x = GrepSets::kEmpty;
    for (;;) {
      if (x == GrepSets::kEmpty && !SkipToCandidate(find, keep)) return;
      if (p_ + 1 >= end_) {
        if (Refill()) continue;
        // What is left is the final LF, whose reading ends the file: no walk starts there, but the
        // last line's walks read it.
        if (p_ < end_ && x != GrepSets::kEmpty && LineEndFinds(x)) ReportLine();
        return;
      }
      std::size_t len = 1;
      if (d_[p_] == '\n') {
        if (x != GrepSets::kEmpty && LineEndFinds(x)) ReportLine();
        ++lineNo_;
        lineStart_ = p_ + 1;
        x = sets_.Single(GrepSets::kEmpty, '\n');
      } else {
        x = Step(x, p_, &len);
      }
      p_ += len;
      Walked(len);
      if (sets_.Accepting(x)) {
        ReportLine();
        x = GrepSets::kEmpty;
      }
    }
  }

  static constexpr std::size_t kNoCandidate = static_cast<std::size_t>(-1);
  static constexpr std::size_t kEverywhere = static_cast<std::size_t>(-2);
  static constexpr std::size_t kCheckEvery = 256 * 1024;

  TTxtFile& file_;
  GrepTables& tables_;
  GrepSets& sets_;
  const LineReport& report_;
  const char* d_;
  std::size_t end_;
  std::size_t p_ = 0;          // the next character to read; everything before it is counted
  std::size_t scan_ = 0;       // where the search for a candidate goes on (at or after p_)
  std::size_t lineStart_ = 0;  // the first byte of the line of p_
  std::size_t bnd_ = 0;        // a character boundary at or before every candidate still to test
  std::int32_t lineNo_ = 0;    // the line of p_ (the LF at p_ is not yet counted)
  std::size_t walked_ = 0;     // characters stepped since the last check point
  Verdicts verdicts_;
  std::uint32_t verdictEpoch_ = 0;
};

}  // namespace

GrepTables::GrepTables(const TRE_DFA& dfa)
    : dfa_(dfa),
      start_(static_cast<std::int32_t>(dfa.Start->Index)),
      accepting_(dfa.States.size()),
      single_(dfa.States.size()),
      double_(dfa.States.size() * kLeadCount) {
  for (std::size_t i = 0; i < dfa.States.size(); ++i) accepting_[i] = dfa.States[i]->IsAccepting() ? 1 : 0;
  FindPrefix();
  FindFirstCodes();
}

std::int32_t GrepTables::Step(std::int32_t s, std::uint16_t code) const {
  const TREDFAState* next = TRE_DFA::NextState(dfa_.States[static_cast<std::size_t>(s)].get(), code);
  return next ? static_cast<std::int32_t>(next->Index) : kNone;
}

const std::int32_t* GrepTables::MakeSingleRow(std::int32_t s) {
  auto row = std::make_unique<std::int32_t[]>(256);
  for (unsigned b = 0; b < 256; ++b)
    row[b] = isLead(static_cast<unsigned char>(b)) ? kLead : Step(s, static_cast<std::uint16_t>(b));
  single_[static_cast<std::size_t>(s)] = std::move(row);
  return single_[static_cast<std::size_t>(s)].get();
}

const std::int32_t* GrepTables::MakeDoubleRow(std::int32_t s, unsigned char lead) {
  auto row = std::make_unique<std::int32_t[]>(256);
  for (unsigned t = 0; t < 256; ++t) row[t] = Step(s, static_cast<std::uint16_t>(lead << 8 | t));
  auto& slot = double_[static_cast<std::size_t>(s) * kLeadCount + LeadIndex(lead)];
  slot = std::move(row);
  return slot.get();
}

// The characters every match must begin with: follow the start while a state has exactly one way
// on, on one code, and cannot yet end a match.
void GrepTables::FindPrefix() {
  const TREDFAState* s = dfa_.Start;
  while (s->Trans.size() == 1) {
    const TREDFATrans& t = s->Trans[0];
    if (t.LoChar != t.HiChar || !isWindowCode(t.LoChar)) break;
    prefix_ += CodeToText(t.LoChar);
    s = t.Target;
    if (s->IsAccepting()) break;
  }
}

// The codes a match can begin with, when they are few and each is one fixed window code.
void GrepTables::FindFirstCodes() {
  const auto& trans = dfa_.Start->Trans;
  if (trans.empty() || trans.size() > kMaxFirstCodes) return;
  for (const TREDFATrans& t : trans) {
    if (t.LoChar != t.HiChar || !isWindowCode(t.LoChar)) {
      firstCodes_.clear();
      return;
    }
    firstCodes_.push_back(t.LoChar);
  }
}

void ScanFile(TTxtFile& file, GrepTables& tables, GrepSets& sets, const LineReport& report) {
  Scanner(file, tables, sets, report).Run();
}

}  // namespace kelvane
