#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_hyperlink.h"
#include "platform/ports/dialogs.h"

namespace sg::platform::fake {

class FakeDialogs;

// A dialog window kept in memory: each control's state by identifier, its timers on the
// dialogs' virtual clock, and a desktop window so that it can be found and posted to.
class FakeDialogHost final : public DialogHost {
 public:
  struct ListViewColumn {
    std::string header;
    int width = 0;
    ColumnAlignment alignment = ColumnAlignment::kLeft;
  };
  struct ListViewRow {
    std::vector<std::string> texts;  // by column; missing ones are empty
    int image = 0;
    bool selected = false;
  };

  struct Control {
    bool checked = false;
    std::string text;
    bool enabled = true;
    bool bold = false;
    bool redraw = true;
    std::vector<std::string> items;  // list box or drop-down list
    bool sorted = false;
    int selection = -1;
    int position = 0;   // slider
    int animation = 0;  // AVI resource playing, 0 for none
    std::optional<SystemIcon> system_icon;
    // List view.
    std::vector<ListViewColumn> columns;
    bool full_row_select = false;
    int image_bitmap = 0;  // bitmap resource of the small images, 0 for none
    std::uint32_t image_transparent = 0;
    std::vector<ListViewRow> rows;
    // Client-area rectangle; controls start empty at the origin unless moved.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // Static controls: the window style, whether the template gave a font, the frame width.
    std::uint32_t style = 0;
    bool has_font = true;
    int border = 0;
  };

  FakeDialogHost(FakeDialogs& owner, int template_id, DialogEvents& events, bool modal);
  ~FakeDialogHost() override;

  int template_id() const { return template_id_; }
  bool ended() const { return result_.has_value(); }
  std::optional<int> result() const { return result_; }
  Control& control(int id) { return controls_[id]; }
  int focused() const { return focused_; }
  bool tooltips_enabled() const { return tooltips_enabled_; }
  int icon() const { return icon_; }
  std::vector<std::pair<std::uint32_t, std::string>> system_menu() const { return system_menu_; }
  std::map<std::uint32_t, std::uint32_t> timers() const { return timers_; }
  std::string Title();
  DialogEvents& events() { return events_; }

  // Sizes, as the user and the window system change them. Each change that alters the client
  // area reaches the dialog as WM_SIZE.
  // The user drags the frame to a new outer size; the tracking limits hold.
  void DragFrameTo(int width, int height);
  void Maximize();
  void Minimize();
  void Restore();
  // The window system asks the dialog to paint (WM_PAINT).
  void Paint();
  // WM_NCHITTEST at a point on the screen: the answer the window gives.
  int HitTest(int x, int y);
  bool maximized() const { return shown_ == Shown::kMaximized; }
  // Parts of the client area invalidated, and controls invalidated, in order.
  const std::vector<WindowRect>& invalidated() const { return invalidated_; }
  const std::vector<int>& invalidated_controls() const { return invalidated_controls_; }
  // Where the size grip was last drawn while painting.
  std::optional<WindowRect> size_grip_drawn() const { return size_grip_drawn_; }
  bool has_browser(int control) const { return browsers_.count(control) != 0; }
  // The hyperlink attached to a control, or null.
  FakeHyperlinkWindow* Link(int control);

  // What a user does; each reaches the dialog as the notification Windows sends.
  void Click(int control);  // a check box also changes its mark
  void Type(int control, const std::string& text) { controls_[control].text = text; }
  void ChooseComboItem(int control, int index);
  void ChooseListItem(int control, int index) { controls_[control].selection = index; }
  // Exactly these rows of a list view become selected; each row that changes is told of
  // (LVN_ITEMCHANGED).
  void SelectListViewRows(int control, const std::vector<int>& rows);
  // A double click on a row selects it alone before the list view tells the dialog.
  void DoubleClickListView(int control, int row);
  void ClickListViewColumn(int control, int column);

