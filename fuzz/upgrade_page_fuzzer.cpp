// The maker's upgrade page, "Check for Upgrade" from the page's lines to the installation. The
// input is the page as the server sends it. The maker's signature of the installer depends on
// the build's key, so a page names it by the placeholder SIGNATURE, which stands for the
// signature of the installer under the version the page gives; the installer is served at the
// link the real page gives.
#include <string>
#include <vector>

#include "common/ascii.h"
#include "fuzz/fuzz_check.h"
#include "online/http_fetcher.h"
#include "online/upgrade_dialog.h"
#include "online/upgrade_page.h"
#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"
#include "settings/registry_store.h"
#include "support/signed_installer.h"

namespace {

using sg::fuzz::Check;
using sg::online::UpgradeOffer;

const std::string kPage = "http://www.snapgate.example/snapgate_upgrade_check.html";
const std::string kLink = "http://www.snapgate.example/Snapgate-3.300-setup.exe";
const std::string kTemp = "C:\\Users\\ann\\AppData\\Local\\Temp";
constexpr float kCurrentVersion = 3.293f;

struct Steps final : sg::online::UpgradeSteps {
  void BeforeRemoval() override { calls.push_back("before removal"); }
  void BeforeEnd() override { calls.push_back("before end"); }
  void EndProgram() override { calls.push_back("end program"); }
  std::vector<std::string> calls;
};

bool AnyLineHolds(const std::vector<std::string>& lines, const char* marker) {
  for (const std::string& line : lines) {
    if (line.find(marker) != std::string::npos) return true;
  }
  return false;
}

// A page without a marker keeps what the offer held for it, but for the description and the
// signature, which every page sets afresh.
void CheckWhatIsKept(const std::vector<std::string>& lines) {
  UpgradeOffer offer{1.5f, "1.50", "old description", "old link", "old signature"};
  sg::online::ParseUpgradePage(lines, offer);
  if (!AnyLineHolds(lines, sg::online::kVersionMarker)) {
    Check(offer.new_version == 1.5f && offer.version_text == "1.50",
          "no version marker, the old version");
  }
  if (!AnyLineHolds(lines, sg::online::kDownloadLinkMarker)) {
    Check(offer.download_link == "old link", "no link marker, the old link");
  }
  if (!AnyLineHolds(lines, sg::online::kDescriptionMarker)) {
    Check(offer.description.empty(), "no description marker, no description");
  }
  if (!AnyLineHolds(lines, sg::online::kSignatureMarker)) {
    Check(offer.signature.empty(), "no signature marker, no signature");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  sg::platform::fake::FakePlatform platform;
  platform.system.SetLocalTime({2026, 12, 9, 10, 0, 0});
  platform.files.CreateDirectory(kTemp);
  const std::string installer = sg::testing::Executable();
  std::string page(sg::fuzz::TextOf(data, size));
  // Signed for the version the page gives before the placeholder is filled in: a number that
  // runs on into the signature is another version, and refused.
  platform.internet.Serve(kPage, {.body = page});
  UpgradeOffer as_written;
  sg::online::ParseUpgradePage(sg::online::HttpFetcher(platform.ports()).Fetch(kPage), as_written);
  const std::string signature = sg::testing::Sign(platform, as_written.version_text, installer);
  for (std::size_t at = 0; (at = page.find("SIGNATURE", at)) != std::string::npos;) {
    page.replace(at, 9, signature);
    at += signature.size();
  }
  platform.internet.Serve(kPage, {.body = page});
  platform.internet.Serve(kLink, {.body = installer});

  const std::vector<std::string> lines = sg::online::HttpFetcher(platform.ports()).Fetch(kPage);
  CheckWhatIsKept(lines);
  UpgradeOffer offer;
  sg::online::ParseUpgradePage(lines, offer);

  // The user clicks "Check for Upgrade" and says yes to whatever is offered.
  Steps steps;
  std::vector<std::string> ran;
  for (const char* program : {"unins000", "NewUpdate"}) {
    platform.shell.InstallProgram(
        program, [&ran, program](const std::string&) { ran.emplace_back(program); });
  }
  platform.dialogs.AnswerMessageBox(sg::platform::kIdYes);
  platform.dialogs.ScriptModal(IDD_UPGRADE, [](sg::platform::fake::FakeDialogHost& dialog) {
    dialog.Click(sg::platform::kIdOk);
  });
  {
    sg::online::UpgradeDialog upgrade(platform.ports(), steps);
    upgrade.ConfigureUpgrade("Snapgate!", kCurrentVersion, kPage);
    upgrade.ShowUpgradeDialog(nullptr);
  }

  const auto boxes = platform.dialogs.MessageBoxes();
  Check(!boxes.empty(), "the user always hears of the check");
  const bool offered = offer.new_version > kCurrentVersion;
  Check(boxes.front().caption == (offered ? "A new upgrade is available." : "Snapgate!"),
        "a newer version is offered, any other is not");
  Check(boxes.front().text.size() <= 2200, "a long description is cut to fit the screen");
  if (platform.system.ExitCode()) {
    Check(offered, "only a newer version is installed");
    Check(sg::AsciiLower(sg::TrimmedAsciiSpace(offer.signature)) == signature &&
              offer.version_text == as_written.version_text,
          "only the maker's installer signed for that version is run");
    Check(ran == std::vector<std::string>{"unins000", "NewUpdate"}, "uninstall, then setup");
    Check(steps.calls == std::vector<std::string>{"before removal", "before end"},
          "the program steps aside, then ends");
  } else {
    Check(ran.empty() && steps.calls.empty(), "nothing is run without a genuine installer");
  }
  Check(platform.files.ListFolder(kTemp).size() == 2, "no download or its folder is left");
  Check(platform.internet.OpenHandles() == 0, "every connection is closed");
  Check(platform.registry.OpenHandleCount() == 0, "every key opened is closed");
  Check(sg::settings::RegistryStore(platform.ports().registry)
                .ReadString("Snapgate!", "UpgradeDate") == "12 9 2026",
        "the check is recorded");
  return 0;
}
