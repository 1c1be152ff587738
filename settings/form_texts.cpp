#include "settings/form_texts.h"

#include "platform/cp932.h"

namespace kelvane {
namespace {

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

FormTexts makeTexts() {
  FormTexts t;
  t.editorError = sj("外部エディタのエラーです！");
  t.clearTargetsQ = sj("検索対象ファイルはクリアされます。更新しますか？");
  t.updateQ = sj("更新しますか？");
  t.notUpdated = sj("設定の更新はおこなわれませんでした。");
  t.chooseEditor = sj("外部エディタの選択");
  t.editorFilterName = sj("標準");
  t.uncheckedRemoved = sj("チェックのはずされた項目は、履歴から削除されます。");
  t.editorNotChosen = sj("ファイルは選択されませんでした。");
  t.editorNotSaved = sj("ファイルは保存されませんでした。");
  t.editorUnchanged = sj("変更されていません。");
  t.editorOverwriteQ = sj("上書きしますか？");
  t.editorReplaceQ = sj("既存のファイルは、新期ファイルで上書きされます。");
  t.editorChangedQ = sj("ファイルは変更されています。上書きしますか？");
  t.editorNotCp932 =
      sj("Shift-JISで表せない文字が含まれているため保存できません。該当の文字を直してから保存してください。");
  t.editorChangedOnDiskOpen = sj("ファイル「");
  t.editorChangedOnDiskQ =
      sj("」は、エディタで開いた後に変更されています。上書きすると、その変更は失われます"
         "（上書き前の内容はTempフォルダにコピーされます）。上書きしますか？");
  t.editorCopyFailed = sj("上書き前の内容をコピーできなかったため、保存しませんでした。");
  return t;
}

}  // namespace

const FormTexts& formTexts() {
  static const FormTexts texts = makeTexts();
  return texts;
}

}  // namespace kelvane
