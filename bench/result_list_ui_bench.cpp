// The result list of the real main window with 100,000 match rows: filling it (the run's last step,
// with the window catching up on its events) and painting one screen of it with the matches coloured.
// Also a whole search through the window's command over files that give the same 100,000 rows, and
// one result row of 18 MB filled and painted.
//
// The window is made once, offscreen unless QT_QPA_PLATFORM says otherwise, in a fresh start-up
// folder, at its default size:
//   QT_QPA_PLATFORM=offscreen build/bin/result_list_ui_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QString>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"
#include "workspace/ui/Unit1.h"

namespace {

using kelvane::CheckList;
using kelvane::CheckRow;
using kelvane::ListId;
using kelvane::TForm1;
using kelvane::Workspace;

constexpr int kMatchRows = 100000;
constexpr int kMatchesPerFile = 19;  // with its header row, a file takes 20 rows of the list
constexpr int kFiles = (kMatchRows + kMatchesPerFile - 1) / kMatchesPerFile;
constexpr int kOtherLinesPerFile = 11;  // lines of a file that do not match
constexpr int kLineChars = 60;

std::string sj(const QString& text) { return kelvane::cp932::fromUtf8(text.toStdString()).text; }

const QString& word() {
  static const QString w = QString::fromUtf8("検索");
  return w;
}

// Pieces of a Japanese manual, put together in a different order for each line.
const std::vector<QString>& phrases() {
  static const std::vector<QString> p = [] {
    std::vector<QString> out;
    for (const char* s :
         {"設定ファイルを開いて、", "表示される一覧から項目を選びます。", "この操作は取り消せません",
          "（詳しくは第３章を参照）", "保存先のフォルダを指定し、", "文字コードはシフトJISです。",
          "全角の英数字ＡＢＣ１２３も使えます", "改行コードを変換したあとで", "結果を確認してください。",
          "複数の条件を組み合わせると、", "対象外のファイルは読み飛ばされ", "ログに記録されます。"}) {
      out.push_back(QString::fromUtf8(s));
    }
    return out;
  }();
  return p;
}

// A line of about kLineChars characters with the word somewhere in it (CP932). Lines that do not
// match leave the word out.
std::string lineText(int n, bool withWord) {
  const std::vector<QString>& p = phrases();
  QString line;
  for (std::size_t k = static_cast<std::size_t>(n) * 5; line.size() < kLineChars; k += 7) line += p[k % p.size()];
  line.truncate(kLineChars - (withWord ? word().size() : 0));
  if (withWord) line.insert((n * 13) % (line.size() - 1), word());
  return sj(line);
}

// The file's path below a root folder, in UTF-8 (the name on disk).
QString relativePath(int file) {
  return QString::fromUtf8("マニュアル/第%1章/節%2.txt").arg(file / 100 + 1).arg(file, 4, 10, QChar('0'));
}

std::string filePath(const std::string& root, int file) { return root + "/" + sj(relativePath(file)); }

// The rows the run stages: a header for each file, then a row per matching line.
std::vector<CheckRow> stagedRows(const std::string& root) {
  const std::string suffix = sj(QString::fromUtf8(",の検索結果"));
  const std::string open = sj(QString::fromUtf8("【"));
  const std::string close = sj(QString::fromUtf8("列目】"));
  std::vector<CheckRow> rows;
  rows.reserve(kMatchRows + kFiles);
  int matches = 0;
  for (int f = 0; matches < kMatchRows; ++f) {
    std::string header(1, '"');
    header += filePath(root, f) + '"' + suffix;
    rows.push_back({std::move(header), true, false});
    for (int m = 0; m < kMatchesPerFile && matches < kMatchRows; ++m, ++matches) {
      const int lineNo = 1 + m * 2 + (f % 3);
      rows.push_back({open + std::to_string(lineNo) + close + "\r\n" + lineText(matches, true), false, true});
    }
  }
  return rows;
}

// Posted events, the delayed item layout and the paint it asks for each take a turn of the loop.
void catchUp() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

class InFolder {
 public:
  explicit InFolder(const std::string& folder) {
    char buf[4096];
    old_ = getcwd(buf, sizeof buf) ? buf : "/";
    if (chdir(folder.c_str()) != 0) old_.clear();
  }
  ~InFolder() {
    if (!old_.empty()) (void)!chdir(old_.c_str());
  }

