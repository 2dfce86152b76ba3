#include "platform/win32/win32_dialogs.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <ole2.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/system_libraries.h"
#include "platform/win32/unclashed_names.h"
#include "platform/win32/win32_hyperlink.h"

namespace sg::platform::win32 {

namespace {

HINSTANCE ProgramModule() {
  return GetModuleHandleA(nullptr);
}

HWND Handle(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_WIN95_CLASSES;  // animation, trackbar and tooltips among them
    return InitCommonControlsEx(&classes);
  }();
  (void)done;
}

// The system's ActiveX host window class "AtlAxWin", registered once; false when the library or
// its registration is missing.
bool AtlHostReady() {
  static const bool ready = [] {
    HMODULE atl = LoadSystemLibrary("atl.dll");
    if (!atl) return false;
    const auto init = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    return init && init();
  }();
  return ready;
}

// Messages whose answer is the dialog procedure's return value itself rather than
// DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
  return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
         message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
         message == WM_QUERYDRAGICON;
}

class Win32DialogHost final : public DialogHost {
 public:
  Win32DialogHost(DialogEvents& events, bool modal) : events_(events), modal_(modal) {}

  ~Win32DialogHost() override {
    for (auto& link : links_) link->Detach();
    if (window_) {
      // The events object may already be half destroyed: nothing reaches it any more.
      SetWindowLongPtrA(window_, DWLP_USER, 0);
      if (!modal_) DestroyWindow(window_);
    }
    if (bold_font_) DeleteObject(bold_font_);
    DestroyIcons();
  }

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
      auto* host = reinterpret_cast<Win32DialogHost*>(lparam);
      SetWindowLongPtrA(window, DWLP_USER, lparam);
      host->window_ = window;
      host->initializing_ = true;
      host->events_.OnInitDialog(*host);
      host->initializing_ = false;
      // TRUE lets the dialog manager focus the first control, unless the dialog chose one.
      return host->focus_chosen_ ? FALSE : TRUE;
    }
    auto* host = reinterpret_cast<Win32DialogHost*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!host) return FALSE;
    return host->Dispatch(message, wparam, lparam);
  }

  WindowHandle Window() override { return reinterpret_cast<WindowHandle>(window_); }
  void Show(int show_command) override { ShowWindow(window_, show_command); }
  bool IsVisible() override { return IsWindowVisible(window_); }
  void SetTitle(const std::string& title) override { SetWindowTextA(window_, title.c_str()); }
  void EndDialog(int result) override { ::EndDialog(window_, result); }

  void SetIcon(int icon_resource) override {
    // Owned, not shared: a shared icon comes back in whatever size it was first loaded.
    const auto load = [&](int width_metric, int height_metric) {
      return static_cast<HICON>(LoadImageA(ProgramModule(), MAKEINTRESOURCEA(icon_resource),
                                           IMAGE_ICON, GetSystemMetrics(width_metric),
                                           GetSystemMetrics(height_metric), 0));
    };
    const HICON big = load(SM_CXICON, SM_CYICON);
    const HICON small = load(SM_CXSMICON, SM_CYSMICON);
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    DestroyIcons();
    big_icon_ = big;
    small_icon_ = small;
  }

  void AppendSystemMenuItem(std::uint32_t command, const std::string& text) override {
    if (text.empty()) return;
    HMENU menu = GetSystemMenu(window_, FALSE);
    if (!menu) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, command, text.c_str());
  }

  void EnableTooltips() override {
    if (tooltip_) return;
    InitCommonControlsOnce();
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                               nullptr, ProgramModule(), nullptr);
    if (!tooltip_) return;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      TTTOOLINFOA tool{};
      // The size every version of the common controls accepts.
      tool.cbSize = TTTOOLINFOA_V2_SIZE;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = window_;
      tool.uId = reinterpret_cast<UINT_PTR>(child);
      tool.lpszText = LPSTR_TEXTCALLBACKA;
      SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
  }

  bool IsChecked(int control) override {
    return SendMessageA(Item(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void SetChecked(int control, bool checked) override {
    SendMessageA(Item(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  std::string Text(int control) override {
    HWND item = Item(control);
    if (!item) return {};
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    const int length = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
  }
  void SetText(int control, const std::string& text) override {
    SetWindowTextA(Item(control), text.c_str());
  }

  void EnableControl(int control, bool enabled) override { EnableWindow(Item(control), enabled); }

  void SetFocus(int control) override {
    ::SetFocus(Item(control));
    if (initializing_) focus_chosen_ = true;
  }

  void SetBold(int control) override {
    if (!bold_font_) {
      auto font = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
      if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
      LOGFONTA description{};
      if (!GetObjectA(font, sizeof description, &description)) return;
      description.lfWeight = FW_BOLD;
      bold_font_ = CreateFontIndirectA(&description);
      if (!bold_font_) return;
    }
    SendMessageA(Item(control), WM_SETFONT, reinterpret_cast<WPARAM>(bold_font_), TRUE);
  }

  void SetControlSystemIcon(int control, SystemIcon icon) override {
    // System icons are shared: nothing to free when another replaces them.
    HICON handle = LoadIcon(nullptr, icon == SystemIcon::kWinLogo ? IDI_WINLOGO : IDI_APPLICATION);
    SendMessageA(Item(control), STM_SETICON, reinterpret_cast<WPARAM>(handle), 0);
  }

  void MoveControl(int control, int dx, int dy, int width, int height) override {
    HWND item = Item(control);
    RECT bounds;
    if (!item || !GetWindowRect(item, &bounds)) return;
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
    SetWindowPos(item, nullptr, bounds.left + dx, bounds.top + dy, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  WindowSize ClientSize() override {
    RECT client{};
    GetClientRect(window_, &client);
    return {client.right - client.left, client.bottom - client.top};
  }

  WindowRect OuterRect() override {
    RECT outer{};
    GetWindowRect(window_, &outer);
    return {outer.left, outer.top, outer.right, outer.bottom};
  }

  void ResizeWindow(int width, int height) override {
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  std::optional<WindowRect> ControlRect(int control) override {
    HWND item = Item(control);
    RECT bounds;
    if (!item || !GetWindowRect(item, &bounds)) return std::nullopt;
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
    return WindowRect{bounds.left, bounds.top, bounds.right, bounds.bottom};
  }

  void SetControlRect(int control, const WindowRect& rect) override {
    if (HWND item = Item(control)) {
      MoveWindow(item, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
  }

  void InvalidateControl(int control) override {
    if (HWND item = Item(control)) InvalidateRect(item, nullptr, TRUE);
  }

  void Invalidate(const WindowRect& rect) override {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(window_, &area, TRUE);
  }

  WindowSize SizeGripSize() override {
    return {GetSystemMetrics(SM_CXHSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
  }

  void DrawSizeGrip(const WindowRect& rect) override {
    if (!paint_dc_) return;
    RECT square{rect.left, rect.top, rect.right, rect.bottom};
    DrawFrameControl(paint_dc_, &square, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }

  bool EmbedBrowser(int control, const std::string& address) override {
    HWND frame = Item(control);
    if (!frame) return false;
    SetWindowTextA(frame, address.c_str());
    // The browser object lives in this thread's apartment; a second initialisation only counts.
    const HRESULT ole = OleInitialize(nullptr);
    if (FAILED(ole) && ole != RPC_E_CHANGED_MODE) return false;
    if (!AtlHostReady()) return false;
    RECT bounds;
    GetWindowRect(frame, &bounds);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
    const DWORD style = WS_CHILD | (static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE)) &
                                    (WS_VISIBLE | WS_BORDER | WS_TABSTOP));
    // The host window makes the control named by its text: an address means a browser there.
    HWND browser = CreateWindowExA(0, "AtlAxWin", address.c_str(), style, bounds.left, bounds.top,
                                   bounds.right - bounds.left, bounds.bottom - bounds.top, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(control)),
                                   ProgramModule(), nullptr);
    if (!browser) return false;
    SetWindowPos(browser, frame, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(frame);
    items_[control] = browser;
    return true;
  }

  void AttachHyperlink(int control, HyperlinkEvents& events) override {
    HWND item = Item(control);
    if (!item) return;
    InitCommonControlsOnce();
    links_.push_back(std::make_unique<Win32HyperlinkWindow>(item, events));
    events.OnAttach(*links_.back());
  }

  int ListCount(int control) override { return Send(control, LB_GETCOUNT, 0, 0); }
  std::string ListText(int control, int index) override {
    const int length = Send(control, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = Send(control, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
  }
  int ListAdd(int control, const std::string& text) override {
    return Send(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void SetRedraw(int control, bool redraw) override {
    Send(control, WM_SETREDRAW, redraw, 0);
    if (redraw) InvalidateRect(GetDlgItem(window_, control), nullptr, TRUE);
  }
  void ListDelete(int control, int index) override { Send(control, LB_DELETESTRING, index, 0); }
  void ListReset(int control) override { Send(control, LB_RESETCONTENT, 0, 0); }
  int ListSelection(int control) override { return Send(control, LB_GETCURSEL, 0, 0); }
  void ListSelect(int control, int index) override { Send(control, LB_SETCURSEL, index, 0); }
  int ListFindExact(int control, const std::string& text) override {
    return Send(control, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                reinterpret_cast<LPARAM>(text.c_str()));
  }

  void ComboAdd(int control, const std::string& text) override {
    Send(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  int ComboCount(int control) override { return Send(control, CB_GETCOUNT, 0, 0); }
  int ComboSelection(int control) override { return Send(control, CB_GETCURSEL, 0, 0); }
  void ComboSelect(int control, int index) override {
    // Wine's combo box keeps its selection when given an index out of range other than -1.
    if (index < 0 || index >= ComboCount(control)) index = -1;
    Send(control, CB_SETCURSEL, index, 0);
  }

  void ListViewAddColumn(int control, int column, const std::string& header, int width,
                         ColumnAlignment alignment) override {
    LVCOLUMNA description{};
    description.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    description.fmt = alignment == ColumnAlignment::kRight    ? LVCFMT_RIGHT
                      : alignment == ColumnAlignment::kCenter ? LVCFMT_CENTER
                                                              : LVCFMT_LEFT;
    // Widths are given for the usual 96 dots per inch; at larger text sizes the columns grow
    // with the text, as the dialog units of the rest of the dialog do.
    HDC screen = GetDC(window_);
    description.cx = MulDiv(width, screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96, 96);
    if (screen) ReleaseDC(window_, screen);
    description.pszText = const_cast<char*>(header.c_str());
    description.iSubItem = column;
    Send(control, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
         reinterpret_cast<LPARAM>(&description));
  }

  void ListViewSetFullRowSelect(int control) override {
    Send(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  }

  void ListViewSetImages(int control, int bitmap_resource, std::uint32_t transparent) override {
    HBITMAP pictures = LoadBitmapA(ProgramModule(), MAKEINTRESOURCEA(bitmap_resource));
    if (!pictures) return;
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, 8, 1);
    if (images) ImageList_AddMasked(images, pictures, transparent);
    // The image list keeps copies of the pictures.
    DeleteObject(pictures);
    if (!images) return;
    // Without LVS_SHAREIMAGELISTS the list view destroys its list with itself, but one that
    // it gives back on replacement is ours.
    const auto previous = reinterpret_cast<HIMAGELIST>(SendDlgItemMessageA(
        window_, control, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)));
    if (previous && previous != images) ImageList_Destroy(previous);
  }

  int ListViewCount(int control) override { return Send(control, LVM_GETITEMCOUNT, 0, 0); }

  int ListViewInsert(int control, int row, const std::string& text, int image) override {
    if (row < 0) return -1;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    return Send(control, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }

  void ListViewSetText(int control, int row, int column, const std::string& text) override {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    Send(control, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }

  std::string ListViewText(int control, int row, int column) override {
    // The call cuts a text that does not fit and says how much it copied; one that fills
    // the buffer may have been cut.
    std::string text(256, '\0');
    for (;;) {
      LVITEMA item{};
      item.iSubItem = column;
      item.pszText = text.data();
      item.cchTextMax = static_cast<int>(text.size());
      const int length = Send(control, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                              reinterpret_cast<LPARAM>(&item));
      if (length < static_cast<int>(text.size()) - 1) {
        text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        return text;
      }
      text.resize(text.size() * 2);
    }
  }

  int ListViewImage(int control, int row) override {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    if (!Send(control, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.iImage;
  }

  void ListViewDelete(int control, int row) override {
    Send(control, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  }
  void ListViewDeleteAll(int control) override { Send(control, LVM_DELETEALLITEMS, 0, 0); }

  std::vector<int> ListViewSelectedRows(int control) override {
    std::vector<int> rows;
    int row = -1;
    while ((row = Send(control, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                       MAKELPARAM(LVNI_SELECTED, 0))) != -1) {
      rows.push_back(row);
    }
    return rows;
  }

  int SliderPosition(int control) override { return Send(control, TBM_GETPOS, 0, 0); }
  void SetSliderPosition(int control, int position) override {
    Send(control, TBM_SETPOS, TRUE, position);
  }

  void PlayAnimation(int control, int avi_resource) override {
    MakeAnimationControl(control);
    Send(control, ACM_OPENA, reinterpret_cast<WPARAM>(ProgramModule()),
         reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(avi_resource)));
    Send(control, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
  }
  void StopAnimation(int control) override { Send(control, ACM_STOP, 0, 0); }

  void SetTimer(std::uint32_t timer_id, std::uint32_t period_ms) override {
    ::SetTimer(window_, timer_id, period_ms, nullptr);
  }
  void KillTimer(std::uint32_t timer_id) override { ::KillTimer(window_, timer_id); }
  void Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) override {
    PostMessageA(window_, message, wparam, lparam);
  }

 private:
  void DestroyIcons() {
    if (big_icon_) DestroyIcon(big_icon_);
    if (small_icon_) DestroyIcon(small_icon_);
    big_icon_ = small_icon_ = nullptr;
  }

  // GetDlgItem asks Wine's server for the dialog's children at every call, which a list of
  // 100,000 entries, filled and read an entry at a time, would pay for in seconds.
  // A template may hold a plain static where an animation plays: Wine's animation control loads
  // the video and sound libraries as it is made, a megabyte and more for a dialog that may rest
  // in the tray all day. The control takes the static's place at the first play.
  void MakeAnimationControl(int control) {
    HWND stand_in = Item(control);
    char class_name[32] = {};
    if (!stand_in || !GetClassNameA(stand_in, class_name, sizeof class_name) ||
        lstrcmpiA(class_name, ANIMATE_CLASSA) == 0) {
      return;
    }
    RECT bounds;
    GetWindowRect(stand_in, &bounds);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(stand_in, GWL_STYLE)) &
                        (WS_CHILD | WS_VISIBLE | WS_DISABLED);
    HWND animation = CreateWindowExA(
        0, ANIMATE_CLASSA, "", style, bounds.left, bounds.top, bounds.right - bounds.left,
        bounds.bottom - bounds.top, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control)),
        ProgramModule(), nullptr);
    if (!animation) return;
    SetWindowPos(animation, stand_in, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(stand_in);
    items_[control] = animation;
  }

  HWND Item(int control) {
    auto [item, added] = items_.try_emplace(control, nullptr);
    if (added || !item->second) item->second = GetDlgItem(window_, control);
    return item->second;
  }

  int Send(int control, UINT message, WPARAM wparam, LPARAM lparam) {
    return static_cast<int>(SendMessageA(Item(control), message, wparam, lparam));
  }

  INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_COMMAND:
        events_.OnCommand(LOWORD(wparam), HIWORD(wparam));
        return TRUE;
      case WM_TIMER:
        events_.OnTimer(static_cast<std::uint32_t>(wparam));
        return TRUE;
      case WM_SYSCOMMAND:
        return events_.OnSysCommand(static_cast<std::uint32_t>(wparam)) ? TRUE : FALSE;
      case WM_CLOSE:
        if (modal_) {
          events_.OnCommand(IDCANCEL, 0);
          return TRUE;
        }
        break;
      case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
        if (header.code == TTN_GETDISPINFOA) {
          AnswerTooltip(*reinterpret_cast<NMTTDISPINFOA*>(lparam));
          return TRUE;
        }
        if (!tooltip_ || header.hwndFrom != tooltip_) events_.OnNotify(NotificationOf(header));
        // Unanswered, every notification gets 0 from the default procedure: the control goes
        // on as it would without us (a changing item may change, drawing is its own).
        return FALSE;
      }
      case WM_LBUTTONDBLCLK:
        if (const int control = ControlAt({LOWORD(lparam), HIWORD(lparam)})) {
          events_.OnControlDoubleClick(control);
          return TRUE;
        }
        break;
      case WM_RBUTTONDBLCLK:
        if (const int control = ControlAt({LOWORD(lparam), HIWORD(lparam)})) {
          events_.OnControlRightDoubleClick(control);
          return TRUE;
        }
        break;
      case WM_SIZE:
        events_.OnSize(static_cast<int>(wparam), LOWORD(lparam), HIWORD(lparam));
        break;
      case WM_GETMINMAXINFO:
        if (const std::optional<WindowSize> minimum = events_.OnGetMinMaxInfo()) {
          auto& info = *reinterpret_cast<MINMAXINFO*>(lparam);
          info.ptMinTrackSize = {minimum->width, minimum->height};
          return TRUE;
        }
        break;
      case WM_NCHITTEST: {
        const int usual = static_cast<int>(DefWindowProcA(window_, message, wparam, lparam));
        const std::optional<int> answer = events_.OnNcHitTest(
            usual, static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
        if (!answer) return FALSE;
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, *answer);
        return TRUE;
      }
      case WM_PAINT: {
        // What the default painting does, with the dialog's own drawing in between.
        PAINTSTRUCT paint;
        paint_dc_ = BeginPaint(window_, &paint);
        events_.OnPaint();
        EndPaint(window_, &paint);
        paint_dc_ = nullptr;
        return TRUE;
      }
      case WM_DESTROY:
        events_.OnDestroy();
        break;
      case WM_CTLCOLORSTATIC:
        for (const auto& link : links_) {
          if (link->control() == reinterpret_cast<HWND>(lparam)) {
            return reinterpret_cast<INT_PTR>(link->ColourControl(reinterpret_cast<HDC>(wparam)));
          }
        }
        break;
      case WM_NCDESTROY:
        window_ = nullptr;
        tooltip_ = nullptr;
        items_.clear();
        return FALSE;
      default:
        break;
    }
    const std::optional<std::intptr_t> answer = events_.OnMessage(message, wparam, lparam);
    if (!answer) return FALSE;
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(*answer);
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, static_cast<LONG_PTR>(*answer));
    return TRUE;
  }

  static ControlNotification NotificationOf(const NMHDR& header) {
    ControlNotification notification;
    notification.control = static_cast<int>(header.idFrom);
    notification.code = static_cast<int>(header.code);
    char class_name[32] = {};
    GetClassNameA(header.hwndFrom, class_name, sizeof class_name);
    if (lstrcmpiA(class_name, WC_LISTVIEWA) != 0) return notification;
    // Only these arrive with more than the header.
    if (header.code == static_cast<UINT>(NM_DBLCLK)) {
      const auto& activation = reinterpret_cast<const NMITEMACTIVATE&>(header);
      notification.item = activation.iItem;
      notification.sub_item = activation.iSubItem;
    } else if (header.code == static_cast<UINT>(LVN_COLUMNCLICK) ||
               header.code == static_cast<UINT>(LVN_ITEMCHANGED)) {
      const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
      notification.item = click.iItem;
      notification.sub_item = click.iSubItem;
    }
    return notification;
  }

  void AnswerTooltip(NMTTDISPINFOA& request) {
    const int control = (request.uFlags & TTF_IDISHWND)
                            ? GetDlgCtrlID(reinterpret_cast<HWND>(request.hdr.idFrom))
                            : static_cast<int>(request.hdr.idFrom);
    tooltip_text_ = events_.TooltipText(control);
    request.hinst = nullptr;
    request.lpszText = tooltip_text_.data();
  }

  // The smallest visible control under a point of the dialog's client area, so that a control
  // inside a group box is found rather than the box; 0 for none.
  int ControlAt(POINT point) {
    ClientToScreen(window_, &point);
    int found = 0;
    long long smallest = -1;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT bounds;
      if (!IsWindowVisible(child) || !GetWindowRect(child, &bounds) || !PtInRect(&bounds, point)) {
        continue;
      }
      const long long area =
          static_cast<long long>(bounds.right - bounds.left) * (bounds.bottom - bounds.top);
      if (smallest < 0 || area < smallest) {
        smallest = area;
        found = GetDlgCtrlID(child);
      }
    }
    return found;
  }

  DialogEvents& events_;
  const bool modal_;
  HWND window_ = nullptr;
  std::map<int, HWND> items_;  // the controls by identifier
  HWND tooltip_ = nullptr;
  HFONT bold_font_ = nullptr;
  HDC paint_dc_ = nullptr;
  HICON big_icon_ = nullptr;
  HICON small_icon_ = nullptr;
  std::string tooltip_text_;
  std::vector<std::unique_ptr<Win32HyperlinkWindow>> links_;
  bool initializing_ = false;
  bool focus_chosen_ = false;
};

HWND ParentWindow(DialogHost* parent) {
  return parent ? Handle(parent->Window()) : nullptr;
}

}  // namespace

std::unique_ptr<DialogHost> Win32Dialogs::CreateModeless(int template_id, DialogEvents& events,
                                                         DialogHost* parent) {
  InitCommonControlsOnce();
  auto host = std::make_unique<Win32DialogHost>(events, false);
  HWND window =
      CreateDialogParamA(ProgramModule(), MAKEINTRESOURCEA(template_id), ParentWindow(parent),
                         Win32DialogHost::DialogProc, reinterpret_cast<LPARAM>(host.get()));
  if (!window) return nullptr;
  return host;
}

int Win32Dialogs::RunModal(int template_id, DialogEvents& events, DialogHost* parent) {
  InitCommonControlsOnce();
  Win32DialogHost host(events, true);
  return static_cast<int>(DialogBoxParamA(ProgramModule(), MAKEINTRESOURCEA(template_id),
                                          ParentWindow(parent), Win32DialogHost::DialogProc,
                                          reinterpret_cast<LPARAM>(&host)));
}

int Win32Dialogs::MessageBox(DialogHost* owner, const std::string& text, const std::string& caption,
                             std::uint32_t style) {
  return MessageBoxA(ParentWindow(owner), text.c_str(), caption.c_str(), style);
}

std::optional<std::string> Win32Dialogs::ChooseFileToOpen(DialogHost* owner,
                                                          const std::string& title,
                                                          const std::string& default_extension,
                                                          const std::string& filter,
                                                          const std::string& initial_folder) {
  // "Name|pattern|Name|pattern||" becomes the pairs of strings the call takes, ending in an
  // empty one.
  std::string filters = filter;
  for (char& c : filters) {
    if (c == '|') c = '\0';
  }
  filters.append(2, '\0');
  std::string path(MAX_PATH, '\0');
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = ParentWindow(owner);
  request.lpstrFilter = filters.c_str();
  request.lpstrFile = path.data();
  request.nMaxFile = static_cast<DWORD>(path.size());
  request.lpstrInitialDir = initial_folder.empty() ? nullptr : initial_folder.c_str();
  request.lpstrTitle = title.empty() ? nullptr : title.c_str();
  request.lpstrDefExt = default_extension.empty() ? nullptr : default_extension.c_str();
  // The current directory is where the user's files are kept; browsing must not move it.
  request.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&request)) return std::nullopt;
  path.resize(path.find('\0'));
  return path;
}

std::string Win32Dialogs::LoadString(int id) {
  // The call cuts a string that does not fit; a string that fills the buffer may have been cut.
  std::string text(256, '\0');
  for (;;) {
    const int length = LoadStringA(ProgramModule(), static_cast<UINT>(id), text.data(),
                                   static_cast<int>(text.size()));
    if (length < static_cast<int>(text.size()) - 1) {
      text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

}  // namespace sg::platform::win32
