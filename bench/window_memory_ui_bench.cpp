// What the main window holds after the search for ファイル over bench/corpus/tree (about 468,000
// match rows): the real window, offscreen, driven through its handlers. It prints the resident size
// and the peak at each step and the bytes per match row the search added, read from /proc; run it
// under bench/window_memory.sh, which also takes the peak from outside (GNU time).
//
// Not a Google Benchmark: memory is one measurement of one run, not a timing.
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/cp932.h"
#include "tests/testing/temp_dir.h"
#include "workspace/ui/Unit1.h"

namespace {

namespace fs = std::filesystem;

// VmRSS and VmHWM of this process, in kB.
std::pair<long, long> residentKb() {
  std::ifstream status("/proc/self/status");
  long rss = 0, hwm = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::stol(line.substr(6));
    if (line.rfind("VmHWM:", 0) == 0) hwm = std::stol(line.substr(6));
  }
  return {rss, hwm};
}

void catchUp() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

long report(const char* step) {
  const auto [rss, hwm] = residentKb();
  std::printf("%-14s VmRSS %8.1f MB   VmHWM %8.1f MB\n", step, rss / 1024.0, hwm / 1024.0);
  return rss;
}

// Every box is taken as OK, so that nothing waits for a person.
class Answers : public kelvane::ModalAnswerer {
 public:
  bool message(const std::string& kind, const std::string& text) override {
    std::printf("(%s) %s\n", kind.c_str(), kelvane::cp932::toUtf8(text).text.c_str());
    return true;
  }
  std::optional<bool> confirm(const std::string&) override { return true; }
  std::optional<std::optional<std::string>> input(const std::string&, const std::string&) override {
    return std::optional<std::string>();
  }
  std::optional<std::optional<std::string>> folder(const std::string&) override {
    return std::optional<std::string>();
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const fs::path tree = argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path() / "corpus" / "tree";
  if (!fs::is_directory(tree)) {
    std::fprintf(stderr, "no corpus at %s (bench/make_corpus.sh builds it)\n", tree.c_str());
    return 2;
  }
  QApplication app(argc, argv);
  kelvane::testing::TempDir startup;
  kelvane::testing::InFolder in(startup.path());
  Answers answers;
  long rows = 0, before = 0, after = 0;
  {
    kelvane::TForm1 form;
    form.setModalAnswerer(&answers);
    form.show();
    catchUp();
    report("window");
    kelvane::Workspace& ws = form.workspace();
    form.run([&] {
      ws.settings.Subfolders = true;
      ws.settings.UseRegExp = true;
      ws.ComboBox2.pushFront(kelvane::cp932::fromUtf8(tree.string()).text);
      ws.BuildTargetList();
    });
    catchUp();
    before = report("target list");
    form.run([&] {
      ws.ComboBox1.setEditText(kelvane::cp932::fromUtf8("ファイル").text);
      ws.ToolButton1Click();
    });
    catchUp();
    after = report("search");
    rows = ws.CheckListBox3.count() - ws.CheckListBox3.headerCount();
    std::printf("match rows     %ld\n", rows);
    if (rows > 0) std::printf("per match row  %.0f bytes above the target list\n", (after - before) * 1024.0 / rows);
    form.close();
  }
  return rows > 0 ? 0 : 1;
}
