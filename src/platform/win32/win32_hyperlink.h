#pragma once

#include <windows.h>

#include "platform/ports/hyperlink.h"

namespace sg::platform::win32 {

// A static control of a real dialog subclassed into a hyperlink: hit testing, mouse, focus
// and keys go to the link's events; its tooltip sees the mouse first.
class Win32HyperlinkWindow final : public HyperlinkWindow {
 public:
  Win32HyperlinkWindow(HWND control, HyperlinkEvents& events);
  ~Win32HyperlinkWindow() override;
  Win32HyperlinkWindow(const Win32HyperlinkWindow&) = delete;
  Win32HyperlinkWindow& operator=(const Win32HyperlinkWindow&) = delete;

  HWND control() const { return control_; }
  // The dialog's WM_CTLCOLORSTATIC for this control: prepares the device context and gives the
  // brush to answer with.
  HBRUSH ColourControl(HDC dc);
  // From now on the events hear nothing: they may be going away with the dialog.
  void Detach() { events_ = nullptr; }

  std::string Text() override;
  void SetText(const std::string& text) override;
  std::uint32_t Style() override;
  bool UseFontCopy(bool underline) override;
  WindowRect WindowRectInParent() override;
  WindowRect ClientRect() override;
  TextExtent MeasureText() override;
  void MoveTo(const WindowRect& rect) override;
  void Show(bool visible) override;
  void Repaint() override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  void TakeFocus() override;
  void MakeHandCursor() override;
  void CreateTooltip(const std::string& text) override;
  void SetTooltipText(const std::string& text) override;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam);

  HWND control_;
  HyperlinkEvents* events_;
  HFONT font_ = nullptr;           // ours, selected into the control
  HFONT template_font_ = nullptr;  // the control's own, given back when we let go
  HWND tooltip_ = nullptr;
};

}  // namespace sg::platform::win32
