#include "platform/fake/fake_dialogs.h"

#include <algorithm>

#include "common/ascii.h"

namespace sg::platform::fake {

FakeDialogHost::FakeDialogHost(FakeDialogs& owner, int template_id, DialogEvents& events,
                               bool modal)
    : owner_(owner), template_id_(template_id), events_(events), modal_(modal) {
  FakeDesktop::Window window;
  window.class_name = "#32770";
  window.process_id = 1;
  window.procedure = [this](std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    Dispatch(message, wparam, lparam);
  };
  window_ = owner_.desktop_.Open(std::move(window));
  for (const auto& [sorted_template, control] : owner_.sorted_lists_) {
    if (sorted_template == template_id_) controls_[control].sorted = true;
  }
  if (auto layout = owner_.layouts_.find(template_id_); layout != owner_.layouts_.end()) {
    frame_ = layout->second.frame;
    outer_.right = outer_.left + layout->second.outer.width;
    outer_.bottom = outer_.top + layout->second.outer.height;
    for (const auto& [id, rect] : layout->second.controls) SetControlRect(id, rect);
  }
}

FakeDialogHost::~FakeDialogHost() {
  owner_.desktop_.Close(window_);
  owner_.modeless_.erase(this);
  std::erase_if(owner_.due_, [this](const auto& entry) { return entry.first.host == this; });
}

void FakeDialogHost::Dispatch(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  if (message == kWmCommand) {
    events_.OnCommand(static_cast<int>(wparam & 0xFFFF), static_cast<int>((wparam >> 16) & 0xFFFF));
  } else if (message == kWmTimer) {
    events_.OnTimer(static_cast<std::uint32_t>(wparam));
  } else if (message == kWmSysCommand) {
    events_.OnSysCommand(static_cast<std::uint32_t>(wparam));
  } else {
    events_.OnMessage(message, wparam, lparam);
  }
}

std::string FakeDialogHost::Title() {
  std::string title;
  owner_.desktop_.WithWindow(window_,
                             [&](const FakeDesktop::Window& window) { title = window.title; });
  return title;
}

void FakeDialogHost::Click(int control) {
  // Check boxes of the templates are automatic: the mark changes before the notification.
  if (control != kIdOk && control != kIdCancel) {
    controls_[control].checked = !controls_[control].checked;
  }
  events_.OnCommand(control, kBnClicked);
}

void FakeDialogHost::ChooseComboItem(int control, int index) {
  ComboSelect(control, index);
  events_.OnCommand(control, kCbnSelChange);
  events_.OnCommand(control, kCbnSelEndOk);
}

void FakeDialogHost::SelectListViewRows(int control, const std::vector<int>& rows) {
  auto& all = controls_[control].rows;
  std::vector<int> changed;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const bool selected = std::find(rows.begin(), rows.end(), static_cast<int>(i)) != rows.end();
    if (all[i].selected != selected) changed.push_back(static_cast<int>(i));
    all[i].selected = selected;
  }
  // The control tells of each row whose state changed, once all have changed.
  for (const int row : changed) events_.OnNotify({control, kLvnItemChanged, row, 0});
}

void FakeDialogHost::DoubleClickListView(int control, int row) {
  SelectListViewRows(control, {row});
  events_.OnNotify({control, kNmDblClk, row, 0});
}

void FakeDialogHost::ClickListViewColumn(int control, int column) {
  events_.OnNotify({control, kLvnColumnClick, -1, column});
}

void FakeDialogHost::Show(int show_command) {
  owner_.desktop_.SetVisible(window_, show_command != kSwHide);
}

bool FakeDialogHost::IsVisible() {
  return owner_.desktop_.IsVisible(window_);
}

void FakeDialogHost::SetTitle(const std::string& title) {
  owner_.desktop_.SetTitle(window_, title);
}

void FakeDialogHost::AppendSystemMenuItem(std::uint32_t command, const std::string& text) {
  if (!text.empty()) system_menu_.emplace_back(command, text);
}

int FakeDialogHost::ListCount(int control) {
  return static_cast<int>(controls_[control].items.size());
}

std::string FakeDialogHost::ListText(int control, int index) {
  const auto& items = controls_[control].items;
  if (index < 0 || index >= static_cast<int>(items.size())) return {};
  return items[static_cast<std::size_t>(index)];
}

