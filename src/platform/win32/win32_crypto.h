#pragma once

#include "platform/ports/crypto.h"

namespace sg::platform::win32 {

// CNG's BCrypt: SHA-256 and ECDSA P-256.
class Win32Crypto final : public CryptoPort {
 public:
  std::unique_ptr<Sha256Hash> StartSha256() override;
  bool VerifyEcdsaP256(const EcdsaP256PublicKey& public_key_xy, const Sha256Digest& digest,
                       const EcdsaP256Signature& signature_rs) override;
};

}  // namespace sg::platform::win32
