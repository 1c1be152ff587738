#pragma once
// The Japanese texts the main window's operations show or write into rows, in one place. They are
// written here in UTF-8 and converted to CP932 once, on first use.
#include <string>
#include <vector>

namespace kelvane {

struct WorkspaceTexts {
  // Tab captions.
  std::string tabResult;  // "検索モード"
  std::string tabJoin;    // "ファイル結合モード"
  std::string tabSplit;   // "ファイル分割モード"
  std::string tabTarget;  // "対象File一覧"
  // Progress marks and status texts.
  std::string markDone;                 // "■"
  std::string markTodo;                 // "□"
  std::string searching;                // "検索中"
  std::string filesTargeted;            // "個のファイルが対象です" (after the number)
  std::string leftOutBefore;            // before the number of names left out
  std::string leftOutAfter;             // after it
  std::string leftOutFilesThenFolders;  // between that number and the number of folders left out
  std::string leftOutFoldersOnly;       // before the number of folders when no file is left out
  std::string leftOutFoldersAfter;      // after the number of folders
  std::string deleting;                 // "を削除中" (after a path)
  std::string deleteFailed;             // "の削除に失敗しました。" (after a path)
  // Messages and questions.
  std::string noFolderSelected;   // "フォルダが選択されていません！"
  std::string folderMissing;      // after a path: the folder does not exist
  std::string chooseFolder;       // "対象フォルダを選択してください。"
  std::string changeTargets;      // "検索対象Fileを変更しますか？"
  std::string unreadableFolders;  // heading of the list of folders that could not be read
  std::string andMore;            // "…ほか" before the number of further entries
  std::string countSuffix;        // "件"
  // The search run.
  std::string noFileSelected;  // "選択されたファイルがありません！"
  std::string inputCaption;    // "検索文字入力"
  std::string inputPrompt;     // "検索する文字列を入力してください。"
  std::string noTargetFiles;   // "検索対象のファイルがありません！"
  std::string noPattern;       // "検索する文字が入力されていません！"
  std::string docMessage;      // "doc"
  std::string searchDone;      // "検索終了"
  std::string notFound;        // "は見つかりませんでした。" (after the quoted pattern)
  std::string searchStopped;   // the run was stopped by the user
  std::string skippedFiles;    // heading of the files a run could not read
  std::string lineOpen;        // "【"
  std::string lineClose;       // "列目】"
  std::string lineWord;        // "列目"
  std::string resultSuffix;    // ",の検索結果"
  // Opening files.
  std::string noDirectory;  // "ディレクトリが存在しません！"
  // ---- file join and split (file_join.cpp, file_split.cpp) ----
  std::string noSeparator;    // "ファイルの区切り文字列は追加されません。"
  std::string noJoinFiles;    // "対象ファイルが存在しません！"
  std::string contentSuffix;  // ",の内容"
  std::string omitted;        // "～～中略～～"
  std::string askJoin;        // "ヘッダー部分とCheck済部分を新規ファイルに結合します。"
  std::string askSplit;  // "新規ファイルに分割します。未チェックのファイルは作成されません。"
  std::string saved;      // "に保存されました。" (after the path)
  std::string saveTitle;  // the save chooser's title
  std::string textFiles;  // the save chooser's filters
  std::string allFiles;
  std::string choosePlace;        // "項目を追加する個所を選択してください。"
  std::string separatorCaption;   // "文字列の入力"
  std::string separatorPrompt;    // "Fileの区切り文字列を入力してください"
  std::string badSplitMode;       // "ファイル分割の設定が不適切です！"
  std::string rangeMiddle;        // "列目~"
  std::string joinNulRefused;     // after a path: a zero byte cuts the file, nothing is joined
  std::string splitNulRefused;    // after a path: a zero byte cuts the file, it is not split
  std::string splitSourceChanged;  // after a path: its bytes changed since the preparation
  std::string splitPointsStale;   // after a path: a match row lies past the end of the file
  std::string splitNotPrepared;   // the list was not made by a split preparation
  std::string askReplaceExisting;  // after a path and CR LF: the chosen file exists, replace it?
  std::string willReplace;         // the split's question: heading of the existing files it replaces
  std::string notSaved;            // heading of the files a save left alone, each with its reason
  std::string retrySave;           // after that list: the save can be tried again
  std::string reasonIsSource;      // a piece is the source file (or a link to it)
  std::string reasonJoinSource;    // the join's target is one of the files joined
  std::string reasonSameFile;      // two pieces name one file
  std::string reasonNotAFile;      // a folder or device stands where the file would go
  std::string reasonAppeared;      // a file or link of the name appeared after the question
  std::string reasonChangedSinceAsked;    // the file to replace changed after the question
  std::string reasonChangedSinceWritten;  // a piece written by an earlier try changed since
  std::string reasonWriteFailed;   // the write failed, as the error box said
  std::string reasonNotReached;    // the save stopped at an error before this piece
  std::string pieceLeftAlone;     // after a quoted path: the split did not write it, the undo leaves it
  std::string changedSinceSave;  // a saved file changed after the join or split wrote it
  // Row texts and fixed entries.
  std::string newFolder;      // "新規フォルダ"
  std::string folderCount;    // ",【該当File数】,"
  std::string markerReplace;  // "置換"

