#pragma once

#include <map>
#include <utility>

#include "platform/ports/crypto.h"

namespace sg::platform::fake {

// Real SHA-256. Signatures are no mathematics here: a signature verifies when a test registered
// it as the one for that key and digest, so the logic is tested without elliptic curves (the
// Wine tests check the real ones).
class FakeCrypto final : public CryptoPort {
 public:
  std::unique_ptr<Sha256Hash> StartSha256() override;
  bool VerifyEcdsaP256(const EcdsaP256PublicKey& public_key_xy, const Sha256Digest& digest,
                       const EcdsaP256Signature& signature_rs) override;

  // For tests: the signature that the holder of the key's private half made of the digest.
  void AcceptSignature(const EcdsaP256PublicKey& public_key_xy, const Sha256Digest& digest,
                       const EcdsaP256Signature& signature_rs);

 private:
  std::map<std::pair<EcdsaP256PublicKey, Sha256Digest>, EcdsaP256Signature> signatures_;
};

}  // namespace sg::platform::fake
