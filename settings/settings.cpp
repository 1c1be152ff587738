// The settings file's keys outside "表示": the options record, the two histories, the window size
// and the keys the join, the split and the editor read each time they run.
#include "settings/settings.h"

#include "platform/comma_text.h"
#include "platform/files.h"
#include "settings/keys.h"

namespace kelvane {
namespace {

constexpr std::size_t kHistoryLimit = 10;
// The profile reads back at most this many bytes of a value; a longer list would come back with its
// last entry cut short.
constexpr std::size_t kValueReadLimit = 2047;

void writeFlag(Profile& p, const std::string& section, const std::string& key, bool value, bool& live) {
  p.writeBool(section, key, value);
  live = value;
}

}  // namespace

std::string settingsFilePath(const std::string& startupFolder) {
  // The root folder already ends in "/".
  if (!startupFolder.empty() && startupFolder.back() == '/') return startupFolder + "Kelvane.ini";
  return startupFolder + "/Kelvane.ini";
}

Settings loadSettings(const Profile& p) {
  const auto& k = settingsKeys();
  Settings s;
  s.ExtTxt = p.readBool(k.extensions, k.txt, s.ExtTxt);
  s.ExtHtml = p.readBool(k.extensions, k.html, s.ExtHtml);
  s.ExtCgi = p.readBool(k.extensions, k.cgi, s.ExtCgi);
  s.ExtSystem = p.readBool(k.extensions, k.system, s.ExtSystem);
  s.ExtCsv = p.readBool(k.extensions, k.csv, s.ExtCsv);
  s.ExtCustom = p.readBool(k.extensions, k.custom, s.ExtCustom);
  s.ExtMsWord = p.readBool(k.extensions, k.msWord, s.ExtMsWord);
  s.UserExtensions = p.readString(k.extensions, k.customText, "");
  s.Subfolders = p.readBool(k.main, k.subfolders, s.Subfolders);
  s.FuzzyDic = p.readBool(k.main, k.fuzzyDic, s.FuzzyDic);
  s.CaseSensitive = p.readBool(k.main, k.caseSensitive, s.CaseSensitive);
  s.UseRegExp = p.readBool(k.main, k.useRegExp, s.UseRegExp);
  s.IgnoreBlankLines = p.readBool(k.main, k.ignoreBlankLines, s.IgnoreBlankLines);
  return s;
}

std::vector<std::string> readHistoryList(std::string_view value) {
  std::vector<std::string> entries;
  for (auto& e : splitCommaText(value))
    if (!e.empty()) entries.push_back(std::move(e));
  return entries;
}

std::string writeHistoryList(const std::vector<std::string>& entries) {
  std::string value;
  for (std::size_t i = 0; i < entries.size() && i < kHistoryLimit; ++i) {
    if (entries[i].empty()) continue;
    std::string quoted(1, '"');
    for (char c : entries[i]) {
      if (c == '"') quoted += '"';
      quoted += c;
    }
    quoted += "\",";
    // An entry that would not be read back whole is left out rather than offered later cut short
    // (a search string losing its tail, or half of a double-byte character).
    if (value.size() + quoted.size() > kValueReadLimit) continue;
    value += quoted;
  }
  return value;
}

std::vector<std::string> loadSearchHistory(const Profile& p) {
  const auto& k = settingsKeys();
  return readHistoryList(p.readString(k.main, k.searchHistory, ""));
}

const std::string& fixedFolderEntry() { return settingsKeys().newFolderEntry; }

std::vector<std::string> loadFolderHistory(const Profile& p) {
  const auto& k = settingsKeys();
  std::vector<std::string> folders;
  for (auto& e : readHistoryList(p.readString(k.main, k.folderHistory, ""))) {
    // The box already holds its fixed entry; a real folder of that name would show it twice.
    if (e != fixedFolderEntry() && files::folderExists(e)) folders.push_back(std::move(e));
  }
  return folders;
}

void saveHistories(Profile& p, const std::vector<std::string>& search, const std::vector<std::string>& folders) {
  const auto& k = settingsKeys();
  auto save = [&](const std::string& key, const std::vector<std::string>& list) {
    std::string value = writeHistoryList(list);
    if (!value.empty() || p.keyExists(k.main, key)) p.writeString(k.main, key, value);
  };
  save(k.searchHistory, search);
  save(k.folderHistory, folders);
}

WindowSize readWindowSize(const Profile& p, WindowSize design) {
  const auto& k = settingsKeys();
  return {p.readInteger(k.main, k.windowWidth, design.width), p.readInteger(k.main, k.windowHeight, design.height)};
}

void writeWindowSize(Profile& p, WindowSize size) {
  const auto& k = settingsKeys();
  p.writeInteger(k.main, k.windowWidth, size.width);
  p.writeInteger(k.main, k.windowHeight, size.height);
}

std::string readJoinSeparator(const Profile& p) {
  const auto& k = settingsKeys();
  return p.readString(k.join, k.joinSeparator, "");
}

int readSplitMode(const Profile& p) {
  const auto& k = settingsKeys();
  return p.readInteger(k.join, k.splitMode, 2);
}

ExternalEditor readExternalEditor(const Profile& p) {
  const auto& k = settingsKeys();
  ExternalEditor e;
  e.enabled = p.readBool(k.editor, k.editorEnabled, false);
  e.path = p.readString(k.editor, k.editorPath, "");
  e.lineOption = p.readString(k.editor, k.editorLineOption, "");
  e.wordOption = p.readString(k.editor, k.editorWordOption, "");
  return e;
}

void writeOptions(Profile& p, const Settings& chosen, const OtherOptions& other, Settings& live,
                  const std::function<void()>& extensionsChanged) {
  const auto& k = settingsKeys();
  writeFlag(p, k.extensions, k.txt, chosen.ExtTxt, live.ExtTxt);
  writeFlag(p, k.extensions, k.html, chosen.ExtHtml, live.ExtHtml);
  writeFlag(p, k.extensions, k.cgi, chosen.ExtCgi, live.ExtCgi);
  writeFlag(p, k.extensions, k.system, chosen.ExtSystem, live.ExtSystem);
  writeFlag(p, k.extensions, k.csv, chosen.ExtCsv, live.ExtCsv);
  writeFlag(p, k.extensions, k.msWord, chosen.ExtMsWord, live.ExtMsWord);

  bool custom = chosen.ExtCustom && !chosen.UserExtensions.empty();
  p.writeBool(k.extensions, k.custom, custom);
  p.writeString(k.extensions, k.customText, custom ? chosen.UserExtensions : std::string());
  // The record takes the dialog's state as shown, whatever the file got.
  live.ExtCustom = chosen.ExtCustom;
  live.UserExtensions = chosen.UserExtensions;
  if (extensionsChanged) extensionsChanged();

  writeFlag(p, k.main, k.subfolders, chosen.Subfolders, live.Subfolders);
  writeFlag(p, k.main, k.fuzzyDic, chosen.FuzzyDic, live.FuzzyDic);
  writeFlag(p, k.main, k.caseSensitive, chosen.CaseSensitive, live.CaseSensitive);
  writeFlag(p, k.main, k.useRegExp, chosen.UseRegExp, live.UseRegExp);
  writeFlag(p, k.main, k.ignoreBlankLines, chosen.IgnoreBlankLines, live.IgnoreBlankLines);

  p.writeString(k.join, k.joinSeparator, other.joinSeparator);
  if (other.splitMode >= 1 && other.splitMode <= 3) p.writeInteger(k.join, k.splitMode, other.splitMode);

  p.writeBool(k.editor, k.editorEnabled, other.editor.enabled);
  p.writeString(k.editor, k.editorPath, other.editor.path);
  p.writeString(k.editor, k.editorLineOption, other.editor.lineOption);
  p.writeString(k.editor, k.editorWordOption, other.editor.wordOption);
}

}  // namespace kelvane
