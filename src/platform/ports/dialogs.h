#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/hyperlink.h"
#include "platform/ports/windows.h"

namespace sg::platform {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Notification codes of WM_COMMAND that the program reacts to.
inline constexpr int kBnClicked = 0;
inline constexpr int kCbnSelChange = 1;
inline constexpr int kCbnSelEndOk = 9;
inline constexpr int kLbnDblClk = 2;

// Notification codes of WM_NOTIFY that the program reacts to.
inline constexpr int kNmDblClk = -3;
inline constexpr int kLvnItemChanged = -101;
inline constexpr int kLvnColumnClick = -108;

// What a control reported through WM_NOTIFY. For list views, item is the row (or -1) and
// sub_item the column (for kLvnColumnClick the clicked column).
struct ControlNotification {
  int control = 0;
  int code = 0;
  int item = -1;
  int sub_item = -1;
};

enum class ColumnAlignment { kLeft, kRight, kCenter };

// Message box styles.
inline constexpr std::uint32_t kMbOk = 0x0000;
inline constexpr std::uint32_t kMbYesNo = 0x0004;
inline constexpr std::uint32_t kMbIconStop = 0x0010;
inline constexpr std::uint32_t kMbIconQuestion = 0x0020;
inline constexpr std::uint32_t kMbIconExclamation = 0x0030;
inline constexpr std::uint32_t kMbIconInformation = 0x0040;

// WM_SIZE types.
inline constexpr int kSizeRestored = 0;
inline constexpr int kSizeMinimized = 1;
inline constexpr int kSizeMaximized = 2;

// WM_NCHITTEST answers.
inline constexpr int kHtClient = 1;
inline constexpr int kHtBottomRight = 17;

struct WindowSize {
  int width = 0;
  int height = 0;
  auto operator<=>(const WindowSize&) const = default;
};

// Icons of the system (LoadIcon without a module).
enum class SystemIcon { kApplication, kWinLogo };

class DialogHost;

// What a dialog of the program does with its window's messages: its message map. The host
// calls these on the user-interface thread.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;
  // WM_INITDIALOG; the host lives as long as the window.
  virtual void OnInitDialog(DialogHost& host) = 0;
  // WM_COMMAND from a control, a menu or another program; IDOK and IDCANCEL included.
  virtual void OnCommand(int id, int notification) = 0;
  virtual void OnTimer(std::uint32_t /*timer_id*/) {}
  // WM_SYSCOMMAND; false hands it to default processing.
  virtual bool OnSysCommand(std::uint32_t /*command*/) { return false; }
  // Any other message (registered and application messages); nothing for default processing.
  virtual std::optional<std::intptr_t> OnMessage(std::uint32_t /*message*/,
                                                 std::uintptr_t /*wparam*/,
                                                 std::intptr_t /*lparam*/) {
    return std::nullopt;
  }
  // The tooltip of a control; empty for none.
  virtual std::string TooltipText(int /*control_id*/) { return {}; }
  // WM_LBUTTONDBLCLK inside a control.
  virtual void OnControlDoubleClick(int /*control_id*/) {}
  // WM_RBUTTONDBLCLK inside a control.
  virtual void OnControlRightDoubleClick(int /*control_id*/) {}
  // WM_NOTIFY from a control (tooltip requests excepted: TooltipText answers those).
  virtual void OnNotify(const ControlNotification& /*notification*/) {}
  // WM_SIZE after default processing, with the new client size.
  virtual void OnSize(int /*type*/, int /*cx*/, int /*cy*/) {}
  // WM_GETMINMAXINFO: the minimum tracking size (outer) to answer; nothing for the default.
  virtual std::optional<WindowSize> OnGetMinMaxInfo() { return std::nullopt; }
  // WM_NCHITTEST with the default answer and the point in screen coordinates; nothing keeps
  // the default answer.
  virtual std::optional<int> OnNcHitTest(int /*default_answer*/, int /*x*/, int /*y*/) {
    return std::nullopt;
  }
  // WM_PAINT after default painting; DialogHost::DrawSizeGrip draws only from here.
  virtual void OnPaint() {}
  // WM_DESTROY, while the window and its controls still exist.
  virtual void OnDestroy() {}
};

// One dialog window made from a resource template, and its controls by identifier.
class DialogHost {
 public:
  virtual ~DialogHost() = default;

  virtual WindowHandle Window() = 0;
  virtual void Show(int show_command) = 0;
  virtual bool IsVisible() = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // Ends a modal dialog with a result.
  virtual void EndDialog(int result) = 0;
  // Big and small window icon from an icon resource.
  virtual void SetIcon(int icon_resource) = 0;
  // Appends a separator and an item to the window's system menu.
  virtual void AppendSystemMenuItem(std::uint32_t command, const std::string& text) = 0;
  virtual void EnableTooltips() = 0;

  virtual bool IsChecked(int control) = 0;
  virtual void SetChecked(int control, bool checked) = 0;
  virtual std::string Text(int control) = 0;
  virtual void SetText(int control, const std::string& text) = 0;
  virtual void EnableControl(int control, bool enabled) = 0;
  virtual void SetFocus(int control) = 0;
  virtual void SetBold(int control) = 0;
  // Icon statics: shows a system icon (STM_SETICON).
  virtual void SetControlSystemIcon(int control, SystemIcon icon) = 0;
  // Moves a control by an offset from where it is in the client area, and gives it a size.
  virtual void MoveControl(int control, int dx, int dy, int width, int height) = 0;

