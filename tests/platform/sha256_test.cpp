// The fake platform's SHA-256 against the digests FIPS 180-4 publishes: a wrong fake would let
// a broken signature check pass.
#include "platform/fake/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/fake/fake_platform.h"
#include "support/hex.h"

namespace sg::platform::fake {
namespace {

using sg::testing::HexOf;

TEST(FakeSha256, EmptyInputAndOneBlock) {
  EXPECT_EQ(HexOf(Sha256Of("")),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(HexOf(Sha256Of("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(FakeSha256, FiftySixBytesPushTheLengthIntoASecondBlock) {
  EXPECT_EQ(HexOf(Sha256Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(FakeSha256, AMillionLettersInPiecesThroughTheCryptoPort) {
  FakePlatform platform;
  const auto hash = platform.ports().crypto.StartSha256();
  ASSERT_TRUE(hash);
  const std::string million(1'000'000, 'a');
  // Pieces of no whole number of blocks.
  for (std::size_t at = 0; at < million.size(); at += 999) {
    hash->Add({reinterpret_cast<const std::uint8_t*>(million.data()) + at,
               std::min<std::size_t>(999, million.size() - at)});
  }
  const auto digest = hash->Finish();
  ASSERT_TRUE(digest);
  EXPECT_EQ(HexOf(*digest), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
}  // namespace sg::platform::fake
