#include "settings/extension_list.h"

#include <utility>

namespace kelvane {

std::string BuildExtensionList(const Settings& settings) {
  const std::pair<bool, std::string> groups[] = {
      {settings.ExtTxt, ".txt"},
      {settings.ExtHtml, ".htm,.html"},
      {settings.ExtCgi, ".cgi,.pl"},
      {settings.ExtSystem, ".bat,.inf,.ini"},
      {settings.ExtCsv, ".csv"},
      {settings.ExtMsWord, ".doc"},
      {settings.ExtCustom, settings.UserExtensions},
  };
  std::string list;
  for (const auto& [on, text] : groups) {
    if (!on) continue;
    if (!list.empty()) list += ',';
    list += text;
  }
  return list;
}

}  // namespace kelvane
