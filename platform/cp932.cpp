// CP932 <-> UTF-8 as glibc's iconv module "CP932" does it: it carries the NEC and IBM extensions and
// already maps the characters Linux input methods type (〜 ‖ − ¢ £ ¬ —) to the codes Windows gives
// them. The descriptors are opened once per thread and reset before each conversion.
//
// iconv stops at the first piece it cannot convert. We then write the replacement, count the
// failure, step over the piece ourselves and let iconv go on: nothing is dropped without a trace.
//
// A search can print hundreds of thousands of lines, and iconv spends most of its time per character
// in its own bookkeeping. So the everyday conversions go through tables filled once, at first use, by
// asking iconv about every single byte and every double-byte code (and, the other way, about every
// character the first table produced). Whatever the tables do not answer (a failure, a character
// outside them) is handed to iconv one piece at a time, so the result is iconv's own, byte for byte.
// Both encodings are stateless, which is what makes converting piece by piece the same as converting
// the whole text in one call.
#include "platform/cp932.h"

#include <errno.h>
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kelvane::cp932 {
namespace {

class Descriptor {
 public:
  Descriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv_open failed: ") + from);
  }
  ~Descriptor() { iconv_close(cd_); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  iconv_t get() const {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }

 private:
  iconv_t cd_;
};

iconv_t toUtf8Descriptor() {
  thread_local Descriptor d("UTF-8", "CP932");
  return d.get();
}

iconv_t fromUtf8Descriptor() {
  thread_local Descriptor d("CP932", "UTF-8");
  return d.get();
}

bool isAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

bool isTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// How many bytes of CP932 input an unconvertible piece covers: a lead byte with a proper trail byte
// is one unassigned character; anything else is one bad byte.
std::size_t badCp932Length(std::string_view in, std::size_t pos) {
  unsigned char b = static_cast<unsigned char>(in[pos]);
  if (isLeadByte(b) && pos + 1 < in.size() && isTrailByte(static_cast<unsigned char>(in[pos + 1]))) return 2;
  return 1;
}

// The bytes one replacement stands for: a whole character with no CP932 form, or the longest
// start of a character that is cut short, or else one bad byte.
std::size_t badUtf8Length(std::string_view in, std::size_t pos) {
  unsigned char b = static_cast<unsigned char>(in[pos]);
  std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 1;
  std::size_t len = 1;
  while (len < n && pos + len < in.size() && (static_cast<unsigned char>(in[pos + len]) & 0xC0) == 0x80) ++len;
  return len;
}

template <typename BadLength>
Converted convert(iconv_t cd, std::string_view in, std::string_view replacement, BadLength badLength) {
  Converted out;
  if (isAscii(in)) {
    out.text.assign(in);
    return out;
  }
  out.text.resize(in.size() * 3 / 2 + 16);
  std::size_t done = 0;  // bytes of output written
  std::size_t pos = 0;   // bytes of input consumed
  while (pos < in.size()) {
    char* src = const_cast<char*>(in.data()) + pos;
    std::size_t srcLeft = in.size() - pos;
    char* dst = out.text.data() + done;
    std::size_t dstLeft = out.text.size() - done;
    std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    int err = errno;
    pos = in.size() - srcLeft;
    done = out.text.size() - dstLeft;
    if (r != static_cast<std::size_t>(-1)) break;
    if (err == E2BIG) {
      out.text.resize(out.text.size() * 2);
      continue;
    }
    // EILSEQ (no counterpart) or EINVAL (the input ends inside a character).
    if (out.failures++ == 0) out.firstFailure = pos;
    if (out.text.size() - done < replacement.size() + 16) out.text.resize(out.text.size() * 2 + 16);
    std::memcpy(out.text.data() + done, replacement.data(), replacement.size());
    done += replacement.size();
    pos += badLength(in, pos);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.text.resize(done);
  return out;
}

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kCp932Replacement = "?";

// What iconv makes of `in` when it takes all of it in one call, or nothing when it refuses any of it.
std::optional<std::string> iconvWhole(iconv_t cd, std::string_view in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char buffer[16];
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char* dst = buffer;
  std::size_t dstLeft = sizeof buffer;
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || srcLeft != 0) return std::nullopt;
  return std::string(buffer, dst);
}

// The byte length of a UTF-8 sequence by its first byte (0 for a byte that cannot start one).
std::size_t utf8Length(unsigned char b) {
  return b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
}

bool isOneUtf8Character(const std::string& s) {
  return !s.empty() && s.size() <= 3 && utf8Length(static_cast<unsigned char>(s[0])) == s.size();
}

// One character's UTF-8 bytes; length 0 when the table has no answer and iconv is asked.
struct Piece {
  char bytes[3] = {};
  std::uint8_t length = 0;
};

constexpr std::size_t kLeadBytes = 60;  // 0x81-0x9F and 0xE0-0xFC

struct DecodeTable {
  std::array<Piece, 256> single;              // bytes that are whole characters
  std::array<std::int8_t, 256> leadIndex;     // row of a lead byte in `pairs`, or -1
  std::array<Piece, kLeadBytes * 256> pairs;  // lead byte and the byte after it
  bool asciiAsIs = true;                      // every byte below 0x80 stands for itself
};

Piece pieceOf(const std::string& utf8) {
  Piece p;
  std::memcpy(p.bytes, utf8.data(), utf8.size());
  p.length = static_cast<std::uint8_t>(utf8.size());
  return p;
}

// A pair is entered only when iconv turns exactly those two bytes into one character, and a single
// byte only when it is no lead byte and iconv turns it alone into one character.
DecodeTable makeDecodeTable() {
  Descriptor d("UTF-8", "CP932");
  DecodeTable t;
  int row = 0;
  for (unsigned b = 0; b < 256; ++b) {
    auto byte = static_cast<unsigned char>(b);
    t.leadIndex[b] = static_cast<std::int8_t>(isLeadByte(byte) ? row++ : -1);
    if (isLeadByte(byte)) continue;
    auto r = iconvWhole(d.get(), std::string(1, static_cast<char>(b)));
    if (r && isOneUtf8Character(*r)) t.single[b] = pieceOf(*r);
    if (b < 0x80) t.asciiAsIs &= t.single[b].length == 1 && t.single[b].bytes[0] == static_cast<char>(b);
  }
  for (unsigned lead = 0; lead < 256; ++lead) {
    if (t.leadIndex[lead] < 0) continue;
    for (unsigned trail = 0; trail < 256; ++trail) {
      auto r = iconvWhole(d.get(), std::string{static_cast<char>(lead), static_cast<char>(trail)});
      if (r && isOneUtf8Character(*r)) t.pairs[t.leadIndex[lead] * 256 + trail] = pieceOf(*r);
    }
  }
  return t;
}

const DecodeTable& decodeTable() {
  static const DecodeTable table = makeDecodeTable();  // made once, thread-safe
  return table;
}

// The CP932 form of every character of the Basic Multilingual Plane that iconv encodes as one
// character: 0 = ask iconv, 1-0xFF = that byte, above = lead byte * 256 + trail byte.
struct EncodeTable {
  std::vector<std::uint16_t> code = std::vector<std::uint16_t>(0x10000);
  bool asciiAsIs = true;
};

EncodeTable makeEncodeTable() {
  Descriptor d("CP932", "UTF-8");
  EncodeTable t;
  for (unsigned c = 0; c < 0x80; ++c) {
    auto r = iconvWhole(d.get(), std::string(1, static_cast<char>(c)));
    t.asciiAsIs &= r && *r == std::string(1, static_cast<char>(c));
  }
  for (std::uint32_t c = 0x80; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    char utf8[3] = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
    std::size_t length = 3;
    if (c < 0x800) {
      utf8[0] = static_cast<char>(0xC0 | (c >> 6));
      utf8[1] = static_cast<char>(0x80 | (c & 0x3F));
      length = 2;
    }
    auto r = iconvWhole(d.get(), std::string_view(utf8, length));
    if (!r) continue;
    auto first = static_cast<unsigned char>((*r)[0]);
    if (r->size() == 1 && !isLeadByte(first) && first != 0) t.code[c] = first;
    if (r->size() == 2 && isLeadByte(first))
      t.code[c] = static_cast<std::uint16_t>(first * 256u + static_cast<unsigned char>((*r)[1]));
  }
  return t;
}

const EncodeTable& encodeTable() {
  static const EncodeTable table = makeEncodeTable();
  return table;
}

// The code point of a well-formed two- or three-byte UTF-8 sequence at s, and its length; 0 for
// anything else (ASCII, four bytes, overlong forms, surrogates, a sequence cut short).
std::size_t decodeUtf8(const unsigned char* s, std::size_t left, std::uint32_t& c) {
  auto more = [&](std::size_t i) { return i < left && (s[i] & 0xC0) == 0x80; };
  std::size_t n = utf8Length(s[0]);
  if (n == 2 && more(1)) {
    c = (s[0] & 0x1Fu) << 6 | (s[1] & 0x3Fu);
    return 2;
  }
  if (n == 3 && more(1) && more(2)) {
    c = (s[0] & 0x0Fu) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu);
    return c >= 0x800 && (c < 0xD800 || c > 0xDFFF) ? 3 : 0;
  }
  return 0;
}

// The output buffer of a table conversion. It always keeps room for `growth` bytes per input byte
// still to come plus one, so the table steps write without checking (ASCII runs write 8 bytes for
// 8 bytes, a character writes a whole table entry however many of its bytes count).
class Output {
 public:
  Output(std::string& text, std::size_t inputSize, std::size_t growth) : text_(text), growth_(growth) {
    text_.resize(inputSize * growth + kStepRoom + 1);
  }
  char* at() { return text_.data() + done_; }
  void advance(std::size_t n) { done_ += n; }
  // Room for one iconv step (at most kStepRoom bytes) on top of the steady room.
  void ensureStepRoom(std::size_t inputLeft) {
    std::size_t need = done_ + inputLeft * growth_ + kStepRoom + 1;
    if (text_.size() < need) text_.resize(need + need / 2);
  }
  void finish() { text_.resize(done_); }

  static constexpr std::size_t kStepRoom = 16;

 private:
  std::string& text_;
  std::size_t growth_;
  std::size_t done_ = 0;
};

// Copies the ASCII run at in[pos], 8 bytes at a time.
void copyAscii(const unsigned char* in, std::size_t n, std::size_t& pos, Output& out) {
  char* dst = out.at();
  std::size_t start = pos;
  while (pos + 8 <= n) {
    std::uint64_t w;
    std::memcpy(&w, in + pos, 8);
    if (w & 0x8080808080808080ull) break;
    std::memcpy(dst + (pos - start), &w, 8);
    pos += 8;
  }
  while (pos < n && in[pos] < 0x80) {
    dst[pos - start] = static_cast<char>(in[pos]);
    ++pos;
  }
  out.advance(pos - start);
}

// One piece the tables do not answer, converted as the iconv path converts it: iconv takes as much
// as fits in a few bytes of output, or, when it takes nothing, the piece at pos is a failure.
template <typename BadLength>
void iconvStep(iconv_t cd, std::string_view in, std::size_t& pos, Output& out, Converted& result,
               std::string_view replacement, BadLength badLength) {
  out.ensureStepRoom(in.size() - pos);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data()) + pos;
  std::size_t srcLeft = in.size() - pos;
  char* dst = out.at();
  std::size_t dstLeft = Output::kStepRoom;
  iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  std::size_t taken = in.size() - pos - srcLeft;
  if (taken > 0) {
    pos += taken;
    out.advance(Output::kStepRoom - dstLeft);
    return;
  }
  if (result.failures++ == 0) result.firstFailure = pos;
  std::memcpy(out.at(), replacement.data(), replacement.size());
  out.advance(replacement.size());
  pos += badLength(in, pos);
}

