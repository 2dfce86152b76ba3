#include "platform/win32/win32_crypto.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace sg::platform::win32 {

namespace {

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

struct CloseProvider {
  void operator()(BCRYPT_ALG_HANDLE provider) const { BCryptCloseAlgorithmProvider(provider, 0); }
};
struct DestroyHash {
  void operator()(BCRYPT_HASH_HANDLE hash) const { BCryptDestroyHash(hash); }
};
struct DestroyKey {
  void operator()(BCRYPT_KEY_HANDLE key) const { BCryptDestroyKey(key); }
};
using Provider = std::unique_ptr<void, CloseProvider>;
using Hash = std::unique_ptr<void, DestroyHash>;
using Key = std::unique_ptr<void, DestroyKey>;

Provider OpenProvider(LPCWSTR algorithm) {
  BCRYPT_ALG_HANDLE provider = nullptr;
  if (!Succeeded(BCryptOpenAlgorithmProvider(&provider, algorithm, nullptr, 0))) return nullptr;
  return Provider(provider);
}

class BcryptSha256 final : public Sha256Hash {
 public:
  BcryptSha256(Provider provider, Hash hash)
      : provider_(std::move(provider)), hash_(std::move(hash)) {}

  void Add(std::span<const std::uint8_t> bytes) override {
    // BCrypt takes a writable pointer and a 32-bit length; it only reads.
    constexpr std::size_t kPiece = 1 << 30;
    for (std::size_t at = 0; at < bytes.size() && hash_; at += kPiece) {
      const std::size_t size = std::min(kPiece, bytes.size() - at);
      if (!Succeeded(BCryptHashData(hash_.get(), const_cast<PUCHAR>(bytes.data() + at),
                                    static_cast<ULONG>(size), 0))) {
        hash_.reset();
      }
    }
  }

  std::optional<Sha256Digest> Finish() override {
    Sha256Digest digest;
    const Hash spent = std::move(hash_);
    if (!spent || !Succeeded(BCryptFinishHash(spent.get(), digest.data(), digest.size(), 0))) {
      return std::nullopt;
    }
    return digest;
  }

 private:
  Provider provider_;  // outlives the hash made with it
  Hash hash_;          // null once failed or finished
};

}  // namespace

std::unique_ptr<Sha256Hash> Win32Crypto::StartSha256() {
  Provider provider = OpenProvider(BCRYPT_SHA256_ALGORITHM);
  if (!provider) return nullptr;
  BCRYPT_HASH_HANDLE created = nullptr;
  // No object buffer of ours: CNG keeps the hash state itself.
  if (!Succeeded(BCryptCreateHash(provider.get(), &created, nullptr, 0, nullptr, 0, 0))) {
    return nullptr;
  }
  Hash hash(created);
  return std::make_unique<BcryptSha256>(std::move(provider), std::move(hash));
}

bool Win32Crypto::VerifyEcdsaP256(const EcdsaP256PublicKey& public_key_xy,
                                  const Sha256Digest& digest,
                                  const EcdsaP256Signature& signature_rs) {
  const Provider provider = OpenProvider(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!provider) return false;
  // BCRYPT_ECCPUBLIC_BLOB: the blob header, then X and Y.
  std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + public_key_xy.size());
  const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC,
                                  static_cast<ULONG>(public_key_xy.size() / 2)};
  std::memcpy(blob.data(), &header, sizeof(header));
  std::memcpy(blob.data() + sizeof(header), public_key_xy.data(), public_key_xy.size());
  BCRYPT_KEY_HANDLE imported = nullptr;
  if (!Succeeded(BCryptImportKeyPair(provider.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &imported,
                                     blob.data(), static_cast<ULONG>(blob.size()), 0))) {
    return false;
  }
  const Key key(imported);
  // BCrypt takes writable pointers; it only reads them.
  Sha256Digest hash = digest;
  EcdsaP256Signature signature = signature_rs;
  return Succeeded(BCryptVerifySignature(key.get(), nullptr, hash.data(), hash.size(),
                                         signature.data(), signature.size(), 0));
}

}  // namespace sg::platform::win32
