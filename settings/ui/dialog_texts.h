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
inline constexpr const char* kEditorReadFailed = "ファイルを開けませんでした。";

}  // namespace kelvane::dialog_texts
