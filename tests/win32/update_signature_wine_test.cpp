// The whole check under Wine: a real program, signed at build time by scripts/sign-update.sh
// with the build's test key, against the key built into the program and the real BCrypt.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/whole_file.h"
#include "online/update_signature.h"
#include "platform/win32/win32_platform.h"
#include "support/system_under_test.h"

namespace sg::online {
namespace {

class SignedProgramUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> line =
        ReadWholeFile(windows_.ports().files, SNAPGATE_SIGNED_PROGRAM_SIGNATURE);
    ASSERT_TRUE(line) << SNAPGATE_SIGNED_PROGRAM_SIGNATURE;
    signature_line_ = *line;
  }

  bool Genuine(const std::string& path) {
    return IsGenuineInstaller(windows_.ports(), path, signature_line_);
  }

  platform::win32::Win32Platform windows_;
  // As the signing script printed it, line feed and all.
  std::string signature_line_;
};

TEST_F(SignedProgramUnderWine, TheSignedProgramIsGenuine) {
  EXPECT_TRUE(Genuine(SNAPGATE_SIGNED_PROGRAM)) << signature_line_;
}

TEST_F(SignedProgramUnderWine, ACopyCutShortOrAnotherProgramIsRefused) {
  const std::optional<std::string> program =
      ReadWholeFile(windows_.ports().files, SNAPGATE_SIGNED_PROGRAM);
  ASSERT_TRUE(program);
  const std::string cut_short = sg::testing::ScratchFolder() + "cut-short.exe";
  ASSERT_TRUE(ReplaceWholeFile(windows_.ports().files, cut_short,
                               std::string_view(*program).substr(0, program->size() - 1)));
  EXPECT_FALSE(Genuine(cut_short));
  DeleteFileA(cut_short.c_str());

  char this_program[MAX_PATH] = {};
  ASSERT_NE(GetModuleFileNameA(nullptr, this_program, MAX_PATH), 0u);
  EXPECT_FALSE(Genuine(this_program));
}

}  // namespace
}  // namespace sg::online
