#pragma once
// ExtensionList, the extensions the target list collects, from the extension groups of Settings.
#include <string>

#include "settings/settings.h"

namespace kelvane {

// The enabled extension groups, in their fixed order, joined by commas: ".txt", ".htm,.html",
// ".cgi,.pl", ".bat,.inf,.ini", ".csv", ".doc", then the user's own text unchanged (which may be
// empty, leaving a final comma that makes an empty entry).
std::string BuildExtensionList(const Settings& settings);

}  // namespace kelvane
