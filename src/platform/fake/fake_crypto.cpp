#include "platform/fake/fake_crypto.h"

#include "platform/fake/sha256.h"

namespace sg::platform::fake {

namespace {

class FakeSha256Hash final : public Sha256Hash {
 public:
  void Add(std::span<const std::uint8_t> bytes) override { hash_.Update(bytes); }
  std::optional<Sha256Digest> Finish() override { return hash_.Finish(); }

 private:
  Sha256 hash_;
};

}  // namespace

std::unique_ptr<Sha256Hash> FakeCrypto::StartSha256() {
  return std::make_unique<FakeSha256Hash>();
}

bool FakeCrypto::VerifyEcdsaP256(const EcdsaP256PublicKey& public_key_xy,
                                 const Sha256Digest& digest,
                                 const EcdsaP256Signature& signature_rs) {
  const auto found = signatures_.find({public_key_xy, digest});
  return found != signatures_.end() && found->second == signature_rs;
}

void FakeCrypto::AcceptSignature(const EcdsaP256PublicKey& public_key_xy,
                                 const Sha256Digest& digest,
                                 const EcdsaP256Signature& signature_rs) {
  signatures_[{public_key_xy, digest}] = signature_rs;
}

}  // namespace sg::platform::fake