 private:
  std::string old_;
};

// The window in its own start-up folder, and the rows of a 100,000-match run.
struct Bench {
  kelvane::testing::TempDir dir;
  InFolder in{dir.path()};
  TForm1 form;
  std::vector<CheckRow> staged = stagedRows(dir.path());
  std::string tree;  // the files of the whole-run benchmark, written when first wanted

  Bench() {
    form.show();
    catchUp();
  }
  ~Bench() { form.close(); }

  Workspace& ws() { return form.workspace(); }
  QListView* view() { return form.listView(ListId::kResult); }

  void clearResults() {
    form.run([&] { ws().CheckListBox3.clear(); });
    catchUp();
  }

  // What the run does once its rows are staged: copied into the result list in one batch, measured
  // for the scroll width, the first row selected, the result tab shown, the text searched for kept
  // for the colouring.
  void fillAsTheRunDoes() {
    form.run([&] {
      Workspace& w = ws();
      w.CheckListBoxUNDO.assign(staged);
      {
        CheckList::Batch copy(w.CheckListBox3);
        w.CheckListBox3.assign(w.CheckListBoxUNDO.rows());
        int widest = 0;
        for (const CheckRow& row : w.CheckListBox3.rows())
          widest = std::max(widest, form.textWidth(ListId::kResult, row.text));
        w.CheckListBox3.setHorizontalExtent(form.rowHeight(ListId::kResult) + widest);
        w.CheckListBox3.setSelectedIndex(0);
      }
      w.showTab(kelvane::kTabResult);
      w.LastSearchText = sj(word());
    });
  }

  bool filled() { return view()->model()->rowCount() == static_cast<int>(staged.size()); }

  void writeTree() {
    if (!tree.empty()) return;
    tree = dir.mkdir("tree");
    int matches = 0;
    for (int f = 0; matches < kMatchRows; ++f) {
      std::string text;
      const int matching = std::min(kMatchesPerFile, kMatchRows - matches);
      for (int m = 0; m < std::max(matching, kOtherLinesPerFile); ++m) {
        if (m < kOtherLinesPerFile) text += lineText(f + m, false) + "\r\n";
        if (m < matching) text += lineText(matches++, true) + "\r\n";
      }
      dir.write("tree/" + relativePath(f).toStdString(), text);
    }
  }
};

std::unique_ptr<Bench> theBench;

Bench& bench() {
  if (!theBench) theBench = std::make_unique<Bench>();
  return *theBench;
}

void BM_FillResultList100k(benchmark::State& state) {
  Bench& b = bench();
  for (auto _ : state) {
    state.PauseTiming();
    b.clearResults();
    state.ResumeTiming();
    b.fillAsTheRunDoes();
    catchUp();
  }
  // A laid-out view can be scrolled over all its rows.
  if (!b.filled() || b.view()->verticalScrollBar()->maximum() <= 0) {
    state.SkipWithError("the view does not show every row");
  }
  state.counters["rows"] = b.view()->model()->rowCount();
}

// Whether a screen shows coloured text: some pixels clearly red (the default colour of a match).
bool hasMatchColour(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 160 && c.green() < 90 && c.blue() < 90) return true;
    }
  }
  return false;
}

QImage screenImage(QListView* view) {
  QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  return image;
}

void screenCounters(benchmark::State& state, QListView* view) {
  state.counters["rowsOnScreen"] = view->viewport()->height() / std::max(1, view->sizeHintForRow(0));
}

// The same screen again: the row texts have been converted before.
void BM_PaintOneScreen(benchmark::State& state) {
  Bench& b = bench();
  if (!b.filled()) {
    b.fillAsTheRunDoes();
    catchUp();
  }
  QListView* view = b.view();
  view->scrollTo(view->model()->index(50000, 0), QAbstractItemView::PositionAtTop);
  catchUp();
  QImage image = screenImage(view);
  view->viewport()->render(&image);
  if (!hasMatchColour(image)) {
    state.SkipWithError("no coloured match on the screen");
    return;
  }
  for (auto _ : state) {
    view->viewport()->render(&image);
    benchmark::ClobberMemory();
  }
  screenCounters(state, view);
}

