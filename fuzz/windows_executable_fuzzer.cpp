// A downloaded upgrade installer before its signature is checked: does it begin as a Windows
// executable does?
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "online/windows_executable.h"
#include "platform/fake/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string bytes(sg::fuzz::TextOf(data, size));
  sg::platform::fake::FakePlatform platform;
  const std::string path = "C:\\Temp\\sgu1\\NewUpdate.exe";
  platform.files.PutFile(path, bytes);
  const auto file = platform.ports().files.Open(path, sg::platform::FileOpenMode::kReadLocked);
  sg::fuzz::Check(file != nullptr, "the file opens");
  const bool executable = sg::online::LooksLikeWindowsExecutable(*file);

  // What the answer must mean, read straight from the bytes.
  bool expected = false;
  if (bytes.size() >= 64 && bytes.starts_with("MZ")) {
    std::uint32_t offset = 0;
    for (int i = 3; i >= 0; --i) {
      offset = offset << 8 | static_cast<std::uint8_t>(bytes[0x3C + static_cast<std::size_t>(i)]);
    }
    expected = offset <= bytes.size() && bytes.substr(offset, 4) == std::string("PE\0\0", 4);
  }
  sg::fuzz::Check(executable == expected, "MZ, and PE\\0\\0 where the DOS header points");
  return 0;
}