  WindowHandle Window() override { return window_; }
  void Show(int show_command) override;
  bool IsVisible() override;
  void SetTitle(const std::string& title) override;
  void EndDialog(int result) override { result_ = result; }
  void SetIcon(int icon_resource) override { icon_ = icon_resource; }
  void AppendSystemMenuItem(std::uint32_t command, const std::string& text) override;
  void EnableTooltips() override { tooltips_enabled_ = true; }
  bool IsChecked(int control) override { return controls_[control].checked; }
  void SetChecked(int control, bool checked) override { controls_[control].checked = checked; }
  std::string Text(int control) override { return controls_[control].text; }
  void SetText(int control, const std::string& text) override { controls_[control].text = text; }
  void EnableControl(int control, bool enabled) override { controls_[control].enabled = enabled; }
  // A hyperlink losing or taking the focus is told so.
  void SetFocus(int control) override;
  void SetBold(int control) override { controls_[control].bold = true; }
  void SetControlSystemIcon(int control, SystemIcon icon) override {
    controls_[control].system_icon = icon;
  }
  void MoveControl(int control, int dx, int dy, int width, int height) override;
  WindowSize ClientSize() override;
  WindowRect OuterRect() override { return outer_; }
  void ResizeWindow(int width, int height) override;
  std::optional<WindowRect> ControlRect(int control) override;
  void SetControlRect(int control, const WindowRect& rect) override;
  void InvalidateControl(int control) override { invalidated_controls_.push_back(control); }
  void Invalidate(const WindowRect& rect) override { invalidated_.push_back(rect); }
  WindowSize SizeGripSize() override { return {17, 17}; }
  void DrawSizeGrip(const WindowRect& rect) override;
  bool EmbedBrowser(int control, const std::string& address) override;
  void AttachHyperlink(int control, HyperlinkEvents& events) override;
  int ListCount(int control) override;
  std::string ListText(int control, int index) override;
  int ListAdd(int control, const std::string& text) override;
  void SetRedraw(int control, bool redraw) override { controls_[control].redraw = redraw; }
  void ListDelete(int control, int index) override;
  void ListReset(int control) override;
  int ListSelection(int control) override { return controls_[control].selection; }
  void ListSelect(int control, int index) override;
  int ListFindExact(int control, const std::string& text) override;
  void ComboAdd(int control, const std::string& text) override;
  int ComboCount(int control) override;
  int ComboSelection(int control) override { return controls_[control].selection; }
  void ComboSelect(int control, int index) override;
  void ListViewAddColumn(int control, int column, const std::string& header, int width,
                         ColumnAlignment alignment) override;
  void ListViewSetFullRowSelect(int control) override { controls_[control].full_row_select = true; }
  void ListViewSetImages(int control, int bitmap_resource, std::uint32_t transparent) override;
  int ListViewCount(int control) override;
  int ListViewInsert(int control, int row, const std::string& text, int image) override;
  void ListViewSetText(int control, int row, int column, const std::string& text) override;
  std::string ListViewText(int control, int row, int column) override;
  int ListViewImage(int control, int row) override;
  void ListViewDelete(int control, int row) override;
  void ListViewDeleteAll(int control) override { controls_[control].rows.clear(); }
  std::vector<int> ListViewSelectedRows(int control) override;
  int SliderPosition(int control) override { return controls_[control].position; }
  void SetSliderPosition(int control, int position) override;
  void PlayAnimation(int control, int avi_resource) override;
  void StopAnimation(int control) override { controls_[control].animation = 0; }
  void SetTimer(std::uint32_t timer_id, std::uint32_t period_ms) override;
  void KillTimer(std::uint32_t timer_id) override;
  void Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override;

 private:
  friend class FakeDialogs;
  void Dispatch(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
  // The row of a list view, or null when there is none at that index.
  ListViewRow* Row(int control, int row);
  enum class Shown { kNormal, kMaximized, kMinimized };
  // Sets the outer size and tells the dialog when its client area changed.
  void SetOuterSize(int width, int height, int size_type);
  WindowSize Tracked(int width, int height);

  FakeDialogs& owner_;
  int template_id_;
  DialogEvents& events_;
  bool modal_;
  WindowHandle window_ = 0;
  std::map<int, Control> controls_;
  std::map<int, std::unique_ptr<FakeHyperlinkWindow>> links_;
  std::optional<int> result_;
  int focused_ = 0;
  bool tooltips_enabled_ = false;
  int icon_ = 0;
  std::vector<std::pair<std::uint32_t, std::string>> system_menu_;
  std::map<std::uint32_t, std::uint32_t> timers_;  // id to period
  WindowRect outer_{100, 100, 400, 300};
  WindowSize frame_{8, 31};  // outer size minus client size
  Shown shown_ = Shown::kNormal;
  WindowRect restored_{};
  bool painting_ = false;
  std::vector<WindowRect> invalidated_;
  std::vector<int> invalidated_controls_;
  std::optional<WindowRect> size_grip_drawn_;
  std::set<int> browsers_;
};

// Makes fake dialogs. Modal dialogs are worked by scripts that tests queue per template, the
// way a user would answer them; message boxes and file dialogs take queued answers too.
class FakeDialogs final : public DialogsPort {
 public:
  using ModalScript = std::function<void(FakeDialogHost&)>;