  // ---- replace, undo and narrowing (replace.cpp, undo.cpp, narrowing.cpp) ----
  std::string markerOverwrite;     // "上書"
  std::string markerNarrow;        // "絞込"
  std::string markerJoin;          // "結合"
  std::string markerSplit;         // "分割"
  std::string replaceCaption;      // "置換"
  std::string replacePrompt;       // "置き換える文字列を入力してください！"
  std::string noSearchYet;         // "検索がされていません！"
  std::string previewAgainBefore;  // "検索結果" (then the pattern, CR LF)
  std::string previewAgainAfter;   // "に戻した後に置換えを実行します。"
  std::string previewDone;         // the two lines shown after a preview
  std::string askReplaceFile;      // "を置き換えますか？" (after the path and CR LF)
  std::string overwriting;         // "上書き中", after the progress marks
  std::string notOverwritten;      // heading of the files the overwrite left alone
  std::string reasonNul;           // the file holds a NUL byte
  std::string reasonChanged;       // a checked line is no longer what the search found
  std::string reasonShorter;       // the file has fewer lines than a checked row's line number
  std::string reasonGone;          // the file is gone
  std::string reasonChangedWhileAsked;  // the file changed (or went) while it was asked about
  std::string reasonSameFileBefore;     // after a second name of a file: it is the same file as (path)
  std::string reasonSameFileAfter;      // after that path: handled once, under that name
  std::string overwriteNotReached;      // the overwrite stopped before it reached the file
  std::string cannotUndo;          // "やり直せません！！"
  std::string askUndoNarrow;       // "絞込前の状態に戻しますか？"
  std::string askUndoJoin;         // "新規ファイルを消去しますか？"
  std::string askUndoSplit;        // "更新しますか？"
  std::string askUndoOverwrite;    // "元の状態に戻しますか？？"
  std::string newFile;             // "新規ファイル" (before the quoted path)
  std::string deleteOk;            // "の消去...OK"
  std::string deleteNg;            // "の消去...NG。"
  std::string willDelete;          // "を消去します。"
  std::string overwrittenFile;     // "ファイル" (before the quoted path)
  std::string restoreOk;           // "の復元...OK"
  std::string restoreNg;           // "の復元...NG。"
  std::string changedSinceWrite;   // the file changed after the overwrite wrote it
};

// The table, converted on first use.
const WorkspaceTexts& texts();

// The search progress: "■" marks times (0 to 10), "□" for the rest of ten, then "検索中".
std::string searchProgressText(int marks);

// A heading and, a line each, the first ten entries, then "…ほか" N "件" for the rest.
std::string listedEntriesText(const std::string& heading, const std::vector<std::string>& entries);

}  // namespace kelvane
