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
};

// The one table, built on first use. Never raises.
const FormTexts& formTexts();

}  // namespace kelvane