  // What a template makes: the window's outer size, its frame (outer minus client size) and
  // its controls' rectangles in the client area.
  struct Layout {
    WindowSize outer{300, 200};
    WindowSize frame{8, 31};
    std::map<int, WindowRect> controls;
  };

  struct MessageBoxShown {
    std::string text;
    std::string caption;
    std::uint32_t style;
  };

  explicit FakeDialogs(FakeDesktop& desktop) : desktop_(desktop) {}

  // The next modal run of the template gets this script. Without one, the user closes the
  // dialog at once (IDCANCEL).
  void ScriptModal(int template_id, ModalScript script);
  void AnswerMessageBox(int answer) { message_box_answers_.push_back(answer); }
  void AnswerFileDialog(std::optional<std::string> path) { file_answers_.push_back(path); }
  void SetString(int id, const std::string& text) { strings_[id] = text; }
  // The window system refuses modeless dialogs from now on, as on a desktop that is gone.
  void RefuseWindows() { refuse_windows_ = true; }
  void DeclareLayout(int template_id, Layout layout) { layouts_[template_id] = std::move(layout); }
  // The screen bounds the window's largest tracking size and its maximised size.
  void SetScreenSize(WindowSize size) { screen_ = size; }
  WindowSize ScreenSize() const { return screen_; }
  // No web-browser control can be made from now on.
  void RefuseBrowsers() { refuse_browsers_ = true; }
  // A list box that the template declares sorted.
  void DeclareSortedList(int template_id, int control) {
    sorted_lists_.insert({template_id, control});
  }

  std::vector<MessageBoxShown> MessageBoxes() const { return message_boxes_; }
  std::vector<int> ModalRuns() const { return modal_runs_; }
  // The live modeless dialog made from a template, if any.
  FakeDialogHost* Modeless(int template_id);
  // Moves the virtual clock on, firing due timers of every dialog in time order.
  void AdvanceTime(std::uint64_t milliseconds);
  std::uint64_t Now() const { return now_ms_; }

  std::unique_ptr<DialogHost> CreateModeless(int template_id, DialogEvents& events,
                                             DialogHost* parent) override;
  int RunModal(int template_id, DialogEvents& events, DialogHost* parent) override;
  int MessageBox(DialogHost* owner, const std::string& text, const std::string& caption,
                 std::uint32_t style) override;
  std::optional<std::string> ChooseFileToOpen(DialogHost* owner, const std::string& title,
                                              const std::string& default_extension,
                                              const std::string& filter,
                                              const std::string& initial_folder) override;
  std::string LoadString(int id) override;

 private:
  friend class FakeDialogHost;
  struct TimerKey {
    FakeDialogHost* host;
    std::uint32_t id;
    auto operator<=>(const TimerKey&) const = default;
  };

  FakeDesktop& desktop_;
  std::map<int, std::deque<ModalScript>> scripts_;
  std::deque<int> message_box_answers_;
  std::deque<std::optional<std::string>> file_answers_;
  std::map<int, std::string> strings_;
  std::set<std::pair<int, int>> sorted_lists_;
  std::vector<MessageBoxShown> message_boxes_;
  std::vector<int> modal_runs_;
  std::set<FakeDialogHost*> modeless_;
  std::map<TimerKey, std::uint64_t> due_;  // next firing time
  std::uint64_t now_ms_ = 0;
  bool refuse_windows_ = false;
  std::map<int, Layout> layouts_;
  WindowSize screen_{1280, 1024};
  bool refuse_browsers_ = false;
};

}  // namespace sg::platform::fake