// A screen of rows not drawn before: paging down through the list.
void BM_PaintNextScreen(benchmark::State& state) {
  Bench& b = bench();
  b.clearResults();
  b.fillAsTheRunDoes();
  catchUp();
  QListView* view = b.view();
  QImage image = screenImage(view);
  QScrollBar* bar = view->verticalScrollBar();
  for (auto _ : state) {
    state.PauseTiming();
    if (bar->value() >= bar->maximum()) bar->setValue(0);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    catchUp();
    state.ResumeTiming();
    view->viewport()->render(&image);
    benchmark::ClobberMemory();
  }
  screenCounters(state, view);
}

// The whole run through the window's search button: the files searched, the rows staged, copied and
// shown.
void BM_SearchRunFillsResultList100k(benchmark::State& state) {
  Bench& b = bench();
  b.writeTree();
  b.form.run([&] {
    b.ws().ExtensionList = ".txt";
    b.ws().ComboBox2.pushFront(b.dir / "tree");
    b.ws().BuildTargetList();
  });
  b.form.patternBox()->setEditText(word());
  QAction* search = b.form.action("ToolButton1");
  for (auto _ : state) {
    state.PauseTiming();
    b.clearResults();
    state.ResumeTiming();
    search->trigger();
    catchUp();
  }
  state.counters["files"] = b.ws().CheckedFileCount;
  state.counters["rows"] = b.view()->model()->rowCount();
  if (b.ws().CheckListBox3.count() != static_cast<int>(b.staged.size())) {
    state.SkipWithError("the run did not find every matching line");
  }
}

// One match row holding a line of 18 MB (a minified file, a log without line ends): the run's copy,
// measure and layout of that row, then painting the screen it is on, with the label and the coloured
// match near the start. A row is shown from its first bytes only, so both stay as cheap as a short row.
constexpr std::size_t kLongLineBytes = 18u << 20;

std::vector<CheckRow> longRowRows(const std::string& root) {
  std::string line = lineText(7, true);
  const std::string filler = lineText(8, false);
  line.reserve(kLongLineBytes + filler.size());
  while (line.size() < kLongLineBytes) line += filler;
  std::string header(1, '"');
  header += filePath(root, 0) + '"' + sj(QString::fromUtf8(",の検索結果"));
  return {{std::move(header), true, false},
          {sj(QString::fromUtf8("【1列目】")) + "\r\n" + line, false, true}};
}

struct LongRow {
  Bench& b = bench();
  std::vector<CheckRow> rows = longRowRows(b.dir.path());

  void fill() {
    b.form.run([&] {
      Workspace& w = b.ws();
      CheckList::Batch copy(w.CheckListBox3);
      w.CheckListBox3.assign(rows);
      int widest = 0;
      for (const CheckRow& row : w.CheckListBox3.rows())
        widest = std::max(widest, b.form.textWidth(ListId::kResult, row.text));
      w.CheckListBox3.setHorizontalExtent(b.form.rowHeight(ListId::kResult) + widest);
      w.CheckListBox3.setSelectedIndex(0);
      w.showTab(kelvane::kTabResult);
      w.LastSearchText = sj(word());
    });
  }
};

void BM_FillOneLongRow18MB(benchmark::State& state) {
  LongRow l;
  for (auto _ : state) {
    state.PauseTiming();
    l.b.clearResults();
    state.ResumeTiming();
    l.fill();
    catchUp();
  }
  state.counters["rowBytes"] = static_cast<double>(l.rows[1].text.size());
}

void BM_PaintOneLongRow18MB(benchmark::State& state) {
  LongRow l;
  l.b.clearResults();
  l.fill();
  catchUp();
  QListView* view = l.b.view();
  QImage image = screenImage(view);
  view->viewport()->render(&image);
  if (!hasMatchColour(image)) {
    state.SkipWithError("no coloured match on the screen");
    return;
  }
  for (auto _ : state) {
    view->viewport()->render(&image);
    benchmark::ClobberMemory();
  }
  // The whole row is kept: the replace works on it.
  if (l.b.ws().CheckListBox3.text(1).size() != l.rows[1].text.size()) state.SkipWithError("the row was cut");
  l.b.clearResults();
}

BENCHMARK(BM_FillResultList100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintOneScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintNextScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchRunFillsResultList100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillOneLongRow18MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintOneLongRow18MB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  theBench.reset();  // the window goes before the application
  return 0;
}