  // Sizes and places, for dialogs that the user resizes.
  // GetClientRect: the size of the client area.
  virtual WindowSize ClientSize() = 0;
  // GetWindowRect of the dialog, in screen coordinates.
  virtual WindowRect OuterRect() = 0;
  // SetWindowPos with SWP_NOMOVE: a new outer size where the window is.
  virtual void ResizeWindow(int width, int height) = 0;
  // A control's window rectangle in client coordinates; nothing when there is no such control.
  virtual std::optional<WindowRect> ControlRect(int control) = 0;
  // MoveWindow to a rectangle in client coordinates, repainting.
  virtual void SetControlRect(int control, const WindowRect& rect) = 0;
  // InvalidateRect of a whole control, erasing.
  virtual void InvalidateControl(int control) = 0;
  // InvalidateRect of part of the client area, erasing.
  virtual void Invalidate(const WindowRect& rect) = 0;
  // GetSystemMetrics(SM_CXHSCROLL) by GetSystemMetrics(SM_CYHSCROLL): a size grip's square.
  virtual WindowSize SizeGripSize() = 0;
  // DrawFrameControl with DFC_SCROLL and DFCS_SCROLLSIZEGRIP, from DialogEvents::OnPaint.
  virtual void DrawSizeGrip(const WindowRect& rect) = 0;
  // Puts a web-browser control (the system's "AtlAxWin" host window) in place of a control,
  // with its identifier and rectangle, navigated to an address; its window text is that
  // address. False when no browser could be made: the control stays, showing the address.
  virtual bool EmbedBrowser(int control, const std::string& address) = 0;
  // Makes a static control a hyperlink worked by the events, which must outlive the window;
  // calls events.OnAttach at once.
  virtual void AttachHyperlink(int control, HyperlinkEvents& events) = 0;

  // List boxes: unsorted or sorted as the template says.
  virtual int ListCount(int control) = 0;
  virtual std::string ListText(int control, int index) = 0;
  virtual int ListAdd(int control, const std::string& text) = 0;
  // WM_SETREDRAW: while off, additions neither repaint the control nor move its scroll bars;
  // on again, it is repainted once.
  virtual void SetRedraw(int control, bool redraw) = 0;
  virtual void ListDelete(int control, int index) = 0;
  virtual void ListReset(int control) = 0;
  virtual int ListSelection(int control) = 0;  // -1 for none
  virtual void ListSelect(int control, int index) = 0;
  // LB_FINDSTRINGEXACT from the start: the first item equal to the text, letter case ignored;
  // -1 for none.
  virtual int ListFindExact(int control, const std::string& text) = 0;

  // Drop-down lists.
  virtual void ComboAdd(int control, const std::string& text) = 0;
  virtual int ComboCount(int control) = 0;
  virtual int ComboSelection(int control) = 0;           // -1 for none
  virtual void ComboSelect(int control, int index) = 0;  // an index out of range selects none

  // List views in report style. Rows are counted from the top; row texts are column 0.
  virtual void ListViewAddColumn(int control, int column, const std::string& header, int width,
                                 ColumnAlignment alignment) = 0;
  virtual void ListViewSetFullRowSelect(int control) = 0;
  // The small images: a bitmap resource of 16 x 16 pictures side by side, put in an 8-bit
  // image list (initial size 8, growth 1) with one colour (0x00BBGGRR) transparent.
  virtual void ListViewSetImages(int control, int bitmap_resource, std::uint32_t transparent) = 0;
  virtual int ListViewCount(int control) = 0;
  // Inserts a row before `row` (past the end: at the end); its index, or -1.
  virtual int ListViewInsert(int control, int row, const std::string& text, int image) = 0;
  virtual void ListViewSetText(int control, int row, int column, const std::string& text) = 0;
  virtual std::string ListViewText(int control, int row, int column) = 0;
  virtual int ListViewImage(int control, int row) = 0;  // -1 for no such row
  virtual void ListViewDelete(int control, int row) = 0;
  virtual void ListViewDeleteAll(int control) = 0;
  // The selected rows, top to bottom.
  virtual std::vector<int> ListViewSelectedRows(int control) = 0;

  // Sliders.
  virtual int SliderPosition(int control) = 0;
  virtual void SetSliderPosition(int control, int position) = 0;

  // Animation controls: open an AVI resource and play it endlessly, or stop.
  virtual void PlayAnimation(int control, int avi_resource) = 0;
  virtual void StopAnimation(int control) = 0;

  // Timers of this window, delivered through DialogEvents::OnTimer.
  virtual void SetTimer(std::uint32_t timer_id, std::uint32_t period_ms) = 0;
  virtual void KillTimer(std::uint32_t timer_id) = 0;
  // Posts a message to this window; safe from any thread.
  virtual void Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) = 0;
};

// Makes dialogs and the small standard windows of the user interface.
class DialogsPort {
 public:
  virtual ~DialogsPort() = default;
  // A modeless dialog, created hidden unless its template says otherwise.
  virtual std::unique_ptr<DialogHost> CreateModeless(int template_id, DialogEvents& events,
                                                     DialogHost* parent) = 0;
  // Runs a modal dialog; the result given to EndDialog.
  virtual int RunModal(int template_id, DialogEvents& events, DialogHost* parent) = 0;
  virtual int MessageBox(DialogHost* owner, const std::string& text, const std::string& caption,
                         std::uint32_t style) = 0;
  // The system's file-open dialog; the chosen full path, or nothing on Cancel.
  virtual std::optional<std::string> ChooseFileToOpen(DialogHost* owner, const std::string& title,
                                                      const std::string& default_extension,
                                                      const std::string& filter,
                                                      const std::string& initial_folder) = 0;
  // A string of the program's string table; empty when missing.
  virtual std::string LoadString(int id) = 0;
};

}  // namespace sg::platform
