#pragma once

#include "controls/hyperlink.h"
#include "controls/resizable_dialog.h"
#include "platform/ports/platform.h"

namespace sg::controls {

// The help page inside the executable: HTML resource (type 23) 186, by the file's name.
inline constexpr const char* kHelpPageAddress = "res://Snapgate! 3.293.exe/23/186";
inline constexpr const char* kHelpVersionText =
    "Snapgate! Version 3.293\r\nPopup blocker and anti-spyware tools";
inline constexpr int kHelpMinimumWidth = 400;
inline constexpr int kHelpMinimumHeight = 400;

// "Snapgate! Online Help at " and the web site's host.
std::string HelpCaption();

// The online-help window (template IDD_HELP), shown modally:
// platform.dialogs.RunModal(IDD_HELP, dialog, owner). Closes with OK.
class HelpDialog final : public ResizableDialog {
 public:
  explicit HelpDialog(platform::Platform& platform);

  // False when the browser control could not be made and the frame shows the address instead.
  bool browser_embedded() const { return browser_embedded_; }
  const CHyperLink& email_link() const { return email_; }
  const CHyperLink& web_site_link() const { return web_site_; }

  void OnInitDialog(platform::DialogHost& host) override;

 private:
  CHyperLink email_;
  CHyperLink web_site_;
  bool browser_embedded_ = false;
};

}  // namespace sg::controls
