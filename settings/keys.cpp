#include "settings/keys.h"

#include "platform/cp932.h"

namespace kelvane {
namespace {

std::string sj(const std::string& utf8) { return cp932::fromUtf8(utf8).text; }

SettingsKeys makeKeys() {
  SettingsKeys k;
  k.extensions = sj("拡張子");
  k.main = "Main";
  k.display = sj("表示");
  k.join = sj("ファイル結合");
  k.editor = sj("外部エディタ");

  k.txt = sj("TXTファイル");
  k.html = sj("HTMLファイル");
  k.cgi = sj("CGIファイル");
  k.system = sj("SYSTEM系ファイル");
  k.csv = sj("CSVファイル");
  k.custom = sj("拡張子指定");
  k.msWord = sj("MsWordファイル");
  k.customText = sj("拡張子指定TXT");

  k.subfolders = sj("下位フォルダ");
  k.fuzzyDic = sj("Fuzzy辞書");
  k.caseSensitive = sj("大文字小文字の区別");
  k.useRegExp = sj("正規表現の使用");
  k.ignoreBlankLines = sj("空白行の無視");
  k.searchHistory = sj("検索文字");
  k.folderHistory = sj("フォルダ");
  k.windowWidth = sj("ウインドウの幅");
  k.windowHeight = sj("ウインドウの高さ");

  const char* tabs[3] = {"TAB１", "TAB２", "TAB３"};
  for (int i = 0; i < 3; ++i) {
    std::string tab = tabs[i];
    k.headerBack[i] = sj(tab + "ヘッダー背景色");
    k.headerText[i] = sj(tab + "ヘッダーフォント色");
    k.back[i] = sj(tab + "背景色");
    k.text[i] = sj(tab + "フォント色");
    k.fontSize[i] = sj(tab + "フォントサイズ");
  }
  k.searchTextColor = sj("TAB１検索文字色");
  k.replaceTextColor = sj("TAB１置換文字色");
  k.boxFontSize = sj("コンボボックスサイズ");
  k.statusBarFontSize = sj("ステータスバーサイズ");
  k.statusBarVisible = sj("ステータスバー表示");
  k.toolBarVisible = sj("ツールボタン表示");

  k.joinSeparator = sj("結合文字列");
  k.splitMode = sj("分割モード");

  k.editorEnabled = sj("使用許可");
  k.editorPath = "Path";
  k.editorLineOption = sj("列表示");
  k.editorWordOption = sj("強調文字");

  k.newFolderEntry = sj("新規フォルダ");
  k.badColorValue = sj("色の値が正しくありません");
  return k;
}

}  // namespace

const SettingsKeys& settingsKeys() {
  static const SettingsKeys keys = makeKeys();
  return keys;
}

}  // namespace kelvane
