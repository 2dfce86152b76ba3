#include "tools/spyware_pass.h"

#include <string_view>
#include <unordered_set>

#include "common/ascii.h"
#include "settings/registry_store.h"
#include "tools/plugin_cleaner.h"
#include "tools/process_list.h"
#include "tools/random_name_checker.h"
#include "tools/spyware_names.h"

namespace sg::tools {

namespace {

class Pass {
 public:
  Pass(platform::Platform& platform, ProtectionReport& report, const ProcessList& running)
      : platform_(platform), report_(report), index_(running) {}

  // Each name once, whatever its case: a second try at a program that was just terminated
  // would find it in the same list and report it as not killed.
  void Check(std::string_view name) {
    if (!checked_.insert(AsciiUpper(name)).second) return;
    const std::string file_name(name);
    switch (index_.KillProcessByName(platform_.processes, file_name)) {
      case kill_result::kKilled:
        report_.AppendLine(kSpywareKilledLine + file_name);
        Reported();
        break;
      case kill_result::kTerminateFailed:
      case kill_result::kCannotOpen:
        if (!StillRunning(file_name)) break;
        if (AppendUnlessListed(report_, kSpywareNotKilledLine + file_name)) {
          report_.AppendLine(kUninstallAdviceLine);
          Reported();
        }
        break;
      default:
        break;
    }
  }

  void CleanPlugins() {
    int appended = 0;
    for (const std::string& line : DisableHarmfulPluginsSilently(platform_)) {
      if (line.find("plug-in was disabled") == std::string::npos) {
        report_.AppendLine(line);
        ++appended;
      } else if (AppendUnlessListed(report_, line)) {
        ++appended;
      }
    }
    if (appended > 0) Reported();
  }

  bool reported() const { return reported_; }

 private:
  // A program that ended by itself after it was listed is no program that could not be killed.
  bool StillRunning(const std::string& file_name) {
    ProcessList now;
    CollectProcesses(platform_.processes, now);
    return ProcessNameIndex(now).Has(file_name);
  }

  void Reported() {
    report_.Flash();
    reported_ = true;
  }

  platform::Platform& platform_;
  ProtectionReport& report_;
  const ProcessNameIndex index_;
  std::unordered_set<std::string> checked_;
  bool reported_ = false;
};

}  // namespace

void RunSpywarePass(platform::Platform& platform, ProtectionReport& report) {
  // A list that cannot be collected is empty and simply matches nothing.
  ProcessList running;
  CollectProcesses(platform.processes, running);
  RandomNameChecker checker(platform.registry);
  const std::vector<std::string> random_named =
      checker.FindRandomNamedPrograms(&running.names, &running.paths);

  Pass pass(platform, report, running);
  for (std::string_view name : SpywareNames()) pass.Check(name);
  for (const std::string& name : random_named) pass.Check(name);

  if (PluginCleanerSwitchedOn(platform.registry)) {
    pass.CleanPlugins();
    settings::RegistryStore(platform.registry)
        .WriteString(settings::kProgramSection, "bEnablePluginCleaner", "1");
  }
  if (pass.reported()) report.PlaySound();
}

}  // namespace sg::tools
