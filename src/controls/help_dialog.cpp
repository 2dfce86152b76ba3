#include "controls/help_dialog.h"

#include <string>

#include "common/web_addresses.h"
#include "resources/resource_ids.h"

namespace sg::controls {

std::string HelpCaption() {
  return std::string("Snapgate! Online Help at ") + kWebSiteHost;
}

HelpDialog::HelpDialog(platform::Platform& platform)
    : ResizableDialog(platform, IDD_HELP), email_(platform), web_site_(platform) {}

void HelpDialog::OnInitDialog(platform::DialogHost& host) {
  AddAnchor(IDC_HELP_OK, kAnchorMoveRight | kAnchorMoveDown);
  AddAnchor(IDC_HELP_POPUP_TEST, kAnchorMoveRight | kAnchorMoveDown);
  AddAnchor(IDC_HELP_BROWSER, kAnchorStretchRight | kAnchorStretchDown);
  AddAnchor(IDC_HELP_ANIMATION, kAnchorMoveDown);
  AddAnchor(IDC_HELP_EMAIL, kAnchorMoveDown);
  AddAnchor(IDC_HELP_WEB_SITE, kAnchorMoveDown);
  SetMinimumTrackingSize(kHelpMinimumWidth, kHelpMinimumHeight);
  ResizableDialog::OnInitDialog(host);

  host.SetTitle(HelpCaption());
  host.SetText(IDC_HELP_VERSION, kHelpVersionText);
  browser_embedded_ = host.EmbedBrowser(IDC_HELP_BROWSER, kHelpPageAddress);
  host.PlayAnimation(IDC_HELP_ANIMATION, IDR_AVI_IDLE);
  // The e-mail link's target is its own text.
  host.SetText(IDC_HELP_EMAIL, kSupportEmail);
  email_.Attach(host, IDC_HELP_EMAIL);
  host.SetText(IDC_HELP_WEB_SITE, kWebSite);
  web_site_.Attach(host, IDC_HELP_WEB_SITE);
  web_site_.SetUrl(kProductPage);
}

}  // namespace sg::controls
