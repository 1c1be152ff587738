// The text file reader; what it does and why is in txt_file.h. Here: the block read, and the
// normalising of each block in place, 16 bytes at a time where SSE2 is there.
#include "pattern/txt_file.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/files.h"
#include "platform/read_handle.h"

namespace kelvane {
namespace {

// Every file that cannot be opened is EFileNotFound, the missing one and the one that is there but
// cannot be read (a folder, a fifo, no access); the file layer's text says which it was.
files::ReadHandle openFile(const std::string& fileName) {
  try {
    return files::openForReading(fileName);
  } catch (const files::FileError& e) {
    throw EFileNotFound(e.what());
  }
}

}  // namespace

TTxtFile::TTxtFile(const std::string& fileName, const bool* cancel, ProcessMessagesFn processMessages,
                   std::size_t blockSize, TTxtWindow* storage)
    : fileName_(fileName),
      blockSize_(blockSize == 0 ? 1 : blockSize),
      cancel_(cancel),
      processMessages_(std::move(processMessages)),
      win_(storage ? storage : &own_) {
  file_ = openFile(fileName);
  fileSize_ = file_.size();
  // A small file gets a small window: most files of a tree are far shorter than a block. Nothing is
  // cleared: every byte read back is written first.
  win_->Grow(static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, fileSize_ + 1)) + kSpareSize, 0);
  W()[0] = '\n';
  dataEnd_ = 1;
  ReadBlock();
  if (consumed_ == 0) throw EEndOfFile();
}

TTxtFile::~TTxtFile() = default;

std::size_t TTxtFile::ReadRaw(char* into, std::size_t want) {
  try {
    return file_.readBlock(into, want);
  } catch (const files::FileError& e) {
    throw EInOutError(e.what());
  }
}

namespace {

// A block is read this far behind the data, so that normalising it in place can store whole 16-byte
// chunks: a store at the output never reaches input that is not yet examined. The output falls
// behind by one more byte per CR LF; only the LF of a CR left over from the last block moves it one
// byte ahead, so 16 + 1 would do.
constexpr std::size_t kReadLag = 32;

// Copies in[0..n) to out up to the first CR or zero byte and returns how many bytes were copied.
// out lies at least 16 bytes before in; up to 16 bytes past the copied ones may be written, and
// up to 16 bytes past in + n may be read (the window has room for both).
std::size_t copyPlain(const char* in, std::size_t n, char* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), zero = _mm_setzero_si128();
  for (; i < n; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
    unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, zero))));
    if (n - i < 16) mask &= (1u << (n - i)) - 1;
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  return n;
#else
  for (; i < n && in[i] != '\r' && in[i] != '\0'; ++i) out[i] = in[i];
  return i;
#endif
}

// The common chunks of 16 bytes: no NUL, and every CR followed by LF. Each CR is dropped by storing
// the rest of the chunk one byte further down, over the earlier store. Stops at the first other chunk
// (a NUL, a lone CR) and returns where. Needs the output 16 bytes behind the input, and reads up to
// 17 bytes past a chunk.
std::size_t normaliseChunks(const char* p, std::size_t i, std::size_t n, char*& out) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), zero = _mm_setzero_si128();
  while (i + 32 <= n) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
    auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
    auto nuls = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
    auto lfAfter = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(next, lf)));
    if ((nuls | (crs & ~lfAfter)) != 0) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
    if ((crs & (crs - 1)) == 0) {
      // None or one CR, without a branch on which: with none the second store lands past the
      // chunk and is overwritten later.
      auto k = static_cast<std::size_t>(__builtin_ctz(crs | 0x10000u));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + k + 1)));
      out += 16 - (crs != 0);
    } else {
      std::size_t dropped = 0;
      for (unsigned m = crs; m != 0; m &= m - 1, ++dropped) {
        auto k = static_cast<std::size_t>(__builtin_ctz(m));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k - dropped),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + k + 1)));
      }
      out += 16 - dropped;
    }
    i += 16;
  }
