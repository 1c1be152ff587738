#pragma once
// The main window as the settings dialogs see it: the Workspace behind the hosts of the options,
// display settings and history cleanup dialogs.
#include "settings/display_form.h"
#include "settings/history_form.h"
#include "settings/options_form.h"

namespace kelvane {

class Workspace;

class WorkspaceDialogHost : public OptionsHost, public DisplayHost, public HistoryHost {
 public:
  // ws must outlive the host.
  explicit WorkspaceDialogHost(Workspace& ws) : ws_(ws) {}

  // OptionsHost
  Settings& settings() override;
  std::string settingsPath() const override;
  void rebuildExtensionList() override;
  // The target list emptied, with its count of checked files: a search finds nothing to search.
  void clearTargetList() override;
  void clearStatusText() override;

  // DisplayHost
  void applyDisplaySettings() override;
  void refreshSearchList() override;

  // HistoryHost
  std::vector<std::string> searchHistory() const override;
  std::vector<std::string> folderHistory() const override;
  void setHistories(std::vector<std::string> search, std::vector<std::string> folders) override;

 private:
  Workspace& ws_;
};

}  // namespace kelvane