int FakeDialogHost::ListAdd(int control, const std::string& text) {
  auto& items = controls_[control].items;
  auto at = items.end();
  if (controls_[control].sorted) {
    // Sorted list boxes compare without regard to case; equal texts go after each other.
    at = std::upper_bound(items.begin(), items.end(), text, [](const auto& a, const auto& b) {
      return std::lexicographical_compare(
          a.begin(), a.end(), b.begin(), b.end(),
          [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
    });
  }
  return static_cast<int>(items.insert(at, text) - items.begin());
}

void FakeDialogHost::ListDelete(int control, int index) {
  auto& c = controls_[control];
  if (index < 0 || index >= static_cast<int>(c.items.size())) return;
  c.items.erase(c.items.begin() + index);
  if (c.selection == index) c.selection = -1;
  if (c.selection > index) --c.selection;
}

void FakeDialogHost::ListReset(int control) {
  controls_[control].items.clear();
  controls_[control].selection = -1;
}

void FakeDialogHost::ListSelect(int control, int index) {
  auto& c = controls_[control];
  c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
}

int FakeDialogHost::ListFindExact(int control, const std::string& text) {
  const auto& items = controls_[control].items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (EqualsIgnoringCase(items[i], text)) return static_cast<int>(i);
  }
  return -1;
}

void FakeDialogHost::ComboAdd(int control, const std::string& text) {
  controls_[control].items.push_back(text);
}

int FakeDialogHost::ComboCount(int control) {
  return static_cast<int>(controls_[control].items.size());
}

void FakeDialogHost::ComboSelect(int control, int index) {
  ListSelect(control, index);
}

FakeDialogHost::ListViewRow* FakeDialogHost::Row(int control, int row) {
  auto& rows = controls_[control].rows;
  if (row < 0 || row >= static_cast<int>(rows.size())) return nullptr;
  return &rows[static_cast<std::size_t>(row)];
}

void FakeDialogHost::ListViewAddColumn(int control, int column, const std::string& header,
                                       int width, ColumnAlignment alignment) {
  auto& columns = controls_[control].columns;
  if (column < 0) return;
  const auto at = std::min(static_cast<std::size_t>(column), columns.size());
  columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(at), {header, width, alignment});
}

void FakeDialogHost::ListViewSetImages(int control, int bitmap_resource,
                                       std::uint32_t transparent) {
  controls_[control].image_bitmap = bitmap_resource;
  controls_[control].image_transparent = transparent;
}

int FakeDialogHost::ListViewCount(int control) {
  return static_cast<int>(controls_[control].rows.size());
}

int FakeDialogHost::ListViewInsert(int control, int row, const std::string& text, int image) {
  auto& rows = controls_[control].rows;
  if (row < 0) return -1;
  const auto at = std::min(static_cast<std::size_t>(row), rows.size());
  rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), {{text}, image, false});
  return static_cast<int>(at);
}

void FakeDialogHost::ListViewSetText(int control, int row, int column, const std::string& text) {
  ListViewRow* found = Row(control, row);
  // Like the real control, a column that was never added takes no text.
  const int columns = static_cast<int>(controls_[control].columns.size());
  if (!found || column < 0 || (column > 0 && column >= columns)) return;
  if (found->texts.size() <= static_cast<std::size_t>(column)) {
    found->texts.resize(static_cast<std::size_t>(column) + 1);
  }
  found->texts[static_cast<std::size_t>(column)] = text;
}

std::string FakeDialogHost::ListViewText(int control, int row, int column) {
  const ListViewRow* found = Row(control, row);
  if (!found || column < 0 || static_cast<std::size_t>(column) >= found->texts.size()) return {};
  return found->texts[static_cast<std::size_t>(column)];
}

int FakeDialogHost::ListViewImage(int control, int row) {
  const ListViewRow* found = Row(control, row);
  return found ? found->image : -1;
}

void FakeDialogHost::ListViewDelete(int control, int row) {
  if (!Row(control, row)) return;
  auto& rows = controls_[control].rows;
  rows.erase(rows.begin() + row);
}

std::vector<int> FakeDialogHost::ListViewSelectedRows(int control) {
  std::vector<int> selected;
  const auto& rows = controls_[control].rows;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].selected) selected.push_back(static_cast<int>(i));
  }
  return selected;
}

void FakeDialogHost::MoveControl(int control, int dx, int dy, int width, int height) {
  Control& c = controls_[control];
  c.x += dx;
  c.y += dy;
  c.width = width;
  c.height = height;
}

