#pragma once
// The section and key names of the settings file and the few texts of this layer, CP932, made once from the UTF-8 texts
// in keys.cpp. The dialogs use these too, so a name is spelled in one place only.
#include <string>

namespace kelvane {

struct SettingsKeys {
  // sections
  std::string extensions;  // "拡張子"
  std::string main;        // "Main"
  std::string display;     // "表示"
  std::string join;        // "ファイル結合"
  std::string editor;      // "外部エディタ"
  // "拡張子"
  std::string txt, html, cgi, system, csv, custom, msWord, customText;
  // "Main"
  std::string subfolders, fuzzyDic, caseSensitive, useRegExp, ignoreBlankLines;
  std::string searchHistory, folderHistory, windowWidth, windowHeight;
  // "表示": per list (index 0 for TAB１ ... 2 for TAB３)
  std::string headerBack[3], headerText[3], back[3], text[3], fontSize[3];
  std::string searchTextColor, replaceTextColor, boxFontSize, statusBarFontSize, statusBarVisible, toolBarVisible;
  // "ファイル結合"
  std::string joinSeparator, splitMode;
  // "外部エディタ"
  std::string editorEnabled, editorPath, editorLineOption, editorWordOption;
  // the folder box's fixed entry
  std::string newFolderEntry;  // "新規フォルダ"
  // messages
  std::string badColorValue;  // "色の値が正しくありません"
};

// The one table, built on first use. Never raises.
const SettingsKeys& settingsKeys();

}  // namespace kelvane