// Full-width a-z, Greek and Cyrillic small letters to their capitals; other codes unchanged.
unsigned upperDoubleByte(unsigned code) {
  if (code >= 0x8281 && code <= 0x829A) return code - 0x21;  // ａ-ｚ -> Ａ-Ｚ
  if (code >= 0x83BF && code <= 0x83D6) return code - 0x20;  // α-ω -> Α-Ω
  if (code >= 0x8470 && code <= 0x847E) return code - 0x30;  // а-н -> А-Н (0x847F is not a letter)
  if (code >= 0x8480 && code <= 0x8491) return code - 0x31;  // о-я -> О-Я
  return code;
}

}  // namespace

Converted toUtf8ByIconv(std::string_view cp932) {
  return convert(toUtf8Descriptor(), cp932, kUtf8Replacement, badCp932Length);
}

Converted fromUtf8ByIconv(std::string_view utf8) {
  return convert(fromUtf8Descriptor(), utf8, kCp932Replacement, badUtf8Length);
}

Converted toUtf8(std::string_view cp932) {
  Converted result;
  if (isAscii(cp932)) {
    result.text.assign(cp932);
    return result;
  }
  const DecodeTable& t = decodeTable();
  iconv_t cd = nullptr;
  const auto* in = reinterpret_cast<const unsigned char*>(cp932.data());
  const std::size_t n = cp932.size();
  Output out(result.text, n, 3);  // no piece of CP932 grows to more than 3 bytes per byte
  std::size_t pos = 0;
  while (pos < n) {
    unsigned char b = in[pos];
    if (b < 0x80 && t.asciiAsIs) {
      copyAscii(in, n, pos, out);
      continue;
    }
    const Piece* piece = &t.single[b];
    std::size_t length = 1;
    if (piece->length == 0 && t.leadIndex[b] >= 0 && pos + 1 < n) {
      piece = &t.pairs[t.leadIndex[b] * 256 + in[pos + 1]];
      length = 2;
    }
    if (piece->length != 0) {
      std::memcpy(out.at(), piece, sizeof *piece);  // the length byte lands in the room and is overwritten
      out.advance(piece->length);
      pos += length;
      continue;
    }
    if (!cd) cd = toUtf8Descriptor();
    iconvStep(cd, cp932, pos, out, result, kUtf8Replacement, badCp932Length);
  }
  out.finish();
  return result;
}

