#include "platform/fake/fake_crypto.h"

#include <array>
#include <cstdint>

#include "platform/fake/sha256.h"

namespace sg::platform::fake {

std::optional<Sha256Digest> FakeCrypto::Sha256OfFile(const std::string& path) {
  // Through the file port, so that a file a test cannot open or read hashes to nothing.
  std::unique_ptr<OpenFile> file = files_.Open(path, FileOpenMode::kReadOnly);
  if (!file) return std::nullopt;
  Sha256 hash;
  std::array<std::uint8_t, 4096> buffer;
  for (;;) {
    const std::optional<std::size_t> read = file->Read(buffer);
    if (!read) return std::nullopt;
    if (*read == 0) return hash.Finish();
    hash.Update(std::span(buffer).first(*read));
  }
}

bool FakeCrypto::VerifyEcdsaP256(const EcdsaP256PublicKey& public_key_xy,
                                 const Sha256Digest& digest,
                                 const EcdsaP256Signature& signature_rs) {
  const auto found = signatures_.find({public_key_xy, digest});
  return found != signatures_.end() && found->second == signature_rs;
}

void FakeCrypto::AcceptSignature(const EcdsaP256PublicKey& public_key_xy,
                                 const Sha256Digest& digest,
                                 const EcdsaP256Signature& signature_rs) {
  signatures_[{public_key_xy, digest}] = signature_rs;
}

}  // namespace sg::platform::fake
