#pragma once
// The main window's own captions and the texts its Qt half shows, in one place. They are UTF-8
// source literals handed to Qt widgets as they are (QString::fromUtf8); the program's data stays
// CP932 and is converted where a widget shows it (qt_text.h).

namespace kelvane::ui_texts {

inline constexpr const char* kTitle = "Kelvane";
inline constexpr const char* kPatternLabel = "検索文字列";
inline constexpr const char* kFolderLabel = "フォルダ名";
inline constexpr const char* kFolderTip = "対象フォルダ";
inline constexpr const char* kMainToolBar = "ツールバー";
inline constexpr const char* kBoxToolBar = "検索バー";
// An input box refuses such text and asks again with it, so that the person can correct it.
inline constexpr const char* kTextNotCp932 = "Shift-JISで表せない文字が含まれています。入力し直してください。";
inline constexpr const char* kPatternNotCp932 =
    "検索文字列にShift-JISで表せない文字が含まれているため、検索できません。";

}  // namespace kelvane::ui_texts
