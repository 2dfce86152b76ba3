// SHA-256 and ECDSA P-256 through Wine's real BCrypt. The signature below was made with
// openssl from a key pair of these tests alone; only its public half is kept.
#include "platform/win32/win32_crypto.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "support/hex.h"

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

std::optional<Sha256Digest> Sha256InPieces(const std::string& bytes, std::size_t piece) {
  Win32Crypto crypto;
  const auto hash = crypto.StartSha256();
  if (!hash) return std::nullopt;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    hash->Add({reinterpret_cast<const std::uint8_t*>(bytes.data()) + at,
               std::min(piece, bytes.size() - at)});
  }
  return hash->Finish();
}

TEST(CryptoPortUnderWine, BytesHashToTheirPublishedDigests) {
  // In pieces of no whole number of hash blocks.
  const auto digest = Sha256InPieces(std::string(1'000'000, 'a'), 999);
  ASSERT_TRUE(digest);
  EXPECT_EQ(HexOf(*digest), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

  const auto empty = Sha256InPieces("", 1);
  ASSERT_TRUE(empty);
  EXPECT_EQ(HexOf(*empty), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(CryptoPortUnderWine, AFinishedHashGivesNoSecondDigest) {
  Win32Crypto crypto;
  const auto hash = crypto.StartSha256();
  ASSERT_TRUE(hash);
  hash->Add({reinterpret_cast<const std::uint8_t*>("abc"), 3});
  EXPECT_EQ(hash->Finish(), kDigestOfAbc);
  EXPECT_FALSE(hash->Finish());
}

TEST(CryptoPortUnderWine, TheTestKeysSignatureVerifies) {
  Win32Crypto crypto;
  const auto digest = Sha256InPieces("abc", 2);
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
