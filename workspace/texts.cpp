#include "workspace/texts.h"

#include "platform/cp932.h"

namespace kelvane {

namespace {

std::string sj(const char* utf8) { return cp932::fromUtf8(utf8).text; }

// Replace, undo and narrowing.
void addReplaceTexts(WorkspaceTexts& t) {
  t.markerOverwrite = sj("上書");
  t.markerNarrow = sj("絞込");
  t.markerJoin = sj("結合");
  t.markerSplit = sj("分割");
  t.replaceCaption = sj("置換");
  t.replacePrompt = sj("置き換える文字列を入力してください！");
  t.noSearchYet = sj("検索がされていません！");
  t.previewAgainBefore = sj("検索結果");
  t.previewAgainAfter = sj("に戻した後に置換えを実行します。");
  t.previewDone =
      sj("実際のファイルは、まだ置換えられていません。\r\n"
         "メニューの置換え結果で上書きで、Checkの入った所のみ置換えが実行されます！");
  t.askReplaceFile = sj("を置き換えますか？");
  t.overwriting = sj("上書き中");
  t.notOverwritten = sj("次のファイルは上書きしませんでした：");
  t.reasonNul = sj("：NUL文字(0x00)を含むため、上書きすると後ろが失われます（コピーは一時フォルダにあります）");
  t.reasonChanged = sj("：検索の後に内容が変わっています");
  t.reasonShorter = sj("：検索の後に行数が減っています");
  t.reasonGone = sj("：ファイルが見つかりません");
  t.reasonChangedWhileAsked = sj("：確認の間に他のプログラムで変更されたため、上書きしませんでした");
  t.reasonSameFileBefore = sj("：");
  t.reasonSameFileAfter = sj(" と同じファイルのため、そちらとして一度だけ扱いました");
  t.overwriteNotReached = sj("：上書きが途中で止まったため、扱っていません");
  t.cannotUndo = sj("やり直せません！！");
  t.askUndoNarrow = sj("絞込前の状態に戻しますか？");
  t.askUndoJoin = sj("新規ファイルを消去しますか？");
  t.askUndoSplit = sj("更新しますか？");
  t.askUndoOverwrite = sj("元の状態に戻しますか？？");
  t.newFile = sj("新規ファイル");
  t.deleteOk = sj("の消去...OK");
  t.deleteNg = sj("の消去...NG。");
  t.willDelete = sj("を消去します。");
  t.overwrittenFile = sj("ファイル");
  t.restoreOk = sj("の復元...OK");
  t.restoreNg = sj("の復元...NG。");
  t.changedSinceWrite = sj("上書きの後に変更されているため、戻しませんでした。");
}

WorkspaceTexts makeTexts() {
  WorkspaceTexts t;
  t.tabResult = sj("検索モード");
  t.tabJoin = sj("ファイル結合モード");
  t.tabSplit = sj("ファイル分割モード");
  t.tabTarget = sj("対象File一覧");
  t.markDone = sj("■");
  t.markTodo = sj("□");
  t.searching = sj("検索中");
  t.filesTargeted = sj("個のファイルが対象です");
  t.leftOutBefore = sj("（Shift-JISで表せない名前");
  t.leftOutAfter = sj("個は対象外）");
  t.leftOutFilesThenFolders = sj("個、フォルダ");
  t.leftOutFoldersOnly = sj("のフォルダ");
  t.leftOutFoldersAfter = sj("個（中身ごと）は対象外）");
  t.deleting = sj("を削除中");
  t.deleteFailed = sj("の削除に失敗しました。");
  t.noFolderSelected = sj("フォルダが選択されていません！");
  t.folderMissing = sj("：フォルダが見つかりません。");
  t.chooseFolder = sj("対象フォルダを選択してください。");
  t.changeTargets = sj("検索対象Fileを変更しますか？");
  t.unreadableFolders = sj("読み込めないフォルダがありました。これらのフォルダのファイルは対象になりません：");
  t.andMore = sj("…ほか");
  t.countSuffix = sj("件");
  t.noFileSelected = sj("選択されたファイルがありません！");
  t.inputCaption = sj("検索文字入力");
  t.inputPrompt = sj("検索する文字列を入力してください。");
  t.noTargetFiles = sj("検索対象のファイルがありません！");
  t.noPattern = sj("検索する文字が入力されていません！");
  t.docMessage = "doc";
  t.searchDone = sj("検索終了");
  t.notFound = sj("は見つかりませんでした。");
  t.searchStopped = sj("検索を中止しました。それまでに見つかった行を表示しています。");
  t.skippedFiles = sj("次のファイルは読み込めなかったため、検索されませんでした：");
  t.lineOpen = sj("【");
  t.lineClose = sj("列目】");
  t.lineWord = sj("列目");
  t.resultSuffix = sj(",の検索結果");
  t.noDirectory = sj("ディレクトリが存在しません！");
  t.noSeparator = sj("ファイルの区切り文字列は追加されません。");
  t.noJoinFiles = sj("対象ファイルが存在しません！");
  t.contentSuffix = sj(",の内容");
  t.omitted = sj("～～中略～～");
  t.askJoin = sj("ヘッダー部分とCheck済部分を新規ファイルに結合します。");
  t.askSplit = sj("新規ファイルに分割します。未チェックのファイルは作成されません。");
  t.saved = sj("に保存されました。");
  t.saveTitle = sj("新規ファイルへ保存");
  t.textFiles = sj("テキストファイル");
  t.allFiles = sj("すべてのファイル");
  t.choosePlace = sj("項目を追加する個所を選択してください。");
  t.separatorCaption = sj("文字列の入力");
  t.separatorPrompt = sj("Fileの区切り文字列を入力してください");
  t.badSplitMode = sj("ファイル分割の設定が不適切です！");
  t.rangeMiddle = sj("列目~");
  t.joinNulRefused = sj("：ゼロのバイト(NUL)があり、その後ろを読めないため結合できません。何も保存していません。");
  t.splitNulRefused = sj("：ゼロのバイト(NUL)があり、その後ろを読めないため分割できません。");
  t.splitSourceChanged =
      sj("：分割の準備の後で内容が変わりました。何も書き込んでいません。もう一度「ファイルの分割」からやり直してくださ"
         "い。");
  t.splitPointsStale = sj("：検索の後でファイルが短くなったため分割できません。もう一度検索してください。");
  t.splitNotPrepared = sj("分割の準備ができていません。「ファイルの分割」からやり直してください。");
  t.askReplaceExisting = sj("は既に存在します。置き換えますか？（元の内容は一時フォルダに残します）");
  t.willReplace = sj("次のファイルは既に存在するため置き換えます（元の内容は一時フォルダに残します）：");
  t.notSaved = sj("次のファイルには書き込んでいません：");
  t.retrySave = sj("原因を取り除いてから、もう一度「新規保存」で保存できます。");
  t.reasonIsSource = sj("：分割元のファイルと同じファイルです");
  t.reasonJoinSource = sj("：結合するファイルの一つと同じファイルです。別の名前を選んでください");
  t.reasonSameFile = sj("：別の分割ファイルと同じファイルです");
  t.reasonNotAFile = sj("：ファイルではありません");
  t.reasonAppeared = sj("：確認の後で同じ名前のファイルかリンクができました");
  t.reasonChangedSinceAsked = sj("：確認の後で内容が変わりました");
  t.reasonChangedSinceWritten = sj("：前回の保存で書き込んだ後に内容が変わりました");
  t.reasonWriteFailed = sj("：書き込めませんでした（エラーの内容の通りです）");
  t.reasonNotReached = sj("：前のファイルでエラーになったため書き込んでいません");
  t.pieceLeftAlone = sj("はこの分割で書き込まれていないため、消去しません。");
  t.changedSinceSave = sj("は保存の後に変更されているため、消去も復元もしませんでした。");
  t.newFolder = sj("新規フォルダ");
  t.folderCount = sj(",【該当File数】,");
  t.markerReplace = sj("置換");
  addReplaceTexts(t);
  return t;
}

}  // namespace

const WorkspaceTexts& texts() {
  static const WorkspaceTexts table = makeTexts();
  return table;
}

std::string searchProgressText(int marks) {
  const WorkspaceTexts& t = texts();
  std::string text;
  for (int i = 0; i < 10; ++i) text += i < marks ? t.markDone : t.markTodo;
  return text + t.searching;
}

std::string listedEntriesText(const std::string& heading, const std::vector<std::string>& entries) {
  constexpr std::size_t kShown = 10;
  const WorkspaceTexts& t = texts();
  std::string message = heading;
  for (std::size_t i = 0; i < entries.size() && i < kShown; ++i) message += "\r\n" + entries[i];
  if (entries.size() > kShown) message += "\r\n" + t.andMore + std::to_string(entries.size() - kShown) + t.countSuffix;
  return message;
}

}  // namespace kelvane
