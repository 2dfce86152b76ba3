// The whole check under Wine: a real program, signed at build time by scripts/sign-update.sh
// with the build's test key as a release of one version, against the key built into the
// program and the real BCrypt.
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

  bool Genuine(const std::string& path, const char* version = SNAPGATE_SIGNED_PROGRAM_VERSION) {
    return OpenGenuineInstaller(windows_.ports(), path, version, signature_line_) != nullptr;
  }

  platform::win32::Win32Platform windows_;
  // As the signing script printed it, line feed and all.
  std::string signature_line_;
};

TEST_F(SignedProgramUnderWine, TheSignedProgramIsGenuineAsTheVersionItWasSignedFor) {
  EXPECT_TRUE(Genuine(SNAPGATE_SIGNED_PROGRAM)) << signature_line_;
  EXPECT_FALSE(Genuine(SNAPGATE_SIGNED_PROGRAM, "99"));
  EXPECT_FALSE(Genuine(SNAPGATE_SIGNED_PROGRAM, SNAPGATE_SIGNED_PROGRAM_VERSION "0"));
}

// The setup program is started by its path while the checked handle still shuts out writers:
// the loader's own open must not be shut out with them.
TEST_F(SignedProgramUnderWine, TheHeldProgramStillStarts) {
  const auto held = OpenGenuineInstaller(windows_.ports(), SNAPGATE_SIGNED_PROGRAM,
                                         SNAPGATE_SIGNED_PROGRAM_VERSION, signature_line_);
  ASSERT_TRUE(held);
  platform::ShellExecuteRequest request;
  request.file = SNAPGATE_SIGNED_PROGRAM;
  request.keep_process_handle = true;
  const platform::ShellExecuteResult started = windows_.ports().shell.Execute(request);
  EXPECT_GT(started.instance, 32) << "error " << GetLastError();
  ASSERT_NE(started.process, 0u);
  const HANDLE process = reinterpret_cast<HANDLE>(started.process);
  EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "running";
  TerminateProcess(process, 9);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
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
