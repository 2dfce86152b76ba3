#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ports/hyperlink.h"

namespace sg::platform::fake {

class FakeDialogHost;

// A static control that a hyperlink is attached to, with what the user does to it. Its text,
// style, font and rectangle are the host's control state; text is measured at a fixed
// kCharWidth pixels a letter and kLineHeight pixels high.
class FakeHyperlinkWindow final : public HyperlinkWindow {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kLineHeight = 13;

  FakeHyperlinkWindow(FakeDialogHost& host, int control, HyperlinkEvents& events)
      : host_(host), control_(control), events_(events) {}

  // What the user does. Moves outside the control reach it only while it holds the capture.
  void MoveMouseInside() { events_.OnMouseMove(true); }
  void MoveMouseOutside();
  void Press() { events_.OnLeftButtonDown(); }
  void Release() { events_.OnLeftButtonUp(); }
  void Click() {
    Press();
    Release();
  }
  // True when the link handled the key.
  bool PressKey(std::uint32_t virtual_key) { return events_.OnKeyDown(virtual_key); }

  // What the user sees.
  std::uint32_t TextColour() { return events_.TextColour(); }
  bool captured() const { return captured_; }
  bool visible() const { return visible_; }
  bool underlined() const { return underlined_; }
  bool font_replaced() const { return font_replaced_; }
  bool hand_cursor() const { return hand_cursor_; }
  std::optional<std::string> tooltip() const { return tooltip_; }
  int repaints() const { return repaints_; }
  HyperlinkEvents& events() { return events_; }

  std::string Text() override;
  void SetText(const std::string& text) override;
  std::uint32_t Style() override;
  bool UseFontCopy(bool underline) override;
  WindowRect WindowRectInParent() override;
  WindowRect ClientRect() override;
  TextExtent MeasureText() override;
  void MoveTo(const WindowRect& rect) override;
  void Show(bool visible) override { visible_ = visible; }
  void Repaint() override { ++repaints_; }
  void CaptureMouse() override { captured_ = true; }
  void ReleaseMouse() override { captured_ = false; }
  void TakeFocus() override;
  void MakeHandCursor() override { hand_cursor_ = true; }
  void CreateTooltip(const std::string& text) override { tooltip_ = text; }
  void SetTooltipText(const std::string& text) override;

 private:
  FakeDialogHost& host_;
  int control_;
  HyperlinkEvents& events_;
  bool captured_ = false;
  bool visible_ = true;
  bool underlined_ = false;
  bool font_replaced_ = false;
  bool hand_cursor_ = false;
  std::optional<std::string> tooltip_;
  int repaints_ = 0;
};

}  // namespace sg::platform::fake
