#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace sg::platform {

using Sha256Digest = std::array<std::uint8_t, 32>;
// A P-256 public key as its point's coordinates X||Y, 32 bytes each, big-endian.
using EcdsaP256PublicKey = std::array<std::uint8_t, 64>;
// An ECDSA P-256 signature as r||s, 32 bytes each, big-endian.
using EcdsaP256Signature = std::array<std::uint8_t, 64>;

// Hashing and signature checks of the system's cryptography (CNG's BCrypt).
class CryptoPort {
 public:
  virtual ~CryptoPort() = default;
  // The SHA-256 of a file's whole content, read in pieces; nothing when it cannot be read.
  virtual std::optional<Sha256Digest> Sha256OfFile(const std::string& path) = 0;
  // True only when the signature of the digest is valid for the key; a key that is no point
  // of the curve verifies nothing.
  virtual bool VerifyEcdsaP256(const EcdsaP256PublicKey& public_key_xy, const Sha256Digest& digest,
                               const EcdsaP256Signature& signature_rs) = 0;
};

}  // namespace sg::platform
