#include "controls/hyperlink.h"

#include <array>
#include <utility>

#include "settings/registry_store.h"

namespace sg::controls {

namespace {

constexpr char kCaption[] = "Snapgate!";
constexpr std::intptr_t kLowestSuccess = 33;  // results up to 32 are error codes

struct FailureText {
  std::intptr_t code;
  const char* text;
};

constexpr std::array<FailureText, 13> kFailureTexts{{
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30,
     "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
     "processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
}};

int Width(const platform::WindowRect& rect) {
  return rect.right - rect.left;
}
int Height(const platform::WindowRect& rect) {
  return rect.bottom - rect.top;
}

// Shrinks a span evenly from both ends to the text's length, then adds the frame back around it.
void CentreOn(int& low, int& high, int text_length, int frame) {
  low += (high - low - text_length) / 2;
  high = low + text_length;
  low -= frame / 2;
  high += frame - frame / 2;
}

}  // namespace

std::uint32_t LinkTextColour(const LinkState& state, std::uint32_t style) {
  if (state.pointer_over && (style & kHoverColour)) return kHoverColourValue;
  if (state.armed && !(style & kNoFocusColour)) return kFocusColour;
  if (state.visited) return kVisitedColour;
  return kLinkColour;
}

platform::WindowRect SizedToText(const platform::WindowRect& window,
                                 const platform::WindowRect& client, platform::TextExtent text,
                                 std::uint32_t static_style) {
  platform::WindowRect rect = window;
  // The frame around the client area is added back on the side that moved.
  const int frame_width = Width(window) - Width(client);
  const int frame_height = Height(window) - Height(client);

  if (static_style & platform::kSsCenterImage) {
    CentreOn(rect.top, rect.bottom, text.height, frame_height);
  } else {
    rect.bottom = rect.top + text.height + frame_height;
  }

  if (static_style & platform::kSsCenter) {
    CentreOn(rect.left, rect.right, text.width, frame_width);
  } else if (static_style & platform::kSsRight) {
    rect.left = rect.right - text.width - frame_width;
  } else {
    rect.right = rect.left + text.width + frame_width;
  }
  return rect;
}

std::string WebPageCommand(std::string registered_command, const std::string& target) {
  auto argument = registered_command.find("\"%1\"");
  if (argument == std::string::npos) argument = registered_command.find("%1");
  if (argument != std::string::npos) registered_command.resize(argument);
  return registered_command + " " + target;
}

std::string OpenFailureMessage(std::intptr_t code) {
  for (const FailureText& failure : kFailureTexts) {
    if (failure.code == code) return failure.text;
  }
  return "Unknown Error (" + std::to_string(code) + ") occurred.";
}

void CHyperLink::Attach(platform::DialogHost& host, int control) {
  host_ = &host;
  host.AttachHyperlink(control, *this);
}

void CHyperLink::OnAttach(platform::HyperlinkWindow& window) {
  window_ = &window;
  const std::string text = window.Text();
  if (target_.empty()) target_ = text;
  if (text.empty()) window.SetText(target_);

  if (window.UseFontCopy((style_ & kUnderlineText) != 0)) {
    SizeToText();
  } else {
    style_ &= ~kSizeToText;
  }
  if (!(style_ & kNoHandCursor)) window.MakeHandCursor();
  window.CreateTooltip(target_);
}

void CHyperLink::SetUrl(const std::string& target) {
  target_ = target;
  if (!window_) return;
  window_->Show(false);
  SizeToText();
  window_->SetTooltipText(target_);
  window_->Show(true);
}

void CHyperLink::SizeToText() {
  if (!window_ || !(style_ & kSizeToText)) return;
  window_->MoveTo(SizedToText(window_->WindowRectInParent(), window_->ClientRect(),
                              window_->MeasureText(), window_->Style()));
}

void CHyperLink::OnMouseMove(bool inside) {
  if (!window_) return;
  if (state_.pointer_over) {
    if (inside) return;
    state_.pointer_over = false;
    window_->ReleaseMouse();
    window_->Repaint();
  } else {
    state_.pointer_over = true;
    window_->Repaint();
    window_->CaptureMouse();
  }
}

void CHyperLink::OnLeftButtonDown() {
  if (window_ && (style_ & kFocusOnClick)) window_->TakeFocus();
  if (style_ & kOpenOnPress) Open();
  state_.armed = true;
}

void CHyperLink::OnLeftButtonUp() {
  if (state_.armed && !(style_ & kOpenOnPress)) Open();
}

void CHyperLink::OnSetFocus() {
  state_.armed = true;
  if (window_) window_->Repaint();
}

void CHyperLink::OnKillFocus() {
  state_.armed = false;
  state_.pointer_over = false;
  if (window_) window_->Repaint();
}

bool CHyperLink::OnKeyDown(std::uint32_t virtual_key) {
  if (virtual_key != platform::kVkSpace) return false;
  Open();
  return true;
}

std::intptr_t CHyperLink::OpenTarget() {
  platform::ShellExecuteRequest request;
  request.verb = "open";
  request.file = target_;
  request.show_command = platform::kShowShow;
  const platform::ShellExecuteResult shell = platform_.shell.Execute(request);
  if (shell.instance >= kLowestSuccess) return shell.instance;

  settings::RegistryStore store(platform_.registry);
  const std::string page_class =
      store.ReadStringAt(platform::RegistryRoot::kClassesRoot, ".htm", "");
  if (page_class.empty()) return shell.instance;
  const std::string command = store.ReadStringAt(platform::RegistryRoot::kClassesRoot,
                                                 page_class + "\\shell\\open\\command", "");
  if (command.empty()) return shell.instance;
  return static_cast<std::intptr_t>(
      platform_.shell.WinExec(WebPageCommand(command, target_), platform::kShowShow));
}

void CHyperLink::Open() {
  const std::intptr_t result = OpenTarget();
  if (result >= kLowestSuccess) {
    state_.visited = true;
    if (window_) window_->Repaint();
    return;
  }
  platform_.system.MessageBeep(platform::kMbIconExclamation);
  platform_.dialogs.MessageBox(host_, kOpenFailurePrefix + OpenFailureMessage(result), kCaption,
                               platform::kMbIconExclamation);
}

}  // namespace sg::controls
