// The browser's reset file, "iereset.inf" below the Windows folder, which adware rewrites so
// that a reset brings its pages back. The repair sets back the hijacked addresses of its
// "[Strings]" section.
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/fake/fake_platform.h"
#include "tools/hijack_repair.h"

namespace {

struct Report final : sg::tools::ProtectionReport {
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool HasLine(const std::string&) override { return false; }
  int LineCount() override { return static_cast<int>(lines.size()); }
  void Flash() override {}
  void PlaySound() override {}
  std::vector<std::string> lines;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using sg::fuzz::Check;
  const std::string content(sg::fuzz::TextOf(data, size));
  const sg::tools::ResetFileText repaired = sg::tools::RepairResetFileText(content);
  const sg::tools::ResetFileText again = sg::tools::RepairResetFileText(repaired.content);
  Check(!again.changed, "a repaired file needs no second repair");
  Check(again.content == repaired.content, "a repaired file reads back as it was written");
  Check(repaired.changed || repaired.last_replaced.empty(), "nothing replaced, nothing reported");

  sg::platform::fake::FakePlatform platform;
  const std::string path = "C:\\Windows\\inf\\iereset.inf";
  platform.files.PutFile(path, content);
  Report report;
  const bool fixed = sg::tools::RepairResetFile(platform.ports(), report);
  Check(fixed == (repaired.changed && repaired.line_count > 5), "only a real reset file is fixed");
  Check(platform.files.FileContent(path) == (fixed ? repaired.content : content),
        "the file holds the repair, or is left as it was");
  Check(report.lines.size() == (fixed ? 1u : 0u), "one line for a repair");
  Check(!sg::tools::RepairResetFile(platform.ports(), report), "a second pass finds nothing");
  Check(platform.files.FilesIn("C:\\Windows\\inf") == std::vector<std::string>{"iereset.inf"},
        "no work file stays behind");
  return 0;
}
