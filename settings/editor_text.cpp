#include "settings/editor_text.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/cp932.h"

namespace kelvane::editor {
namespace {

constexpr char32_t kNoChar = std::numeric_limits<char32_t>::max();
constexpr char32_t kReplacement = 0xFFFD;

// The code point of the one character a UTF-8 text holds (CP932 characters map to one each).
char32_t onlyCodePoint(const std::string& utf8) {
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  switch (utf8.size()) {
    case 1:
      return s[0];
    case 2:
      return ((s[0] & 0x1Fu) << 6) | (s[1] & 0x3Fu);
    case 3:
      return ((s[0] & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
    default:
      return kNoChar;
  }
}

// What every single byte and every byte pair of CP932 shows as, found once through platform/cp932.
struct CodeTables {
  std::array<char32_t, 256> single{};
  std::vector<char32_t> pair = std::vector<char32_t>(0x10000, kNoChar);
  CodeTables() {
    auto look = [](std::string_view bytes) {
      const cp932::Converted c = cp932::toUtf8(bytes);
      return c.ok() ? onlyCodePoint(c.text) : kNoChar;
    };
    for (unsigned b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      single[b] = cp932::isLeadByte(static_cast<unsigned char>(b)) ? kNoChar : look(std::string_view(&c, 1));
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!cp932::isLeadByte(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        pair[lead << 8 | trail] = look(std::string_view(two, 2));
      }
    }
  }
};

const CodeTables& tables() {
  static const CodeTables t;
  return t;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The code points of a UTF-8 text; a broken sequence is one U+FFFD per byte, which no CP932 code
// matches, so it is counted as a failure when encoded.
std::vector<char32_t> codePoints(std::string_view utf8) {
  std::vector<char32_t> out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = s[i];
    const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    bool good = extra >= 0 && i + extra < n;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1Fu) : extra == 2 ? (b & 0x0Fu) : (b & 0x07u);
    for (int k = 1; good && k <= extra; ++k) {
      good = (s[i + k] & 0xC0) == 0x80;
      c = (c << 6) | (s[i + k] & 0x3Fu);
    }
    if (!good) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    out.push_back(c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

// Comparisons one search may make: bounds the time of a search over a long, much changed stretch.
constexpr std::size_t kMaxComparisons = 20'000'000;

// Pairs (i, j) with a[i] matching b[j], in increasing order, of a shortest edit script turning
// a[0, n) into b[0, m); nullopt when more than maxEdits insertions and deletions or more than
// kMaxComparisons comparisons are needed. Keeps one band of the search per step, so memory grows
// with the square of the differences found.
using Matches = std::vector<std::pair<std::size_t, std::size_t>>;

std::optional<Matches> shortestMatches(std::size_t n, std::size_t m,
                                       const std::function<bool(std::size_t, std::size_t)>& same,
                                       std::size_t maxEdits) {
  std::size_t comparisons = 0;
  const long N = static_cast<long>(n), M = static_cast<long>(m);
  const long limit = std::min<long>(N + M, static_cast<long>(maxEdits));
  const long off = limit + 1;
  std::vector<long> v(static_cast<std::size_t>(2 * limit + 3), 0);
  std::vector<std::vector<long>> trace;  // trace[d][k + d]: the furthest x on diagonal k after d steps
  auto at = [&](long k) -> long& { return v[static_cast<std::size_t>(off + k)]; };
  for (long d = 0; d <= limit; ++d) {
    for (long k = -d; k <= d; k += 2) {
      long x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
      long y = x - k;
      const long start = x;
      while (x < N && y < M && same(static_cast<std::size_t>(x), static_cast<std::size_t>(y))) ++x, ++y;
      if ((comparisons += static_cast<std::size_t>(x - start) + 1) > kMaxComparisons) return std::nullopt;
      at(k) = x;
      if (x >= N && y >= M) {
        Matches out;
        for (long step = d; step > 0; --step) {
          const std::vector<long>& prev = trace[static_cast<std::size_t>(step - 1)];
          auto prevAt = [&](long kk) { return prev[static_cast<std::size_t>(kk + step - 1)]; };
          const long kk = x - y;
          const long pk = (kk == -step || (kk != step && prevAt(kk - 1) < prevAt(kk + 1))) ? kk + 1 : kk - 1;
          const long px = prevAt(pk), py = px - pk;
          while (x > px && y > py) {
            --x, --y;
            out.emplace_back(x, y);
          }
          x = px, y = py;
        }
        while (x > 0 && y > 0) {
          --x, --y;
          out.emplace_back(x, y);
        }
        std::reverse(out.begin(), out.end());
        return out;
      }
    }
    trace.emplace_back(v.begin() + (off - d), v.begin() + (off + d + 1));
  }
  return std::nullopt;
}

}  // namespace

LoadedText::LoadedText(std::string bytes) : bytes_(std::move(bytes)) {
  const CodeTables& t = tables();
  const auto* s = reinterpret_cast<const unsigned char*>(bytes_.data());
  const std::size_t n = bytes_.size();
  units_.reserve(n + 1);
  shown_.reserve(n + n / 2);
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = s[i];
    std::size_t length = 1;
    char32_t c = t.single[b];
    if (b == '\r' || b == '\n') {
      length = b == '\r' && i + 1 < n && s[i + 1] == '\n' ? 2 : 1;
      c = '\n';
    } else if (cp932::isLeadByte(b) && i + 1 < n && t.pair[b << 8 | s[i + 1]] != kNoChar) {
      length = 2;
      c = t.pair[b << 8 | s[i + 1]];
    }
    if (b == 0 || c == kNoChar) {
      c = kReplacement;  // a NUL cannot stand in an edit field; it is shown like a broken byte
      ++unreadable_;
    }
    units_.push_back({static_cast<std::uint32_t>(i), c});
    appendUtf8(shown_, c);
    i += length;
  }
  units_.push_back({static_cast<std::uint32_t>(n), 0});
}

// Builds the bytes of one save: walks the matched lines and, between them, the matched characters.
class Encoder {
 public:
  Encoder(const LoadedText& text, std::string_view windowText) : t_(text), now_(codePoints(windowText)) {
    was_.reserve(t_.units_.size());
    for (std::size_t u = 0; u + 1 < t_.units_.size(); ++u) was_.push_back(t_.units_[u].shown);
  }

  LoadedText::Encoded run() {
    const std::vector<Line> before = lines(was_), after = lines(now_);
    std::size_t wasAt = 0, nowAt = 0;
    for (const auto& [i, j] : matchLines(before, after)) {
      gap(wasAt, before[i].begin, nowAt, after[j].begin);
      for (std::size_t u = before[i].begin; u < before[i].end; ++u) keep(u);
      wasAt = before[i].end;
      nowAt = after[j].end;
    }
    gap(wasAt, was_.size(), nowAt, now_.size());
    flushTyped();
    return std::move(out_);
  }

 private:
  struct Line {
    std::size_t begin, end;  // the characters, without the line end
    std::uint64_t hash;
  };

  static std::vector<Line> lines(const std::vector<char32_t>& text) {
    std::vector<Line> out;
    std::size_t begin = 0;
    std::uint64_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == '\n') {
        out.push_back({begin, i, h});
        begin = i + 1;
        h = 1469598103934665603ull;
      } else {
        h = (h ^ text[i]) * 1099511628211ull;
      }
    }
    return out;
  }

  bool sameLine(const Line& a, const Line& b) const {
    return a.hash == b.hash && a.end - a.begin == b.end - b.begin &&
           std::equal(was_.begin() + a.begin, was_.begin() + a.end, now_.begin() + b.begin);
  }

  // Matched lines: the common first and last lines, and a shortest script over the rest; where that
  // script would be too long, the lines found once on each side anchor the comparison, and the
  // stretches between them are compared in turn.
  Matches matchLines(const std::vector<Line>& a, const std::vector<Line>& b) const {
    Matches out;
    matchLineRange(a, b, 0, a.size(), 0, b.size(), kAnchorDepth, out);
    return out;
  }

  static constexpr int kAnchorDepth = 3;

  void matchLineRange(const std::vector<Line>& a, const std::vector<Line>& b, std::size_t ab, std::size_t ae,
                      std::size_t bb, std::size_t be, int depth, Matches& out) const {
    while (ab < ae && bb < be && sameLine(a[ab], b[bb])) out.emplace_back(ab++, bb++);
    std::size_t tail = 0;
    while (ae - tail > ab && be - tail > bb && sameLine(a[ae - 1 - tail], b[be - 1 - tail])) ++tail;
    ae -= tail;
    be -= tail;
    const std::optional<Matches> middle = shortestMatches(
        ae - ab, be - bb, [&](std::size_t i, std::size_t j) { return sameLine(a[ab + i], b[bb + j]); }, kMaxEdits);
    if (middle) {
      for (const auto& [i, j] : *middle) out.emplace_back(ab + i, bb + j);
    } else if (depth > 0) {
      matchByUniqueLines(a, b, ab, ae, bb, be, depth, out);
    }
    for (std::size_t k = 0; k < tail; ++k) out.emplace_back(ae + k, be + k);
  }

  // The lines that occur exactly once in a[ab, ae) and once in b[bb, be), the longest run of them
  // standing in the same order on both sides, and between them the same comparison again.
  void matchByUniqueLines(const std::vector<Line>& a, const std::vector<Line>& b, std::size_t ab, std::size_t ae,
                          std::size_t bb, std::size_t be, int depth, Matches& out) const {
    struct Seen {
      std::size_t count = 0, at = 0;
    };
    std::unordered_map<std::uint64_t, Seen> inA, inB;
    for (std::size_t i = ab; i < ae; ++i) inA[a[i].hash] = {inA[a[i].hash].count + 1, i};
    for (std::size_t j = bb; j < be; ++j) inB[b[j].hash] = {inB[b[j].hash].count + 1, j};
    Matches pairs;  // in the order of a
    for (std::size_t i = ab; i < ae; ++i) {
      const auto f = inB.find(a[i].hash);
      if (inA[a[i].hash].count == 1 && f != inB.end() && f->second.count == 1 && sameLine(a[i], b[f->second.at])) {
        pairs.emplace_back(i, f->second.at);
      }
    }
    const Matches anchors = longestIncreasing(pairs);
    if (anchors.empty()) return;
    std::size_t pa = ab, pb = bb;
    for (const auto& [i, j] : anchors) {
      matchLineRange(a, b, pa, i, pb, j, depth - 1, out);
      out.emplace_back(i, j);
      pa = i + 1;
      pb = j + 1;
    }
    matchLineRange(a, b, pa, ae, pb, be, depth - 1, out);
  }

  // The longest run of pairs whose second members increase as their first ones do (patience sorting).
  static Matches longestIncreasing(const Matches& pairs) {
    std::vector<std::size_t> tops;               // per run length, the pair ending the best run
    std::vector<long> before(pairs.size(), -1);  // the pair preceding each in its run
    for (std::size_t k = 0; k < pairs.size(); ++k) {
      const auto at = std::lower_bound(tops.begin(), tops.end(), pairs[k].second,
                                       [&](std::size_t t, std::size_t j) { return pairs[t].second < j; });
      if (at != tops.begin()) before[k] = static_cast<long>(*(at - 1));
      if (at == tops.end()) {
        tops.push_back(k);
      } else {
        *at = k;
      }
    }
    Matches out;
    for (long k = tops.empty() ? -1 : static_cast<long>(tops.back()); k >= 0; k = before[static_cast<std::size_t>(k)]) {
      out.push_back(pairs[static_cast<std::size_t>(k)]);
    }
    std::reverse(out.begin(), out.end());
    return out;
  }

  static Matches matchTrimmed(std::size_t n, std::size_t m, const std::function<bool(std::size_t, std::size_t)>& same) {
    std::size_t head = 0;
    while (head < n && head < m && same(head, head)) ++head;
    std::size_t tail = 0;
    while (tail < n - head && tail < m - head && same(n - 1 - tail, m - 1 - tail)) ++tail;
    Matches out;
    for (std::size_t k = 0; k < head; ++k) out.emplace_back(k, k);
    const std::optional<Matches> middle = shortestMatches(
        n - head - tail, m - head - tail, [&](std::size_t i, std::size_t j) { return same(head + i, head + j); },
        kMaxEdits);
    if (middle) {
      for (const auto& [i, j] : *middle) out.emplace_back(head + i, head + j);
    }
    for (std::size_t k = tail; k > 0; --k) out.emplace_back(n - k, m - k);
    return out;
  }

  // Between two matched lines: the old units [wasBegin, wasEnd) and the new characters
  // [nowBegin, nowEnd), line ends included, compared character by character.
  void gap(std::size_t wasBegin, std::size_t wasEnd, std::size_t nowBegin, std::size_t nowEnd) {
    const Matches matched = matchTrimmed(wasEnd - wasBegin, nowEnd - nowBegin, [&](std::size_t i, std::size_t j) {
      return was_[wasBegin + i] == now_[nowBegin + j];
    });
    std::size_t j = 0;
    for (const auto& [mi, mj] : matched) {
      for (; j < mj; ++j) type(now_[nowBegin + j]);
      keep(wasBegin + mi);
      j = mj + 1;
    }
    for (; nowBegin + j < nowEnd; ++j) type(now_[nowBegin + j]);
  }

  void keep(std::size_t unit) {
    flushTyped();
    const std::uint32_t from = t_.units_[unit].offset, to = t_.units_[unit + 1].offset;
    out_.bytes.append(t_.bytes_, from, to - from);
  }

  void type(char32_t c) {
    if (c == '\n') {
      flushTyped();
      out_.bytes += "\r\n";
      return;
    }
    appendUtf8(typed_, c);
  }

  void flushTyped() {
    if (typed_.empty()) return;
    const cp932::Converted c = cp932::fromUtf8(typed_);
    out_.bytes += c.text;
    out_.failures += c.failures;
    typed_.clear();
  }

  const LoadedText& t_;
  std::vector<char32_t> was_;
  std::vector<char32_t> now_;
  std::string typed_;  // typed characters not yet encoded, UTF-8
  LoadedText::Encoded out_;
};

LoadedText::Encoded LoadedText::encode(std::string_view windowText) const { return Encoder(*this, windowText).run(); }

}  // namespace kelvane::editor
