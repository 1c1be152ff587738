#pragma once
// The texts the settings dialogs show through their DialogPort, CP932, made once from the UTF-8
// texts in form_texts.cpp.
#include <string>

namespace kelvane {

struct FormTexts {
  // the options dialog
  std::string editorError;       // "外部エディタのエラーです！"
  std::string clearTargetsQ;     // "検索対象ファイルはクリアされます。更新しますか？"
  std::string updateQ;           // "更新しますか？"
  std::string notUpdated;        // "設定の更新はおこなわれませんでした。"
  std::string chooseEditor;      // "外部エディタの選択"
  std::string editorFilterName;  // "標準"
  // the history cleanup dialog
  std::string uncheckedRemoved;  // "チェックのはずされた項目は、履歴から削除されます。"
  // the built-in editor
  std::string editorNotChosen;   // "ファイルは選択されませんでした。"
  std::string editorNotSaved;    // "ファイルは保存されませんでした。"
  std::string editorUnchanged;   // "変更されていません。"
  std::string editorOverwriteQ;  // "上書きしますか？"
  std::string editorReplaceQ;    // "既存のファイルは、新期ファイルで上書きされます。"
  std::string editorChangedQ;    // "ファイルは変更されています。上書きしますか？"
  std::string editorNotCp932;    // typed text Shift-JIS cannot hold: nothing is written
  // A file changed on disk since the editor read it: "ファイル「" + path + editorChangedOnDiskQ.
  std::string editorChangedOnDiskOpen;  // "ファイル「"
  std::string editorChangedOnDiskQ;     // "」は、エディタで開いた後に変更されています。..."
  std::string editorCopyFailed;         // the copy of a file about to be replaced could not be made
};

// The one table, built on first use. Never raises.
const FormTexts& formTexts();

}  // namespace kelvane
