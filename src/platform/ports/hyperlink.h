#pragma once

#include <cstdint>
#include <string>

#include "platform/ports/windows.h"

namespace sg::platform {

// Alignment styles of a static control (its window style's low bits and SS_CENTERIMAGE).
inline constexpr std::uint32_t kSsCenter = 0x0001;
inline constexpr std::uint32_t kSsRight = 0x0002;
inline constexpr std::uint32_t kSsCenterImage = 0x0200;

inline constexpr std::uint32_t kVkSpace = 0x20;

struct TextExtent {
  int width = 0;
  int height = 0;
};

// The static control that a hyperlink is attached to, as the link's logic works it.
class HyperlinkWindow {
 public:
  virtual ~HyperlinkWindow() = default;
  virtual std::string Text() = 0;                     // GetWindowTextA
  virtual void SetText(const std::string& text) = 0;  // SetWindowTextA
  virtual std::uint32_t Style() = 0;                  // GWL_STYLE
  // WM_GETFONT; when the control has a font, a copy of its LOGFONT with the underline given
  // becomes the control's font (WM_SETFONT, redraw). False when the control has no font.
  virtual bool UseFontCopy(bool underline) = 0;
  // GetWindowRect in the parent's client coordinates, and GetClientRect.
  virtual WindowRect WindowRectInParent() = 0;
  virtual WindowRect ClientRect() = 0;
  // GetTextExtentPoint32A of the window text with the control's font on its device context.
  virtual TextExtent MeasureText() = 0;
  // MoveWindow to a rectangle of the parent's client area, repainting.
  virtual void MoveTo(const WindowRect& rect) = 0;
  virtual void Show(bool visible) = 0;  // ShowWindow SW_SHOW / SW_HIDE
  virtual void Repaint() = 0;           // InvalidateRect
  virtual void CaptureMouse() = 0;      // SetCapture
  virtual void ReleaseMouse() = 0;      // ReleaseCapture
  virtual void TakeFocus() = 0;         // SetFocus
  // Makes the process-wide hand cursor unless it exists; WM_SETCURSOR shows it when it does.
  virtual void MakeHandCursor() = 0;
  // A tooltip with one tool, id 1, over the client rectangle.
  virtual void CreateTooltip(const std::string& text) = 0;
  virtual void SetTooltipText(const std::string& text) = 0;
};

// What a hyperlink does with its static control's messages. Mouse messages reach the control
// because it answers WM_NCHITTEST with HTCLIENT, and reach its tooltip first.
class HyperlinkEvents {
 public:
  virtual ~HyperlinkEvents() = default;
  // Once, on attaching; the window lives as long as the control.
  virtual void OnAttach(HyperlinkWindow& window) = 0;
  // The reflected WM_CTLCOLORSTATIC: the text colour (0x00BBGGRR); the background is
  // transparent on the null brush.
  virtual std::uint32_t TextColour() = 0;
  // WM_MOUSEMOVE; inside: the position lies in the client rectangle.
  virtual void OnMouseMove(bool inside) = 0;
  virtual void OnLeftButtonDown() = 0;
  virtual void OnLeftButtonUp() = 0;
  virtual void OnSetFocus() = 0;
  virtual void OnKillFocus() = 0;
  // WM_KEYDOWN; false hands the key to default processing.
  virtual bool OnKeyDown(std::uint32_t virtual_key) = 0;
};

}  // namespace sg::platform
