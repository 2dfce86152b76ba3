#pragma once

#include <map>
#include <utility>

#include "platform/ports/crypto.h"
#include "platform/ports/files.h"

namespace sg::platform::fake {

// Real SHA-256 over the files of the fake file system. Signatures are no mathematics here:
// a signature verifies when a test registered it as the one for that key and digest, so the
// logic is tested without elliptic curves (the Wine tests check the real ones).
class FakeCrypto final : public CryptoPort {
 public:
  explicit FakeCrypto(FilePort& files) : files_(files) {}

  std::optional<Sha256Digest> Sha256OfFile(const std::string& path) override;
  bool VerifyEcdsaP256(const EcdsaP256PublicKey& public_key_xy, const Sha256Digest& digest,
                       const EcdsaP256Signature& signature_rs) override;

  // For tests: the signature that the holder of the key's private half made of the digest.
  void AcceptSignature(const EcdsaP256PublicKey& public_key_xy, const Sha256Digest& digest,
                       const EcdsaP256Signature& signature_rs);

 private:
  FilePort& files_;
  std::map<std::pair<EcdsaP256PublicKey, Sha256Digest>, EcdsaP256Signature> signatures_;
};

}  // namespace sg::platform::fake