void FakeDialogHost::AttachHyperlink(int control, HyperlinkEvents& events) {
  auto& link = links_[control];
  link = std::make_unique<FakeHyperlinkWindow>(*this, control, events);
  events.OnAttach(*link);
}

FakeHyperlinkWindow* FakeDialogHost::Link(int control) {
  const auto found = links_.find(control);
  return found == links_.end() ? nullptr : found->second.get();
}

void FakeDialogHost::SetFocus(int control) {
  if (control == focused_) return;
  const int previous = focused_;
  focused_ = control;
  if (auto found = links_.find(previous); found != links_.end()) {
    found->second->events().OnKillFocus();
  }
  if (auto found = links_.find(control); found != links_.end())
    found->second->events().OnSetFocus();
}

void FakeDialogHost::SetSliderPosition(int control, int position) {
  // The sliders of the program range from 0 to 2.
  controls_[control].position = std::clamp(position, 0, 2);
}

void FakeDialogHost::PlayAnimation(int control, int avi_resource) {
  controls_[control].animation = avi_resource;
}

void FakeDialogHost::SetTimer(std::uint32_t timer_id, std::uint32_t period_ms) {
  timers_[timer_id] = period_ms;
  owner_.due_[{this, timer_id}] = owner_.now_ms_ + period_ms;
}

void FakeDialogHost::KillTimer(std::uint32_t timer_id) {
  timers_.erase(timer_id);
  owner_.due_.erase({this, timer_id});
}

void FakeDialogHost::Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  owner_.desktop_.PostMessage(window_, message, wparam, lparam);
}

WindowSize FakeDialogHost::ClientSize() {
  if (shown_ == Shown::kMinimized) return {};
  return {outer_.right - outer_.left - frame_.width, outer_.bottom - outer_.top - frame_.height};
}

WindowSize FakeDialogHost::Tracked(int width, int height) {
  // As the default WM_WINDOWPOSCHANGING does: the dialog's minimum, the screen's maximum.
  WindowSize smallest{frame_.width, frame_.height};
  if (const std::optional<WindowSize> minimum = events_.OnGetMinMaxInfo()) smallest = *minimum;
  const WindowSize largest = owner_.screen_;
  return {std::clamp(width, smallest.width, std::max(smallest.width, largest.width)),
          std::clamp(height, smallest.height, std::max(smallest.height, largest.height))};
}

void FakeDialogHost::SetOuterSize(int width, int height, int size_type) {
  const WindowSize before = ClientSize();
  outer_.right = outer_.left + width;
  outer_.bottom = outer_.top + height;
  const WindowSize after = ClientSize();
  if (after != before || size_type != kSizeRestored) {
    events_.OnSize(size_type, after.width, after.height);
  }
}

void FakeDialogHost::ResizeWindow(int width, int height) {
  const WindowSize size = Tracked(width, height);
  SetOuterSize(size.width, size.height, kSizeRestored);
}

void FakeDialogHost::DragFrameTo(int width, int height) {
  if (shown_ != Shown::kNormal) return;
  ResizeWindow(width, height);
}

void FakeDialogHost::Maximize() {
  if (shown_ == Shown::kMaximized) return;
  if (shown_ == Shown::kNormal) restored_ = outer_;
  shown_ = Shown::kMaximized;
  outer_.left = outer_.top = 0;
  SetOuterSize(owner_.screen_.width, owner_.screen_.height, kSizeMaximized);
}

void FakeDialogHost::Minimize() {
  if (shown_ == Shown::kMinimized) return;
  if (shown_ == Shown::kNormal) restored_ = outer_;
  shown_ = Shown::kMinimized;
  events_.OnSize(kSizeMinimized, 0, 0);
}

void FakeDialogHost::Restore() {
  if (shown_ == Shown::kNormal) return;
  shown_ = Shown::kNormal;
  outer_ = restored_;
  const WindowSize client = ClientSize();
  events_.OnSize(kSizeRestored, client.width, client.height);
}

void FakeDialogHost::Paint() {
  painting_ = true;
  events_.OnPaint();
  painting_ = false;
}

