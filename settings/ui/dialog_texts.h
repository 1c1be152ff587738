#pragma once
// The captions of the secondary windows, kept in one place. They are UTF-8 source literals that
// go straight into Qt widgets (QString::fromUtf8); the program's own data stays CP932.

namespace kelvane::dialog_texts {

inline constexpr const char* kOptionsCaption = "設定画面";
inline constexpr const char* kAboutCaption = "Version情報";
// The product line of the about box is this followed by the project version (kelvane_version.h).
inline constexpr const char* kAboutProduct = "Kelvane　　　Ver,";
inline constexpr const char* kAboutClose = "Close";
inline constexpr const char* kDisplayCaption = "表示の設定";
inline constexpr const char* kDisplayTabSearch = "検索モード";
inline constexpr const char* kDisplayTabJoin = "File結合モード";
inline constexpr const char* kDisplayTabTarget = "対象File一覧";
inline constexpr const char* kHistoryCaption = "検索条件削除";
inline constexpr const char* kEditorCaption = "Editer";
inline constexpr const char* kUpdate = "更新";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kOk = "Ok";

// The options dialog.
inline constexpr const char* kOptGroupExtensions = "対象拡張子";
inline constexpr const char* kOptCheckBox1 = "TXTファイル     ：.txt";
inline constexpr const char* kOptCheckBox2 = "HTMLファイル    ：.htm,.html";
inline constexpr const char* kOptCheckBox3 = "CGIファイル     ：.cgi,.pl";
inline constexpr const char* kOptCheckBox4 = "SYSTEM系ファイル：.bat,.inf,.ini";
inline constexpr const char* kOptCheckBox5 = "CSVファイル     ：.csv";
inline constexpr const char* kOptCheckBox12 = "MsWordファイル  ：.doc";
inline constexpr const char* kOptCheckBox6 = "拡張子指定　    ：";
inline constexpr const char* kOptCheckBox7 = "下位フォルダも検索する";
inline constexpr const char* kOptGroupSearch = "検索条件";
inline constexpr const char* kOptCheckBox10 = "正規表現を使用する";
inline constexpr const char* kOptCheckBox8 = "Fuzzy辞書を使用";
inline constexpr const char* kOptCheckBox9 = "大文字小文字を区別する";
inline constexpr const char* kOptGroupJoin = "【File結合】File区切り文字列";
inline constexpr const char* kOptCheckBox11 = "文頭文末の空白行を無視する";
inline constexpr const char* kOptGroupSplit = "ファイル分割";
inline constexpr const char* kOptRadioButton1 = "検索列をファイル先頭にする";
inline constexpr const char* kOptRadioButton2 = "検索列は重複する";
inline constexpr const char* kOptRadioButton3 = "検索列をファイル末尾にする";
inline constexpr const char* kOptGroupEditor = "外部エディタコマンドラインオプション";
inline constexpr const char* kOptEditC = "使用する";
inline constexpr const char* kOptLabel1 = "起動するソフト";
inline constexpr const char* kOptButtonEditPath = "...";
inline constexpr const char* kOptEditL1 = "指定列を表示";
inline constexpr const char* kOptEditL2 = "＋列番号";
inline constexpr const char* kOptEditL3 = "検索語を強調";
inline constexpr const char* kOptEditL4 = "＋検索語";
// An edit holding a character Shift-JIS cannot hold; the settings file would get "?" instead.
inline constexpr const char* kTextNotCp932 =
    "Shift-JISで表せない文字が入力されています。該当の文字を直してから更新してください。";

// The display settings dialog.
inline constexpr const char* kDispFontSize = "フォントサイズ";
inline constexpr const char* kDispSearchText = "検索文字列";
inline constexpr const char* kDispReplaceText = "置換文字列";
inline constexpr const char* kDispGroupHeader = "ヘッダー部分書式";
inline constexpr const char* kDispGroupNormal = "通常部分書式";
inline constexpr const char* kDispBack = "背景色";
inline constexpr const char* kDispText = "フォント色";
inline constexpr const char* kDispBoxSize = "検索文字列";
inline constexpr const char* kDispStatusSize = "ステータスバー";
inline constexpr const char* kDispToolBar = "ツールボタンを表示";
inline constexpr const char* kDispStatusBar = "ステータスバーを表示";

// The history cleanup dialog.
inline constexpr const char* kHistGroupSearch = "検索文字列";
inline constexpr const char* kHistGroupFolders = "検索対象フォルダ";
inline constexpr const char* kHistSaveCount = "保存数";
inline constexpr const char* kHistAllOn = "全てOn";
inline constexpr const char* kHistAllOff = "全てOff";

// The built-in editor.
inline constexpr const char* kEditorMenuFile = "ファイル(&F)";
inline constexpr const char* kEditorOpen = "開く(&O)...";
inline constexpr const char* kEditorSaveAs = "名前を付けて保存";
inline constexpr const char* kEditorOverwrite = "上書き保存(&S)";
inline constexpr const char* kEditorEnd = "VErovの終了(&X)";
inline constexpr const char* kEditorMenuEdit = "編集(&E)";
inline constexpr const char* kEditorCut = "切り取り(&T)";
inline constexpr const char* kEditorCopy = "コピー(&C)";
inline constexpr const char* kEditorPaste = "貼り付け(&P)";
inline constexpr const char* kEditorSelectAll = "すべてを選択(&A)";
inline constexpr const char* kEditorUndo = "元に戻す(&U)";
inline constexpr const char* kEditorDelete = "削除(&D)";
inline constexpr const char* kEditorMenuOption = "Option";
inline constexpr const char* kEditorDisplay = "表示設定";
inline constexpr const char* kEditorFilterName = "テキストファイル";
inline constexpr const char* kEditorFilterPattern = "*.txt";
inline constexpr const char* kEditorLine = "縦：";
inline constexpr const char* kEditorColumn = "横：";

}  // namespace kelvane::dialog_texts
