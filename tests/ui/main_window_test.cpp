// The real main window, made offscreen in a fresh start-up folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QTabWidget>
#include <QToolBar>

#include "tests/testing/temp_dir.h"
#include "workspace/ui/Unit1.h"

namespace kelvane {
namespace {

// Runs the window in its own current folder, since that is where it reads and writes its files.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) {
    char buf[4096];
    old_ = getcwd(buf, sizeof buf) ? buf : "/";
    EXPECT_EQ(chdir(folder.c_str()), 0);
  }
  ~InFolder() { (void)!chdir(old_.c_str()); }

 private:
  std::string old_;
};

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

TEST(MainWindowTest, OpensWithTitleTabsCaptionsAndClosesWritingTheSettings) {
  testing::TempDir dir;
  InFolder in(dir.path());
  {
    TForm1 form;
    form.show();
    EXPECT_EQ(form.windowTitle(), "Kelvane");
    EXPECT_EQ(form.size(), QSize(680, 480));

    QTabWidget* tabs = form.pages();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
    EXPECT_EQ(tabs->tabText(0), u("検索モード"));
    EXPECT_EQ(tabs->tabText(1), u("ファイル結合モード"));
    EXPECT_EQ(tabs->tabText(2), u("対象File一覧"));
    EXPECT_EQ(tabs->currentIndex(), 2);

    EXPECT_EQ(form.action("ToolButton1")->toolTip(), u("検索"));
    EXPECT_EQ(form.action("N12")->text(), u("置換え結果を上書き"));
    EXPECT_EQ(form.action("CheckOFFFolder1")->text(), u("CheckON(フォルダ全体)"));
    EXPECT_FALSE(form.action("OverWriteB")->isEnabled());
    EXPECT_FALSE(form.action("undoB")->isVisible());
    EXPECT_FALSE(form.action("CSV1")->isVisible());
    EXPECT_TRUE(form.action("GREP1")->isChecked());
    EXPECT_TRUE(form.action("ToolButton7")->isChecked());
    EXPECT_FALSE(form.action("ToolButton8")->isChecked());

    EXPECT_EQ(form.patternBox()->width(), 165);
    EXPECT_EQ(form.folderBox()->width(), 269);
    EXPECT_EQ(form.folderBox()->toolTip(), u("対象フォルダ"));
    EXPECT_FALSE(form.folderBox()->isEditable());
    EXPECT_EQ(form.folderBox()->itemText(0), u("新規フォルダ"));
    EXPECT_EQ(form.folderBox()->currentIndex(), -1);
    EXPECT_EQ(form.listView(ListId::kTarget)->model()->rowCount(), 0);
    EXPECT_TRUE(form.close());
  }
  const std::string ini = testing::slurp(dir / "Kelvane.ini");
  EXPECT_NE(ini.find("680"), std::string::npos);
  EXPECT_NE(ini.find("480"), std::string::npos);
}

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
