// Upgrade installers as they arrive: whole and signed by us, cut short, signed by someone else,
// not installers at all, or with a signature line that is no signature.
#include "online/update_signature.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "online/update_public_key.h"
#include "platform/fake/fake_platform.h"
#include "support/signed_installer.h"

namespace sg::online {
namespace {

using platform::EcdsaP256PublicKey;
using sg::testing::Executable;

constexpr char kInstaller[] = "C:\\Documents and Settings\\ann\\Local Settings\\Temp\\setup.exe";
constexpr char kVersion[] = "3.30";

class UpgradeDownload : public ::testing::Test {
 protected:
  std::string Sign(const std::string& content, const EcdsaP256PublicKey& key = kUpdatePublicKey) {
    return sg::testing::Sign(platform_, kVersion, content, key);
  }

  bool Genuine(std::string_view signature_text) {
    return OpenGenuineInstaller(platform_.ports(), kInstaller, kVersion, signature_text) != nullptr;
  }

  platform::fake::FakePlatform platform_;
};

TEST_F(UpgradeDownload, ASignedInstallerThatArrivedWholeIsGenuine) {
  const std::string installer = Executable();
  const std::string signature = Sign(installer);
  platform_.files.PutFile(kInstaller, installer);

  EXPECT_TRUE(Genuine(signature));
  std::string shouted = signature;
  std::transform(shouted.begin(), shouted.end(), shouted.begin(), ::toupper);
  EXPECT_TRUE(Genuine(shouted)) << "hex digits of either case";
}

TEST_F(UpgradeDownload, TheSignatureLineMayCarryWhiteSpaceAroundItButNotWithin) {
  const std::string installer = Executable();
  const std::string signature = Sign(installer);
  platform_.files.PutFile(kInstaller, installer);

  EXPECT_TRUE(Genuine("\n" + signature + "\r\n"));
  EXPECT_TRUE(Genuine("  \t" + signature + " \n"));
  EXPECT_FALSE(Genuine(signature.substr(0, 64) + " " + signature.substr(64)));
}

TEST_F(UpgradeDownload, ADownloadCutShortIsRefused) {
  const std::string installer = Executable();
  const std::string signature = Sign(installer);
  platform_.files.PutFile(kInstaller, installer.substr(0, installer.size() - 1));
  EXPECT_FALSE(Genuine(signature));
}

TEST_F(UpgradeDownload, AnyOtherSignatureIsRefused) {
  const std::string installer = Executable();
  std::string altered = Sign(installer);
  platform_.files.PutFile(kInstaller, installer);
  altered.back() = altered.back() == '0' ? '1' : '0';
  EXPECT_FALSE(Genuine(altered)) << "its last digit changed";

  // Someone else's key signed the very same file.
  EcdsaP256PublicKey their_key = kUpdatePublicKey;
  their_key[10] ^= 0x40;
  EXPECT_FALSE(Genuine(Sign(installer, their_key)));
}

TEST_F(UpgradeDownload, ASignedFileThatIsNoWindowsExecutableIsRefused) {
  struct Download {
    const char* what;
    std::string content;
  };
  const std::vector<Download> downloads = {
      {"an error page", "<html><body>503 Service Unavailable</body></html>"},
      {"MZ alone", "MZ"},
      {"a DOS header cut short", Executable().substr(0, 0x3E)},
      {"a PE header beyond the end", Executable().replace(0x3C, 4, std::string("\0\0\1\0", 4))},
      {"garbage where the PE header should be", Executable(0x80, "\x90\x90\x90\x90")},
      {"a PE signature cut short", Executable().substr(0, 0x82)},
  };
  for (const Download& download : downloads) {
    SCOPED_TRACE(download.what);
    const std::string signature = Sign(download.content);
    platform_.files.PutFile(kInstaller, download.content);
    EXPECT_FALSE(Genuine(signature));
  }
}

TEST_F(UpgradeDownload, ThePeHeaderMayLieAnywhereTheOffsetSays) {
  // Right after the DOS header, far behind it, and within it.
  for (const std::uint32_t offset : {64u, 10'000u, 4u}) {
    SCOPED_TRACE(offset);
    const std::string installer = Executable(offset);
    const std::string signature = Sign(installer);
    platform_.files.PutFile(kInstaller, installer);
    EXPECT_TRUE(Genuine(signature));
  }
}

TEST_F(UpgradeDownload, SignatureTextThatIsNoSignatureIsRefused) {
  const std::string installer = Executable();
  const std::string signature = Sign(installer);
  platform_.files.PutFile(kInstaller, installer);

  const std::vector<std::string> texts = {
      "",
      " \r\n",
      signature.substr(1),
      signature + "0",
      signature + "00",
      "0x" + signature.substr(2),
      signature.substr(0, 100) + "g" + signature.substr(101),
      signature.substr(0, 100) + "\xE9" + signature.substr(101),
      std::string(signature).replace(50, 1, 1, '\0'),
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(Genuine(text));
  }
}

TEST_F(UpgradeDownload, AMissingOrUnreadableFileIsRefused) {
  const std::string installer = Executable();
  const std::string signature = Sign(installer);
  EXPECT_FALSE(Genuine(signature)) << "nothing downloaded";

  {
    // Someone is still writing it.
    platform_.files.PutFile(kInstaller, installer);
    auto writer =
        platform_.ports().files.Open(kInstaller, platform::FileOpenMode::kCreateWriteOnly);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(
        writer->Write({reinterpret_cast<const std::uint8_t*>(installer.data()), installer.size()}));
    EXPECT_FALSE(Genuine(signature));
  }
  EXPECT_TRUE(Genuine(signature));

  platform_.files.FailReadsOf(kInstaller);
  EXPECT_FALSE(Genuine(signature));
}

}  // namespace
}  // namespace sg::online
