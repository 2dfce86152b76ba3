#include "online/update_signature.h"

#include <optional>

#include "common/ascii.h"
#include "online/update_public_key.h"
#include "online/windows_executable.h"

namespace sg::online {

namespace {

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<platform::EcdsaP256Signature> SignatureFromText(std::string_view text) {
  text = TrimmedAsciiSpace(text);

  platform::EcdsaP256Signature signature;
  if (text.size() != 2 * signature.size()) return std::nullopt;
  for (std::size_t i = 0; i < signature.size(); ++i) {
    const std::optional<int> high = HexDigit(text[2 * i]);
    const std::optional<int> low = HexDigit(text[2 * i + 1]);
    if (!high || !low) return std::nullopt;
    signature[i] = static_cast<std::uint8_t>(*high << 4 | *low);
  }
  return signature;
}

}  // namespace

bool IsGenuineInstaller(platform::Platform& platform, const std::string& path,
                        std::string_view signature_text) {
  const std::optional<platform::EcdsaP256Signature> signature = SignatureFromText(signature_text);
  if (!signature || !LooksLikeWindowsExecutable(platform.files, path)) return false;
  const std::optional<platform::Sha256Digest> digest = platform.crypto.Sha256OfFile(path);
  return digest && platform.crypto.VerifyEcdsaP256(kUpdatePublicKey, *digest, *signature);
}

}  // namespace sg::online
