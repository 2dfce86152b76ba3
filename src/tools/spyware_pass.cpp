#include "tools/spyware_pass.h"

#include <string_view>
#include <unordered_set>

#include "common/ascii.h"
#include "settings/registry_store.h"
#include "tools/allowed_programs.h"
#include "tools/change_recorder.h"
#include "tools/plugin_cleaner.h"
#include "tools/process_list.h"
#include "tools/random_name_checker.h"
#include "tools/safe_plugins.h"
#include "tools/spyware_names.h"

namespace sg::tools {

namespace {

std::string JoinedPairs(const std::vector<std::string>& pairs) {
  std::string joined;
  for (const std::string& pair : pairs) joined += (joined.empty() ? "" : ", ") + pair;
  return joined;
}

std::string BuiltInReason(std::string_view row) {
  return "Its name is on the built-in list of spyware programs (" + std::string(row) + ").";
}

std::string RandomNameReason(const RandomNameChecker::Finding& finding) {
  return "Its name looks machine-made: " + std::to_string(finding.rare_pairs.size()) +
         " letter pairs that are rare in real words (" + JoinedPairs(finding.rare_pairs) +
         "; 2 or more count), it lies directly in the system folder and a Run value starts it (" +
         finding.run_value + ").";
}

class Pass {
 public:
  Pass(platform::Platform& platform, ProtectionReport& report, const ProcessList& running,
       const AllowedPrograms& allowed, RandomNameChecker& checker)
      : platform_(platform),
        report_(report),
        index_(running),
        allowed_(allowed),
        checker_(checker) {}

  // Each name once, whatever its case: a second try at a program that was just terminated
  // would find it in the same list and report it as not killed.
  // finding: what the random-name check saw; none for a name of the built-in table.
  void Check(std::string_view name, const RandomNameChecker::Finding* finding) {
    if (!checked_.insert(AsciiUpper(name)).second) return;
    const std::string file_name(name);
    // Read before the process ends, while the list still names it.
    const std::string path = index_.PathOf(file_name);
    switch (index_.KillProcessByName(platform_.processes, file_name)) {
      case kill_result::kKilled:
        report_.AppendLine(kSpywareKilledLine + file_name);
        Reported();
        RecordTerminated(file_name, path, finding);
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
    for (const std::string& line : DisableHarmfulPluginsSilently(platform_, report_.history())) {
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
    return ProcessNameIndex(WithoutAllowed(now, allowed_)).Has(file_name);
  }

  void RecordTerminated(const std::string& name, const std::string& path,
                        const RandomNameChecker::Finding* finding) {
    ChangeRecorder* history = report_.history();
    if (!history) return;
    // The program as it ran, not as a table row spells it.
    const std::string running = path.empty() ? name : FileNamePart(path);
    HistoryEntry entry;
    entry.tool = kSpywareKillerTool;
    entry.kind = ChangeKind::kProcessTerminated;
    entry.change = "Terminated " + running;
    entry.reason = finding ? RandomNameReason(*finding) : BuiltInReason(name);
    entry.process_name = running;
    entry.process_path = path;
    entry.run_value = checker_.RunValueStarting(name);
    entry.built_in_name = finding == nullptr;
    history->Record(std::move(entry));
  }

  void Reported() {
    report_.Flash();
    reported_ = true;
  }

  platform::Platform& platform_;
  ProtectionReport& report_;
  const ProcessNameIndex index_;
  const AllowedPrograms& allowed_;
  RandomNameChecker& checker_;
  std::unordered_set<std::string> checked_;
  bool reported_ = false;
};

}  // namespace

void RunSpywarePass(platform::Platform& platform, ProtectionReport& report) {
  // A list that cannot be collected is empty and simply matches nothing. What the user allows
  // is left out before either check sees the list.
  ProcessList collected;
  CollectProcesses(platform.processes, collected);
  const AllowedPrograms allowed = AllowedPrograms::Read(platform);
  const ProcessList running = WithoutAllowed(collected, allowed);
  RandomNameChecker checker(platform.registry);
  const std::vector<std::string> random_named =
      checker.FindRandomNamedPrograms(&running.names, &running.paths);
  const std::vector<RandomNameChecker::Finding> findings = checker.findings();

  Pass pass(platform, report, running, allowed, checker);
  for (std::string_view name : SpywareNames()) pass.Check(name, nullptr);
  for (std::size_t i = 0; i < random_named.size(); ++i) pass.Check(random_named[i], &findings[i]);

  if (PluginCleanerSwitchedOn(platform.registry)) {
    pass.CleanPlugins();
    settings::RegistryStore(platform.registry)
        .WriteString(settings::kProgramSection, "bEnablePluginCleaner", "1");
  }
  if (pass.reported()) report.PlaySound();
}

}  // namespace sg::tools
