// SHA-256 and ECDSA P-256 through Wine's real BCrypt. The signature below was made with
// openssl from a key pair of these tests alone; only its public half is kept.
#include "platform/win32/win32_crypto.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/hex.h"
#include "support/system_under_test.h"

namespace sg::platform::win32 {
namespace {

using sg::testing::BytesOf;
using sg::testing::HexOf;

const EcdsaP256PublicKey kTestKey = BytesOf<64>(
    "e995f5bad1f983e502ec73f6b30bf5e46cfb83284f91918555eb6262a5d7a214"
    "8635252f6f647530beeb52fd51f873337bf2216c7f8bf15c2b0ff91e290189e6");
const EcdsaP256PublicKey kOtherKey = BytesOf<64>(
    "33afe9ea91880471a1d6ba800c687a615d4f3a627b0409bf7de085c42b1fa9d9"
    "b5ef4ca4c3dd52867e3d8edbe5a4e19008fe3a93576ad968626fbe7348b049b8");
// SHA-256 of "abc".
const Sha256Digest kDigestOfAbc =
    BytesOf<32>("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
// What "openssl dgst -sha256 -sign" made of "abc" with the test key, as r||s.
const EcdsaP256Signature kSignatureOfAbc = BytesOf<64>(
    "2b1af5a41b48e989beb0eccae2840e7dc386a2dcb853057cb56f5a44b7773e27"
    "91f08a37bc591adb8bf759cf3eaf9df8ddd619f81de3977b3280ffd6a5597adb");

std::string WriteScratchFile(const std::string& name, const std::string& content) {
  const std::string path = sg::testing::ScratchFolder() + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE) << path << ": error " << GetLastError();
  DWORD written = 0;
  EXPECT_TRUE(
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
  CloseHandle(file);
  return path;
}

TEST(CryptoPortUnderWine, FilesHashToTheirPublishedDigests) {
  Win32Crypto crypto;
  // Bigger than one read of the adapter, and no whole number of hash blocks.
  const std::string million = WriteScratchFile("million-a.bin", std::string(1'000'000, 'a'));
  const auto digest = crypto.Sha256OfFile(million);
  ASSERT_TRUE(digest);
  EXPECT_EQ(HexOf(*digest), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

  const auto empty = crypto.Sha256OfFile(WriteScratchFile("empty.bin", ""));
  ASSERT_TRUE(empty);
  EXPECT_EQ(HexOf(*empty), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  DeleteFileA(million.c_str());
}

TEST(CryptoPortUnderWine, AFileThatIsNotThereHasNoDigest) {
  Win32Crypto crypto;
  EXPECT_FALSE(crypto.Sha256OfFile(sg::testing::ScratchFolder() + "never-written.bin"));
}

TEST(CryptoPortUnderWine, TheTestKeysSignatureVerifies) {
  Win32Crypto crypto;
  const auto digest = crypto.Sha256OfFile(WriteScratchFile("abc.txt", "abc"));
  ASSERT_TRUE(digest);
  ASSERT_EQ(*digest, kDigestOfAbc);
  EXPECT_TRUE(crypto.VerifyEcdsaP256(kTestKey, *digest, kSignatureOfAbc));
}

TEST(CryptoPortUnderWine, AFlippedBitAnywhereOrAnotherKeyVerifiesNothing) {
  Win32Crypto crypto;
  EcdsaP256Signature flipped_signature = kSignatureOfAbc;
  flipped_signature[40] ^= 0x01;
  EXPECT_FALSE(crypto.VerifyEcdsaP256(kTestKey, kDigestOfAbc, flipped_signature)) << "in s";
  flipped_signature = kSignatureOfAbc;
  flipped_signature[0] ^= 0x80;
  EXPECT_FALSE(crypto.VerifyEcdsaP256(kTestKey, kDigestOfAbc, flipped_signature)) << "in r";
  Sha256Digest flipped_digest = kDigestOfAbc;
  flipped_digest[31] ^= 0x01;
  EXPECT_FALSE(crypto.VerifyEcdsaP256(kTestKey, flipped_digest, kSignatureOfAbc));

  EXPECT_FALSE(crypto.VerifyEcdsaP256(kOtherKey, kDigestOfAbc, kSignatureOfAbc));
}

TEST(CryptoPortUnderWine, AKeyOffTheCurveOrAnEmptySignatureVerifiesNothing) {
  Win32Crypto crypto;
  EcdsaP256PublicKey off_the_curve = kTestKey;
  off_the_curve[63] ^= 0x01;
  EXPECT_FALSE(crypto.VerifyEcdsaP256(off_the_curve, kDigestOfAbc, kSignatureOfAbc));
  EXPECT_FALSE(crypto.VerifyEcdsaP256(EcdsaP256PublicKey{}, kDigestOfAbc, kSignatureOfAbc));
  EXPECT_FALSE(crypto.VerifyEcdsaP256(kTestKey, kDigestOfAbc, EcdsaP256Signature{}));
}

}  // namespace
}  // namespace sg::platform::win32
