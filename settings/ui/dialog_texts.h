#pragma once
// The captions of the secondary windows, kept in one place. They are UTF-8 source literals that
// go straight into Qt widgets (QString::fromUtf8); the program's own data stays CP932.

namespace kelvane::dialog_texts {

inline constexpr const char* kOptionsCaption = "設定画面";
inline constexpr const char* kAboutCaption = "Version情報";
inline constexpr const char* kAboutProduct = "Kelvane　　　Ver,1.1.2";
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

// The built-in editor.
inline constexpr const char* kMessageCaption = "Kelvane";
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
inline constexpr const char* kEditorNotChosen = "ファイルは選択されませんでした。";
inline constexpr const char* kEditorNotSaved = "ファイルは保存されませんでした。";
inline constexpr const char* kEditorUnchanged = "変更されていません。";
inline constexpr const char* kEditorOverwriteQ = "上書きしますか？";
inline constexpr const char* kEditorReplaceQ = "既存のファイルは、新期ファイルで上書きされます。";
inline constexpr const char* kEditorChangedQ = "ファイルは変更されています。上書きしますか？";
inline constexpr const char* kEditorLine = "縦：";
inline constexpr const char* kEditorColumn = "横：";
// Texts of this program's own where the original had none.
inline constexpr const char* kEditorLossyQ =
    "このファイルにはShift-JISとして読めないバイトが含まれていたため、保存するとその部分が「?」などに"
    "変わります。保存しますか？";
inline constexpr const char* kEditorNotCp932 =
    "Shift-JISで表せない文字が含まれているため保存できません。該当の文字を直してから保存してください。";

}  // namespace kelvane::dialog_texts