Converted fromUtf8(std::string_view utf8) {
  Converted result;
  if (isAscii(utf8)) {
    result.text.assign(utf8);
    return result;
  }
  const EncodeTable& t = encodeTable();
  iconv_t cd = nullptr;
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  Output out(result.text, n, 1);  // a CP932 character is never longer than its UTF-8 form
  std::size_t pos = 0;
  while (pos < n) {
    if (in[pos] < 0x80 && t.asciiAsIs) {
      copyAscii(in, n, pos, out);
      continue;
    }
    std::uint32_t c = 0;
    std::size_t length = decodeUtf8(in + pos, n - pos, c);
    std::uint16_t code = length ? t.code[c] : 0;
    if (code != 0) {
      char* dst = out.at();
      if (code < 0x100) {
        dst[0] = static_cast<char>(code);
        out.advance(1);
      } else {
        dst[0] = static_cast<char>(code >> 8);
        dst[1] = static_cast<char>(code & 0xFF);
        out.advance(2);
      }
      pos += length;
      continue;
    }
    if (!cd) cd = fromUtf8Descriptor();
    iconvStep(cd, utf8, pos, out, result, kCp932Replacement, badUtf8Length);
  }
  out.finish();
  return result;
}

std::string upper(std::string_view cp932) {
  std::string out(cp932);
  for (std::size_t i = 0; i < out.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (isLeadByte(b) && i + 1 < out.size()) {
      unsigned code = upperDoubleByte(b * 256u + static_cast<unsigned char>(out[i + 1]));
      out[i] = static_cast<char>(code >> 8);
      out[i + 1] = static_cast<char>(code & 0xFF);
      ++i;
    } else if (b >= 'a' && b <= 'z') {
      out[i] = static_cast<char>(b - 'a' + 'A');
    }
  }
  return out;
}

}  // namespace kelvane::cp932
