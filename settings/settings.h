#pragma once
// The settings file's model: the in-memory Settings record, the history lists, the window size,
// the join/split/editor keys and the options dialog's writes. Every call opens the file through
// Profile, reads or writes the keys it needs and closes it; nothing keeps the file open.
//
// Reads never raise: a missing file, key or unreadable number gives the key's default.
// Writes raise ProfileError (platform/profile.h) at the first key the file system refuses; the keys
// written before it stay written.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "settings/colors.h"

namespace kelvane {

// The options the search and the target collection consult; one for the whole run.
struct Settings {
  bool ExtTxt = true;
  bool ExtHtml = false;
  bool ExtCgi = false;
  bool ExtSystem = false;
  bool ExtCsv = false;
  bool ExtCustom = false;
  bool Subfolders = true;
  bool FuzzyDic = false;
  bool CaseSensitive = true;
  bool UseRegExp = true;
  bool IgnoreBlankLines = false;
  bool ExtMsWord = false;
  std::string UserExtensions;                 // CP932
  std::uint32_t SearchTextColor = 0x0000FF;   // clRed
  std::uint32_t ReplaceTextColor = 0x008000;  // clGreen
};

// startupFolder + "/Kelvane.ini" (without a second "/" when the folder is the root).
std::string settingsFilePath(const std::string& startupFolder);

// The start-up load of "拡張子" and "Main" into a Settings record. SearchTextColor and
// ReplaceTextColor keep their defaults: applying the display settings sets them.
Settings loadSettings(const Profile& profile);

// --- History lists ---------------------------------------------------------------------------

// The entries of a stored history: the comma-text split (platform/comma_text.h), empty entries
// dropped.
std::vector<std::string> readHistoryList(std::string_view value);
// The first ten entries, empty ones skipped, each as "entry", with inner quotes doubled. An entry
// that would take the value past the 2,047 bytes a read gives back is skipped too.
std::string writeHistoryList(const std::vector<std::string>& entries);

// The search history ("Main"/"検索文字").
std::vector<std::string> loadSearchHistory(const Profile& profile);
// The folder history ("Main"/"フォルダ"): only entries that name an existing folder (a relative
// name is tested against the current folder); the box's fixed entry "新規フォルダ" is never returned,
// since the box already holds it.
std::vector<std::string> loadFolderHistory(const Profile& profile);
// The text of the folder box's fixed entry, CP932.
const std::string& fixedFolderEntry();

// The close writes of "検索文字" and "フォルダ". A list with no non-empty entry among its first ten
// writes an empty value only when the key is already in the file: a history emptied by the
// cleanup dialog stays empty, and a first run without any search writes no "検索文字".
void saveHistories(Profile& profile, const std::vector<std::string>& search, const std::vector<std::string>& folders);

// --- Window size -------------------------------------------------------------------------------

struct WindowSize {
  int width = 680;
  int height = 480;
};
// "ウインドウの幅" / "ウインドウの高さ", each defaulting to the given design size.
WindowSize readWindowSize(const Profile& profile, WindowSize design = {});
void writeWindowSize(Profile& profile, WindowSize size);

// --- File join, split, external editor -----------------------------------------------------------

// "ファイル結合"/"結合文字列", default empty.
std::string readJoinSeparator(const Profile& profile);
// "ファイル結合"/"分割モード" as stored (default 2); a value other than 1, 2 or 3 is returned as it is
// for the caller to judge.
int readSplitMode(const Profile& profile);

struct ExternalEditor {
  bool enabled = false;    // "使用許可"
  std::string path;        // "Path"
  std::string lineOption;  // "列表示"
  std::string wordOption;  // "強調文字"
};
ExternalEditor readExternalEditor(const Profile& profile);

// --- The options dialog's save -------------------------------------------------------------------

// What the options dialog shows besides the Settings flags.
struct OtherOptions {
  std::string joinSeparator;  // "結合文字列"
  int splitMode = 0;          // 1, 2 or 3; anything else (no choice selected) is not written
  ExternalEditor editor;
};

// Writes, in the dialog's order, the flags of "拡張子" (the user's own extension as 1 with its text
// only when ExtCustom is on and the text is not empty, else 0 and empty), the five flags of "Main",
// the join keys and the editor keys. Each flag is copied into `live` right after its write; after
// the user's extension, live.ExtCustom and live.UserExtensions take the chosen values as shown and
// extensionsChanged (when given) is called, so a refused later write leaves `live` matching the
// file. Raises ProfileError at the first refused write.
void writeOptions(Profile& profile, const Settings& chosen, const OtherOptions& other, Settings& live,
                  const std::function<void()>& extensionsChanged = {});

}  // namespace kelvane
