// The spyware pass's check for machine-made program names: running programs and the commands
// of the Run keys. One item a line: "run: <command>" is a value of the user's Run key,
// "machine run: <command>" one of the machine's, "disable: <text>" the "bDisableRandomCheck"
// setting, and any other line is the path of a running program.
#include <algorithm>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "fuzz/fuzz_check.h"
#include "platform/fake/fake_platform.h"
#include "tools/process_list.h"
#include "tools/random_name_checker.h"
#include "tools/spyware_names.h"
#include "tools/spyware_pass.h"

namespace {

using sg::fuzz::Check;
using sg::platform::RegistryRoot;

constexpr std::size_t kMostLines = 32;
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Report final : sg::tools::ProtectionReport {
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool HasLine(const std::string& line) override {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& listed) { return sg::EqualsIgnoringCase(listed, line); });
  }
  int LineCount() override { return static_cast<int>(lines.size()); }
  void Flash() override {}
  void PlaySound() override {}
  std::vector<std::string> lines;
};

bool Listed(const std::vector<std::string>& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& listed) { return sg::EqualsIgnoringCase(listed, name); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view input = sg::fuzz::TextOf(data, size);
  sg::platform::fake::FakePlatform platform;
  std::size_t start = 0;
  for (int value = 0; start <= input.size() && value < static_cast<int>(kMostLines); ++value) {
    const std::size_t end = std::min(input.find('\n', start), input.size());
    const std::string line(input.substr(start, end - start));
    start = end + 1;
    Check(sg::tools::RandomNameChecker::LooksRandom(line) ==
              sg::tools::RandomNameChecker::LooksRandom(sg::AsciiUpper(line)),
          "letter case does not make a name random");
    const std::string name = "v" + std::to_string(value);
    if (line.starts_with("run: ")) {
      platform.registry.PutString(RegistryRoot::kCurrentUser, kRunKey, name, line.substr(5));
    } else if (line.starts_with("machine run: ")) {
      platform.registry.PutString(RegistryRoot::kLocalMachine, kRunKey, name, line.substr(13));
    } else if (line.starts_with("disable: ")) {
      platform.registry.PutString(RegistryRoot::kCurrentUser, "Software\\Snapgate!",
                                  "bDisableRandomCheck", line.substr(9));
    } else if (!line.empty()) {
      platform.processes.Start({.path = line});
    }
  }

  sg::tools::ProcessList running;
  sg::tools::CollectProcesses(platform.processes, running);
  sg::tools::RandomNameChecker checker(platform.ports().registry);
  const std::vector<std::string> found =
      checker.FindRandomNamedPrograms(&running.names, &running.paths);
  for (const std::string& name : found) {
    Check(Listed(running.names, name), "only running programs are found");
  }

  // The whole pass terminates nothing but the listed spyware and what the check found.
  Report report;
  sg::tools::RunSpywarePass(platform.ports(), report);
  std::vector<std::string> doomed(found);
  for (const std::string_view name : sg::tools::SpywareNames()) doomed.emplace_back(name);
  for (const auto& termination : platform.processes.Terminations()) {
    const auto at = std::find(running.ids.begin(), running.ids.end(),
                              std::to_string(termination.process_id));
    Check(at != running.ids.end(), "only a listed process is terminated");
    const std::string& name = running.names[static_cast<std::size_t>(at - running.ids.begin())];
    Check(Listed(doomed, name), "a terminated program is spyware by name or by its random name");
  }
  Check(platform.processes.OpenHandles() == 0, "every process handle is closed");
  Check(platform.registry.OpenHandleCount() == 0, "every key opened is closed");
  return 0;
}
