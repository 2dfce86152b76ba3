#pragma once

#include <cstdint>
#include <string>

#include "platform/ports/platform.h"

namespace sg::controls {

// Behaviour flags of a link.
inline constexpr std::uint32_t kUnderlineText = 0x01;
inline constexpr std::uint32_t kHoverColour = 0x02;
inline constexpr std::uint32_t kSizeToText = 0x04;
inline constexpr std::uint32_t kOpenOnPress = 0x08;
inline constexpr std::uint32_t kFocusOnClick = 0x10;
inline constexpr std::uint32_t kNoHandCursor = 0x20;
inline constexpr std::uint32_t kNoFocusColour = 0x40;
inline constexpr std::uint32_t kDefaultLinkStyle = kUnderlineText | kSizeToText | kFocusOnClick;

// Colours as Windows takes them: 0x00BBGGRR.
constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return red | (green << 8) | (std::uint32_t{blue} << 16);
}
inline constexpr std::uint32_t kLinkColour = Rgb(0, 0, 255);
inline constexpr std::uint32_t kVisitedColour = Rgb(128, 0, 128);
inline constexpr std::uint32_t kFocusColour = Rgb(0, 128, 128);
inline constexpr std::uint32_t kHoverColourValue = Rgb(255, 0, 0);

inline constexpr char kOpenFailurePrefix[] = "Can't open link:\n\n";

struct LinkState {
  bool pointer_over = false;
  bool visited = false;
  bool armed = false;
};

// The text colour of a link in a state; the first of hover, focus, visited that applies.
std::uint32_t LinkTextColour(const LinkState& state, std::uint32_t style);

// Where a static control goes when sized to its text: window is its rectangle in the parent's
// client area, static_style its window style. The side the alignment anchors stays put.
platform::WindowRect SizedToText(const platform::WindowRect& window,
                                 const platform::WindowRect& client, platform::TextExtent text,
                                 std::uint32_t static_style);

// The command that opens a target with the program registered for web pages: the registered
// command cut at its "%1" argument, a blank and the target.
std::string WebPageCommand(std::string registered_command, const std::string& target);

// What the user is told when a target cannot be opened: the reason for a ShellExecute or
// WinExec result code, after kOpenFailurePrefix.
std::string OpenFailureMessage(std::intptr_t code);

// A static control of a dialog turned into a link: drawn underlined in link colours, a hand
// pointer and the target as tooltip over it; a click or the space bar opens the target.
class CHyperLink final : public platform::HyperlinkEvents {
 public:
  explicit CHyperLink(platform::Platform& platform, std::uint32_t style = kDefaultLinkStyle)
      : platform_(platform), style_(style) {}

  // The host's control becomes this link; the link must outlive the dialog window.
  void Attach(platform::DialogHost& host, int control);
  void SetUrl(const std::string& target);
  const std::string& Url() const { return target_; }
  std::uint32_t Style() const { return style_; }
  const LinkState& State() const { return state_; }
  // Opens the target with the shell, else with the program for web pages; tells the user
  // when neither can.
  void Open();

  void OnAttach(platform::HyperlinkWindow& window) override;
  std::uint32_t TextColour() override { return LinkTextColour(state_, style_); }
  void OnMouseMove(bool inside) override;
  void OnLeftButtonDown() override;
  void OnLeftButtonUp() override;
  void OnSetFocus() override;
  void OnKillFocus() override;
  bool OnKeyDown(std::uint32_t virtual_key) override;

 private:
  // The result of the shell, or of the web page command when the shell failed.
  std::intptr_t OpenTarget();
  void SizeToText();

  platform::Platform& platform_;
  std::uint32_t style_;
  std::string target_;
  LinkState state_;
  platform::DialogHost* host_ = nullptr;
  platform::HyperlinkWindow* window_ = nullptr;
};

}  // namespace sg::controls
