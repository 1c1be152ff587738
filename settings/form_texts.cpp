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
  return t;
}

}  // namespace

const FormTexts& formTexts() {
  static const FormTexts texts = makeTexts();
  return texts;
}

}  // namespace kelvane
