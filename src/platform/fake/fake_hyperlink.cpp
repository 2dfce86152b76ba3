#include "platform/fake/fake_hyperlink.h"

#include "platform/fake/fake_dialogs.h"

namespace sg::platform::fake {

void FakeHyperlinkWindow::MoveMouseOutside() {
  if (captured_) events_.OnMouseMove(false);
}

std::string FakeHyperlinkWindow::Text() {
  return host_.control(control_).text;
}

void FakeHyperlinkWindow::SetText(const std::string& text) {
  host_.control(control_).text = text;
}

std::uint32_t FakeHyperlinkWindow::Style() {
  return host_.control(control_).style;
}

bool FakeHyperlinkWindow::UseFontCopy(bool underline) {
  if (!host_.control(control_).has_font) return false;
  font_replaced_ = true;
  underlined_ = underline;
  return true;
}

WindowRect FakeHyperlinkWindow::WindowRectInParent() {
  const auto& control = host_.control(control_);
  return {control.x, control.y, control.x + control.width, control.y + control.height};
}

WindowRect FakeHyperlinkWindow::ClientRect() {
  const auto& control = host_.control(control_);
  return {0, 0, control.width - 2 * control.border, control.height - 2 * control.border};
}

TextExtent FakeHyperlinkWindow::MeasureText() {
  return {static_cast<int>(host_.control(control_).text.size()) * kCharWidth, kLineHeight};
}

void FakeHyperlinkWindow::MoveTo(const WindowRect& rect) {
  auto& control = host_.control(control_);
  control.x = rect.left;
  control.y = rect.top;
  control.width = rect.right - rect.left;
  control.height = rect.bottom - rect.top;
  ++repaints_;
}

void FakeHyperlinkWindow::TakeFocus() {
  host_.SetFocus(control_);
}

void FakeHyperlinkWindow::SetTooltipText(const std::string& text) {
  if (tooltip_) tooltip_ = text;
}

}  // namespace sg::platform::fake
