#pragma once
// The texts the shared Qt helpers show, UTF-8 literals handed to Qt as they are.

namespace kelvane::qt_texts {

// The caption of every message box, as the desktop's boxes carry the program's name.
inline constexpr const char* kCaption = "Kelvane";
// The desktop's names are not always Shift-JIS: such a file or folder cannot be used.
inline constexpr const char* kFolderNotCp932 =
    "このフォルダ名にはShift-JISで表せない文字が含まれているため、対象にできません。";
inline constexpr const char* kFileNotCp932 =
    "このファイル名にはShift-JISで表せない文字が含まれているため、選択できません。";
inline constexpr const char* kAllFiles = "すべてのファイル";

}  // namespace kelvane::qt_texts
