#include "tools/cookie_cutter_dialog.h"

#include <string>

#include "common/ascii.h"
#include "common/online_help.h"
#include "resources/resource_ids.h"

namespace sg::tools {

namespace {

using platform::ColumnAlignment;

struct ColumnLook {
  const char* header;
  int width;
  ColumnAlignment alignment;
};

constexpr ColumnLook kColumns[kCookieColumnCount] = {
    {"Name", 185, ColumnAlignment::kLeft},    {"Used", 50, ColumnAlignment::kLeft},
    {"URL", 250, ColumnAlignment::kRight},    {"Accessed", 115, ColumnAlignment::kLeft},
    {"Expires", 115, ColumnAlignment::kLeft}, {"Local Path", 350, ColumnAlignment::kLeft},
};

std::string CountOfCookies(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " cookie?" : " cookies?");
}

}  // namespace

CookieCutterDialog::CookieCutterDialog(platform::Platform& platform, CookieSortState& sort_state)
    : platform_(platform), sort_state_(sort_state) {}

void CookieCutterDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  for (int column = 0; column < kCookieColumnCount; ++column) {
    const ColumnLook& look = kColumns[column];
    host.ListViewAddColumn(IDC_COOKIE_LIST, column, look.header, look.width, look.alignment);
  }
  host.ListViewSetFullRowSelect(IDC_COOKIE_LIST);
  FillCookieList();
  ShowMostUsedFirst();
}

void CookieCutterDialog::FillCookieList() {
  ShowRows(ReadCookies(platform_.url_cache));
}

void CookieCutterDialog::ShowRows(const std::vector<CookieRow>& rows) {
  host_->ListViewDeleteAll(IDC_COOKIE_LIST);
  int next = 0;
  for (const CookieRow& cells : rows) {
    const int row = host_->ListViewInsert(IDC_COOKIE_LIST, next, cells[kCookieName], 0);
    if (row < 0) continue;
    ++next;
    for (int column = kCookieUsed; column < kCookieColumnCount; ++column) {
      host_->ListViewSetText(IDC_COOKIE_LIST, row, column, cells[static_cast<std::size_t>(column)]);
    }
  }
  // Rows that go take their selection with them without telling.
  UpdateRemoveButton();
}

void CookieCutterDialog::SortBy(int column, bool ascending) {
  std::vector<CookieRow> rows;
  const int count = host_->ListViewCount(IDC_COOKIE_LIST);
  for (int row = 0; row < count; ++row) {
    CookieRow& cells = rows.emplace_back();
    for (int cell = 0; cell < kCookieColumnCount; ++cell) {
      cells[static_cast<std::size_t>(cell)] = host_->ListViewText(IDC_COOKIE_LIST, row, cell);
    }
  }
  SortCookieRows(rows, column, ascending);
  ShowRows(rows);
}

void CookieCutterDialog::ShowMostUsedFirst() {
  SortBy(kCookieUsed, false);
}

void CookieCutterDialog::UpdateRemoveButton() {
  host_->EnableControl(IDC_COOKIE_REMOVE, !host_->ListViewSelectedRows(IDC_COOKIE_LIST).empty());
}

void CookieCutterDialog::OnCommand(int id, int) {
  switch (id) {
    case IDC_COOKIE_REMOVE:
      return RemoveSelected();
    case IDC_COOKIE_REMOVE_ALL:
      return RemoveAll();
    case IDC_COOKIE_REFRESH:
      FillCookieList();
      return ShowMostUsedFirst();
    case IDC_COOKIE_HELP:
      return OpenOnlineHelp(platform_.shell, "cookies");
    case platform::kIdOk:
    case platform::kIdCancel:
      host_->EndDialog(id);
      return;
    default:
      return;
  }
}

void CookieCutterDialog::OnNotify(const platform::ControlNotification& notification) {
  if (notification.control != IDC_COOKIE_LIST) return;
  switch (notification.code) {
    case platform::kLvnItemChanged:
      return UpdateRemoveButton();
    case platform::kLvnColumnClick:
      return SortBy(notification.sub_item, sort_state_.Flip(notification.sub_item));
    case platform::kNmDblClk:
      return OpenCookieFile(notification.item);
    default:
      return;
  }
}

bool CookieCutterDialog::Confirmed(const std::string& question) {
  return platform_.dialogs.MessageBox(host_, question, kCookieCutterCaption,
                                      platform::kMbYesNo | platform::kMbIconQuestion) !=
         platform::kIdNo;
}

void CookieCutterDialog::Inform(const std::string& text) {
  platform_.dialogs.MessageBox(host_, text, kCookieCutterCaption, platform::kMbIconInformation);
}

void CookieCutterDialog::RemoveSelected() {
  const std::vector<int> selected = host_->ListViewSelectedRows(IDC_COOKIE_LIST);
  if (selected.empty()) return;
  if (!Confirmed("Removing a cookie may affect certain web sites.\n\nRemove " +
                 CountOfCookies(selected.size()))) {
    return;
  }
  // Each row's own cache entry, by its URL: other cookies whose names look alike stay.
  for (const int row : selected) {
    const std::string url = host_->ListViewText(IDC_COOKIE_LIST, row, kCookieUrl);
    if (!url.empty()) platform_.url_cache.DeleteEntry(url);
  }
  int removed = 0;
  for (const int row : selected) host_->ListViewDelete(IDC_COOKIE_LIST, row - removed++);
  UpdateRemoveButton();
  Inform(std::to_string(selected.size()) + " cookies removed.");
}

void CookieCutterDialog::RemoveAll() {
  const auto count = static_cast<std::size_t>(host_->ListViewCount(IDC_COOKIE_LIST));
  if (!Confirmed("Removing cookies may affect certain web sites.\n\nRemove all " +
                 CountOfCookies(count))) {
    return;
  }
  DeleteCookies(platform_.url_cache, "");
  FillCookieList();
  Inform("All cookies were removed.");
}

void CookieCutterDialog::OpenCookieFile(int row) {
  if (row < 0) return;
  const std::string path = host_->ListViewText(IDC_COOKIE_LIST, row, kCookieLocalPath);
  // The cache may name any file; only an existing cookie text is opened, never a program.
  if (path.size() < 4 ||
      !EqualsIgnoringCase(std::string_view(path).substr(path.size() - 4), ".txt")) {
    return;
  }
  if (!platform_.files.Open(path, platform::FileOpenMode::kReadOnly)) return;
  platform::ShellExecuteRequest request;
  request.file = path;
  request.show_command = platform::kSwShowNormal;
  platform_.shell.Execute(request);
}

}  // namespace sg::tools