int FakeDialogHost::HitTest(int x, int y) {
  constexpr int kHtNowhere = 0;
  constexpr int kHtBorder = 18;
  int answer = kHtNowhere;
  if (x >= outer_.left && x < outer_.right && y >= outer_.top && y < outer_.bottom) {
    // The client area lies inside the frame, its top below the caption.
    const int side = frame_.width / 2;
    const WindowRect client{outer_.left + side, outer_.bottom - side - ClientSize().height,
                            outer_.right - side, outer_.bottom - side};
    const bool inside =
        x >= client.left && x < client.right && y >= client.top && y < client.bottom;
    answer = inside ? kHtClient : kHtBorder;
  }
  return events_.OnNcHitTest(answer, x, y).value_or(answer);
}

std::optional<WindowRect> FakeDialogHost::ControlRect(int control) {
  const auto found = controls_.find(control);
  if (found == controls_.end()) return std::nullopt;
  const Control& c = found->second;
  return WindowRect{c.x, c.y, c.x + c.width, c.y + c.height};
}

void FakeDialogHost::SetControlRect(int control, const WindowRect& rect) {
  Control& c = controls_[control];
  c.x = rect.left;
  c.y = rect.top;
  c.width = rect.right - rect.left;
  c.height = rect.bottom - rect.top;
}

void FakeDialogHost::DrawSizeGrip(const WindowRect& rect) {
  // Drawing happens only on a paint's device context.
  if (painting_) size_grip_drawn_ = rect;
}

bool FakeDialogHost::EmbedBrowser(int control, const std::string& address) {
  controls_[control].text = address;
  if (owner_.refuse_browsers_) return false;
  browsers_.insert(control);
  return true;
}

void FakeDialogs::ScriptModal(int template_id, ModalScript script) {
  scripts_[template_id].push_back(std::move(script));
}

FakeDialogHost* FakeDialogs::Modeless(int template_id) {
  for (FakeDialogHost* host : modeless_) {
    if (host->template_id() == template_id) return host;
  }
  return nullptr;
}

void FakeDialogs::AdvanceTime(std::uint64_t milliseconds) {
  const std::uint64_t end = now_ms_ + milliseconds;
  for (;;) {
    auto next = std::min_element(due_.begin(), due_.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    if (next == due_.end() || next->second > end) break;
    const TimerKey key = next->first;
    now_ms_ = next->second;
    next->second += key.host->timers_[key.id];
    key.host->events_.OnTimer(key.id);
    desktop_.DeliverPosted();
  }
  now_ms_ = end;
}

std::unique_ptr<DialogHost> FakeDialogs::CreateModeless(int template_id, DialogEvents& events,
                                                        DialogHost*) {
  if (refuse_windows_) return nullptr;
  auto host = std::make_unique<FakeDialogHost>(*this, template_id, events, false);
  modeless_.insert(host.get());
  events.OnInitDialog(*host);
  return host;
}

int FakeDialogs::RunModal(int template_id, DialogEvents& events, DialogHost*) {
  modal_runs_.push_back(template_id);
  FakeDialogHost host(*this, template_id, events, true);
  desktop_.SetVisible(host.Window(), true);
  events.OnInitDialog(host);
  auto& queue = scripts_[template_id];
  if (!queue.empty()) {
    ModalScript script = std::move(queue.front());
    queue.pop_front();
    script(host);
  }
  if (!host.ended()) events.OnCommand(kIdCancel, kBnClicked);
  // EndDialog destroys the window before the run returns.
  events.OnDestroy();
  return host.result().value_or(kIdCancel);
}

int FakeDialogs::MessageBox(DialogHost*, const std::string& text, const std::string& caption,
                            std::uint32_t style) {
  message_boxes_.push_back({text, caption, style});
  if (!message_box_answers_.empty()) {
    const int answer = message_box_answers_.front();
    message_box_answers_.pop_front();
    return answer;
  }
  // Unanswered questions are answered No, so a test never ends the program by accident.
  return (style & kMbYesNo) ? kIdNo : kIdOk;
}

std::optional<std::string> FakeDialogs::ChooseFileToOpen(DialogHost*, const std::string&,
                                                         const std::string&, const std::string&,
                                                         const std::string&) {
  if (file_answers_.empty()) return std::nullopt;
  auto answer = file_answers_.front();
  file_answers_.pop_front();
  return answer;
}

std::string FakeDialogs::LoadString(int id) {
  auto found = strings_.find(id);
  return found == strings_.end() ? std::string() : found->second;
}

}  // namespace sg::platform::fake
