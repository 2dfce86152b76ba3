#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace sg::platform {

using Sha256Digest = std::array<std::uint8_t, 32>;
// A P-256 public key as its point's coordinates X||Y, 32 bytes each, big-endian.
using EcdsaP256PublicKey = std::array<std::uint8_t, 64>;
// An ECDSA P-256 signature as r||s, 32 bytes each, big-endian.
using EcdsaP256Signature = std::array<std::uint8_t, 64>;

// A SHA-256 fed piece by piece, so that a file is hashed through the handle it is read with.
class Sha256Hash {
 public:
  virtual ~Sha256Hash() = default;
  virtual void Add(std::span<const std::uint8_t> bytes) = 0;
  // The digest of everything added; nothing when the system failed on the way. The hash is
  // spent afterwards.
  virtual std::optional<Sha256Digest> Finish() = 0;
};

// Hashing and signature checks of the system's cryptography (CNG's BCrypt).
class CryptoPort {
 public:
  virtual ~CryptoPort() = default;
  // Null when the system cannot hash.
  virtual std::unique_ptr<Sha256Hash> StartSha256() = 0;
  // True only when the signature of the digest is valid for the key; a key that is no point
  // of the curve verifies nothing.
  virtual bool VerifyEcdsaP256(const EcdsaP256PublicKey& public_key_xy, const Sha256Digest& digest,
                               const EcdsaP256Signature& signature_rs) = 0;
};

}  // namespace sg::platform
