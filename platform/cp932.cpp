// CP932 <-> UTF-8 through glibc's iconv module "CP932", which carries the NEC and IBM extensions and
// already maps the characters Linux input methods type (〜 ‖ − ¢ £ ¬ —) to the codes Windows gives
// them. The descriptors are opened once per thread and reset before each conversion, so drawing a
// row costs one iconv call, not an open and a close.
//
// iconv stops at the first piece it cannot convert. We then write the replacement, count the
// failure, step over the piece ourselves and let iconv go on: nothing is dropped without a trace.
#include "platform/cp932.h"

#include <errno.h>
#include <iconv.h>

#include <stdexcept>

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
    out.text.replace(done, replacement.size(), replacement);
    done += replacement.size();
    pos += badLength(in, pos);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.text.resize(done);
  return out;
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

Converted toUtf8(std::string_view cp932) { return convert(toUtf8Descriptor(), cp932, "\xEF\xBF\xBD", badCp932Length); }

Converted fromUtf8(std::string_view utf8) { return convert(fromUtf8Descriptor(), utf8, "?", badUtf8Length); }

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
