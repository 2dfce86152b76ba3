// The name checks of one spyware pass over 1,000 running processes: through the name index
// against the literal walk of the process list for each of the 852 names. Compare the two in one
// run: the index should be at least 50 times faster. The whole pass (collecting the processes and
// the start-up entry check included) is measured beside them for scale.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/fake/fake_platform.h"
#include "tools/process_list.h"
#include "tools/spyware_names.h"
#include "tools/spyware_pass.h"

namespace {

using namespace sg;

constexpr int kProcesses = 1000;

// 1,000 processes; three of them carry listed names and refuse to end, so that every round
// finds them again and both sides take the same way through the system.
struct Machine {
  Machine() {
    const auto names = tools::SpywareNames();
    for (int i = 0; i < kProcesses; ++i) {
      const bool listed = i % 300 == 100;  // 100, 400 and 700
      const std::string name = listed ? std::string(names[static_cast<std::size_t>(i)])
                                      : "program" + std::to_string(i) + ".exe";
      system.processes.Start({.path = "C:\\Programs\\" + name, .refuses_termination = listed});
    }
    system.registry.PutString(platform::RegistryRoot::kCurrentUser, "Software\\Snapgate!",
                              "bEnablePluginCleaner", "0");
    tools::CollectProcesses(system.ports().processes, running);
  }
  platform::fake::FakePlatform system;
  tools::ProcessList running;
};

class DiscardedReport final : public tools::ProtectionReport {
 public:
  void AppendLine(const std::string&) override { ++lines; }
  bool HasLine(const std::string&) override { return false; }
  int LineCount() override { return 0; }
  void Flash() override {}
  void PlaySound() override {}
  int lines = 0;
};

void PassChecksThroughTheIndex(benchmark::State& state) {
  Machine machine;
  int found = 0;
  for (auto _ : state) {
    const tools::ProcessNameIndex index(machine.running);
    for (std::string_view name : tools::SpywareNames()) {
      found += index.KillProcessByName(machine.system.processes, std::string(name)) !=
               tools::kill_result::kNotRunning;
    }
  }
  if (found != 3 * static_cast<int>(state.iterations())) state.SkipWithError("wrong matches");
}

void PassChecksWalkingTheList(benchmark::State& state) {
  Machine machine;
  int found = 0;
  for (auto _ : state) {
    for (std::string_view name : tools::SpywareNames()) {
      found += tools::KillProcessByName(machine.system.processes, std::string(name),
                                        machine.running) != tools::kill_result::kNotRunning;
    }
  }
  if (found != 3 * static_cast<int>(state.iterations())) state.SkipWithError("wrong matches");
}

void WholeSpywarePass(benchmark::State& state) {
  Machine machine;
  DiscardedReport report;
  for (auto _ : state) tools::RunSpywarePass(machine.system.ports(), report);
  if (report.lines != 6 * static_cast<int>(state.iterations())) state.SkipWithError("wrong lines");
}

BENCHMARK(PassChecksThroughTheIndex)->Unit(benchmark::kMicrosecond);
BENCHMARK(PassChecksWalkingTheList)->Unit(benchmark::kMicrosecond);
BENCHMARK(WholeSpywarePass)->Unit(benchmark::kMicrosecond);

}  // namespace
