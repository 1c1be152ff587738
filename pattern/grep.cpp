// The file grep component; the stage is described in grep.h. Here: the binding of a pattern to its
// scan tables, and the window storage that the searches of one thread share.
#include "pattern/grep.h"

#include <stdexcept>

#include "pattern/re_preprocessor.h"

namespace kelvane {
namespace {

// The searches of one thread read their files in turn through one window storage, so a file costs
// no allocation. A search started from within a report (the storage is then in use) gets its own.
struct SharedWindow {
  TTxtWindow storage;
  bool busy = false;
};
thread_local SharedWindow sharedWindow;

// A window grown for a huge line is not kept for the rest of the thread's life.
constexpr std::size_t kKeptWindow = 4 * TTxtFile::kBlockSize;

class WindowLoan {
 public:
  WindowLoan() : mine_(!sharedWindow.busy) { sharedWindow.busy = true; }
  ~WindowLoan() {
    if (!mine_) return;
    sharedWindow.busy = false;
    if (sharedWindow.storage.size() > kKeptWindow) sharedWindow.storage.Release();
  }
  WindowLoan(const WindowLoan&) = delete;
  WindowLoan& operator=(const WindowLoan&) = delete;
  TTxtWindow* Storage() { return mine_ ? &sharedWindow.storage : nullptr; }

 private:
  bool mine_;
};

}  // namespace

TGrep::TGrep() { FuzzyDictionaries().push_back(&FuzzyCharDic()); }

TGrep::~TGrep() = default;

void TGrep::AssignRegExp(std::string_view value) {
  try {
    TRegularExpression::AssignRegExp(value);
  } catch (...) {
    // The DFA the tables were made from may have been evicted; the current pattern is now the
    // empty one (or, after a preprocessing error, the old one).
    RemakeTables();
    throw;
  }
  RemakeTables();
  assigned_ = true;
}

// The tables refer to the current DFA, which a later assignment may evict. The search run assigns
// the same pattern again for every file (through the fuzzy switch), so tables of the same compiled
// pattern are kept: the same DFA object under the same processed text.
void TGrep::RemakeTables() {
  const std::string& text = PatternCache()[static_cast<std::size_t>(CacheIndex())].Text;
  if (tables_ && tablesDFA_ == &CurrentDFA() && tablesText_ == text) return;
  sets_.reset();
  tables_ = std::make_unique<GrepTables>(CurrentDFA());
  sets_ = std::make_unique<GrepSets>(*tables_);
  tablesDFA_ = &CurrentDFA();
  tablesText_ = text;
}

// A literal needs no search of its own: the scan looks for its bytes (the prefix every match begins
// with) with memmem, and the walk from each hit is the code-by-code comparison.
void TGrep::Grep(const std::string& fileName) {
  if (!assigned_) throw std::logic_error("TGrep: Grep called before a pattern was assigned");
  if (!OnMatch) return;
  Cancel = false;
  if (!tables_) RemakeTables();
  WindowLoan window;  // outlives the reader
  std::unique_ptr<TTxtFile> file;
  try {
    file = std::make_unique<TTxtFile>(fileName, &Cancel, ProcessMessages, BlockSize, window.Storage());
  } catch (const EEndOfFile&) {
    return;  // an empty file: nothing to report
  }
  ScanFile(*file, *tables_, *sets_, [this](const RE_LineInfo_t& line) { OnMatch(*this, line); });
}

}  // namespace kelvane
