#include "online/update_signature.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "common/ascii.h"
#include "common/hex_text.h"
#include "online/update_public_key.h"
#include "online/windows_executable.h"

namespace sg::online {

namespace {

constexpr std::string_view kStatementProduct = "Snapgate!";

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

// Reads through the held file, every byte read going into the hash as well.
class HashingReader final : public platform::OpenFile {
 public:
  HashingReader(platform::OpenFile& file, platform::Sha256Hash& hash) : file_(file), hash_(hash) {}

  bool Write(std::span<const std::uint8_t>) override { return false; }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
    const std::optional<std::size_t> read = file_.Read(buffer);
    if (read) hash_.Add(buffer.first(*read));
    return read;
  }
  // The file stays open: its holder closes it.
  bool Close() override { return true; }

 private:
  platform::OpenFile& file_;
  platform::Sha256Hash& hash_;
};

bool ReadToEnd(platform::OpenFile& file) {
  std::array<std::uint8_t, 16 * 1024> buffer;
  for (;;) {
    const std::optional<std::size_t> read = file.Read(buffer);
    if (!read) return false;
    if (*read == 0) return true;
  }
}

std::optional<platform::Sha256Digest> Sha256Of(platform::CryptoPort& crypto,
                                               std::string_view text) {
  const std::unique_ptr<platform::Sha256Hash> hash = crypto.StartSha256();
  if (!hash) return std::nullopt;
  hash->Add({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  return hash->Finish();
}

}  // namespace

std::unique_ptr<platform::OpenFile> OpenGenuineInstaller(platform::Platform& platform,
                                                         const std::string& path,
                                                         std::string_view version_text,
                                                         std::string_view signature_text) {
  const std::optional<platform::EcdsaP256Signature> signature = SignatureFromText(signature_text);
  if (!signature || version_text.empty()) return nullptr;
  // Held from before its first byte is read until the caller has started it: the bytes checked
  // are the bytes that run.
  std::unique_ptr<platform::OpenFile> held =
      platform.files.Open(path, platform::FileOpenMode::kReadLocked);
  const std::unique_ptr<platform::Sha256Hash> file_hash = platform.crypto.StartSha256();
  if (!held || !file_hash) return nullptr;
  HashingReader reader(*held, *file_hash);
  if (!LooksLikeWindowsExecutable(reader) || !ReadToEnd(reader)) return nullptr;
  const std::optional<platform::Sha256Digest> file_digest = file_hash->Finish();
  if (!file_digest) return nullptr;

  const std::string statement = std::string(kStatementProduct) + " " + std::string(version_text) +
                                " " + LowercaseHex(*file_digest);
  const std::optional<platform::Sha256Digest> statement_digest =
      Sha256Of(platform.crypto, statement);
  if (!statement_digest ||
      !platform.crypto.VerifyEcdsaP256(kUpdatePublicKey, *statement_digest, *signature)) {
    return nullptr;
  }
  return held;
}

}  // namespace sg::online
