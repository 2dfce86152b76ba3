#pragma once

// Upgrade installers for the tests: a small Windows executable, and the maker's signature of a
// release as the upgrade page shows it. The fake checks a signature by looking it up, so
// "signing" registers what the maker published.
#include <algorithm>
#include <cstdint>
#include <string>

#include "online/update_public_key.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/sha256.h"
#include "support/hex.h"

namespace sg::testing {

// "MZ", the PE header's offset at 0x3C, the PE header there, then a body.
inline std::string Executable(std::uint32_t pe_offset = 0x80,
                              const std::string& pe_signature = std::string("PE\0\0", 4)) {
  std::string bytes(std::max<std::size_t>(pe_offset + 4, 64), '\0');
  bytes.replace(0, 2, "MZ");
  bytes.replace(pe_offset, 4, pe_signature);
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>(pe_offset >> (8 * i));
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 31);
  return bytes;
}

// The signature line of a digest as the holder of the key's private half makes it.
inline std::string SignDigest(platform::fake::FakePlatform& platform,
                              const platform::Sha256Digest& digest,
                              const platform::EcdsaP256PublicKey& key = online::kUpdatePublicKey) {
  platform::EcdsaP256Signature signature;
  for (std::size_t i = 0; i < signature.size(); ++i) {
    signature[i] = static_cast<std::uint8_t>(digest[i % digest.size()] ^ key[i] ^ i);
  }
  platform.crypto.AcceptSignature(key, digest, signature);
  return HexOf(signature);
}

// The maker's signature line of a release: the statement of its version and its setup
// program's SHA-256.
inline std::string Sign(platform::fake::FakePlatform& platform, const std::string& version,
                        const std::string& content,
                        const platform::EcdsaP256PublicKey& key = online::kUpdatePublicKey) {
  return SignDigest(platform,
                    platform::fake::Sha256Of("Snapgate! " + version + " " +
                                             HexOf(platform::fake::Sha256Of(content))),
                    key);
}

}  // namespace sg::testing