#else
  (void)p, (void)n, (void)out;
#endif
  return i;
}

}  // namespace

// Appends n raw bytes to the window with the line ends and zero bytes made regular (see the header).
// p may lie in the window itself, behind the data: the output never overtakes the input.
void TTxtFile::AppendNormalised(const char* p, std::size_t n) {
  char* out = W() + dataEnd_;
  std::size_t i = 0;
  if (pendingCR_ && n > 0) {
    pendingCR_ = false;
    *out++ = '\n';
    if (p[0] == '\n') i = 1;
  }
  while (i < n) {
    i = normaliseChunks(p, i, n, out);
    if (i == n) break;
    std::size_t k = copyPlain(p + i, n - i, out);
    out += k;
    i += k;
    if (i == n) break;
    if (p[i] == '\0') {
      *out++ = ' ';
    } else if (i + 1 == n) {
      pendingCR_ = true;  // a CR at the end of the block: the next block tells which line end it is
    } else if (p[i + 1] != '\n') {
      *out++ = '\n';  // a lone CR; a CR before an LF is dropped and the LF kept
    }
    ++i;
  }
  dataEnd_ = static_cast<std::size_t>(out - W());
  std::memset(out, 0, win_->size() - dataEnd_ < 3 ? win_->size() - dataEnd_ : 3);
}

void TTxtFile::Reserve(std::size_t bytes) {
  std::size_t need = dataEnd_ + bytes + 32;  // room for the 16-byte loads and stores and the closing zeros
  if (win_->size() < need) win_->Grow(std::max(need, win_->size() + win_->size() / 2), dataEnd_ + 3);
}

void TTxtWindow::Grow(std::size_t n, std::size_t keep) {
  if (n <= size_) return;
  std::unique_ptr<char[]> bigger(new char[n]);
  if (keep > size_) keep = size_;
  if (keep > 0) std::memcpy(bigger.get(), p_.get(), keep);
  p_ = std::move(bigger);
  size_ = n;
}

// Reads straight into the window behind the data and normalises there.
void TTxtFile::ReadBlock() {
  std::size_t want = blockSize_;
  if (consumed_ < fileSize_ && fileSize_ - consumed_ < want) want = static_cast<std::size_t>(fileSize_ - consumed_) + 1;
  Reserve(want + kReadLag);
  char* into = W() + dataEnd_ + kReadLag;
  std::size_t got = ReadRaw(into, want);
  consumed_ += got;
  if (got > 0) {
    AppendNormalised(into, got);
    // A block of one CR leaves nothing new (the window may even be empty): only pendingCR_ changes.
    if (pendingCR_) {
      lastWasLF_ = false;
    } else if (dataEnd_ > 0) {
      lastWasLF_ = W()[dataEnd_ - 1] == '\n';
    }
  }
  if (got < want || consumed_ == fileSize_) {
    atEnd_ = true;
    if (consumed_ > 0 && (pendingCR_ || !lastWasLF_)) {
      pendingCR_ = false;
      static const char kLF = '\n';
      Reserve(kReadLag);
      std::memcpy(W() + dataEnd_ + kReadLag, &kLF, 1);
      AppendNormalised(W() + dataEnd_ + kReadLag, 1);
      lastWasLF_ = true;
    }
  }
  if (got > 0) CheckPoint();
}

void TTxtFile::CheckPoint() {
  if (processMessages_) processMessages_();
  if (cancel_ && *cancel_) throw EGrepCancel();
}

bool TTxtFile::Refill(std::size_t keep, std::size_t* shift) {
  *shift = 0;
  if (atEnd_) return false;
  if (keep > dataEnd_) keep = dataEnd_;
  if (keep > 0) {
    std::memmove(W(), W() + keep, dataEnd_ - keep);
    dataEnd_ -= keep;
    std::memset(W() + dataEnd_, 0, 3);
    *shift = keep;
  }
  std::size_t before = dataEnd_;
  ReadBlock();
  return dataEnd_ > before;
}

}  // namespace kelvane
