#include "platform/win32/win32_crypto.h"

#include <windows.h>

#include <bcrypt.h>

#include <cstring>
#include <memory>
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
struct CloseFile {
  void operator()(HANDLE file) const { CloseHandle(file); }
};
using Provider = std::unique_ptr<void, CloseProvider>;
using Hash = std::unique_ptr<void, DestroyHash>;
using Key = std::unique_ptr<void, DestroyKey>;
using File = std::unique_ptr<void, CloseFile>;

Provider OpenProvider(LPCWSTR algorithm) {
  BCRYPT_ALG_HANDLE provider = nullptr;
  if (!Succeeded(BCryptOpenAlgorithmProvider(&provider, algorithm, nullptr, 0))) return nullptr;
  return Provider(provider);
}

}  // namespace

std::optional<Sha256Digest> Win32Crypto::Sha256OfFile(const std::string& path) {
  HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return std::nullopt;
  const File file(opened);
  const Provider provider = OpenProvider(BCRYPT_SHA256_ALGORITHM);
  if (!provider) return std::nullopt;
  BCRYPT_HASH_HANDLE created = nullptr;
  // No object buffer of ours: CNG keeps the hash state itself.
  if (!Succeeded(BCryptCreateHash(provider.get(), &created, nullptr, 0, nullptr, 0, 0))) {
    return std::nullopt;
  }
  const Hash hash(created);

  std::vector<UCHAR> buffer(64 * 1024);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;
    if (!Succeeded(BCryptHashData(hash.get(), buffer.data(), read, 0))) return std::nullopt;
  }
  Sha256Digest digest;
  if (!Succeeded(BCryptFinishHash(hash.get(), digest.data(), digest.size(), 0))) {
    return std::nullopt;
  }
  return digest;
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
