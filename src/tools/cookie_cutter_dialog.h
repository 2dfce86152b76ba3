#pragma once

#include <vector>

#include "platform/ports/platform.h"
#include "tools/cookie_cutter.h"

namespace sg::tools {

// "Cookie Cutter": the cookies of the browser's URL cache in a sortable list, and the buttons
// that remove the selected ones or all of them.
class CookieCutterDialog final : public platform::DialogEvents {
 public:
  // sort_state: kept by the caller for the life of the program.
  CookieCutterDialog(platform::Platform& platform, CookieSortState& sort_state);

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;
  void OnNotify(const platform::ControlNotification& notification) override;

 private:
  void FillCookieList();
  // Sorts the shown rows: the list view offers no sorting of its own.
  void SortBy(int column, bool ascending);
  void ShowRows(const std::vector<CookieRow>& rows);
  void ShowMostUsedFirst();
  void UpdateRemoveButton();
  bool Confirmed(const std::string& question);
  void Inform(const std::string& text);
  void RemoveSelected();
  void RemoveAll();
  void OpenCookieFile(int row);

  platform::Platform& platform_;
  CookieSortState& sort_state_;
  platform::DialogHost* host_ = nullptr;
};

}  // namespace sg::tools
