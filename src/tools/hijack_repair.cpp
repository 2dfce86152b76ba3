#include "tools/hijack_repair.h"

#include <array>
#include <vector>

#include "common/ascii.h"
#include "common/whole_file.h"
#include "settings/registry_presets.h"
#include "settings/registry_store.h"
#include "tools/change_recorder.h"
#include "tools/registry_value_watch.h"
#include "tools/safe_plugins.h"
#include "tools/start_page_dialog.h"

namespace sg::tools {

namespace {

using platform::RegistryRoot;
using settings::RegistryStore;

// Sections below HKEY_CURRENT_USER\Software, and the same keys as full paths.
constexpr std::string_view kIeMainSection = "Microsoft\\Internet Explorer\\Main";
constexpr std::string_view kIeStylesSection = "Microsoft\\Internet Explorer\\Styles";
constexpr std::string_view kIeSearchPath = "Software\\Microsoft\\Internet Explorer\\Search";
constexpr std::string_view kBlankPage = "about:blank";

std::string Http(std::string_view host, std::string_view rest) {
  return "http://" + std::string(host) + std::string(rest);
}

std::string StockSearchAssistant() {
  return Http(kOutsideNames.maker_search_host, "/{sub_rfc1766}/srchasst/srchasst.htm");
}
std::string StockSearchCustomisation() {
  return Http(kOutsideNames.maker_search_host, "/{sub_rfc1766}/srchasst/srchcust.htm");
}
std::string StockSearchRedirector() {
  return Http(kOutsideNames.maker_web_host, "/isapi/redir.dll?prd=ie&ar=iesearch");
}
std::string StockHomeRedirector() {
  return Http(kOutsideNames.maker_web_host, "/isapi/redir.dll?prd=ie&pver=6&ar=msnhome");
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

struct SearchValue {
  RegistryRoot root;
  std::string_view path;
  std::string_view name;
  std::string (*stock)();
};
constexpr std::array<SearchValue, 5> kSearchValues = {{
    {RegistryRoot::kLocalMachine, kIeSearchPath, "SearchAssistant", StockSearchAssistant},
    {RegistryRoot::kLocalMachine, kIeSearchPath, "CustomizeSearch", StockSearchCustomisation},
    {RegistryRoot::kLocalMachine, kIeMainPath, "Default_Search_URL", StockSearchRedirector},
    {RegistryRoot::kLocalMachine, kIeMainPath, "Search Page", StockSearchRedirector},
    {RegistryRoot::kCurrentUser, "Software\\Microsoft\\Internet Explorer\\main", "Search Page",
     StockSearchRedirector},
}};

struct UrlPrefix {
  std::string_view path;
  std::string_view name;  // empty: the key's default value
  std::string_view expected;
  bool trusted_engine_excused;
  std::string_view label;
};
constexpr std::string_view kPrefixesPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes";
constexpr std::array<UrlPrefix, 5> kUrlPrefixes = {{
    {"Software\\Microsoft\\Windows\\CurrentVersion\\URL\\DefaultPrefix", "", "http://", true,
     "DefaultPrefix"},
    {kPrefixesPath, "home", "http://", false, "home"},
    {kPrefixesPath, "mosaic", "http://", false, "mosaic"},
    {kPrefixesPath, "www", "http://", true, "www"},
    {kPrefixesPath, "ftp", "ftp://", false, "ftp"},
}};

bool TrustedStartPage(std::string_view lowered) {
  const std::array<std::string_view, 5> trusted = {
      "microsoft", kOutsideNames.maker_portal_domain, kOutsideNames.trusted_engine_domain,
      kOutsideNames.second_engine_domain, kOutsideNames.provider_domain};
  for (std::string_view word : trusted) {
    if (Contains(lowered, word)) return true;
  }
  return false;
}

bool SuspiciousStartPage(std::string_view lowered) {
  constexpr std::array<std::string_view, 7> kSuspicious = {"cgi-bin", "?",    ".cgi",  ".pl",
                                                           ".asp",    ".cfm", "res://"};
  for (std::string_view word : kSuspicious) {
    if (Contains(lowered, word)) return true;
  }
  return false;
}

class HijackRepair {
 public:
  HijackRepair(platform::Platform& platform, ProtectionReport& report, platform::DialogHost* owner)
      : platform_(platform), report_(report), owner_(owner), store_(platform.registry) {}

  void Run() {
    if (store_.ReadInt(settings::kProgramSection, "bDisableIEFix") >= 1) return;
    const bool search_hijacked = FindSearchHijack();
    CheckStartPage();
    if (search_hijacked) RepairSearch();
    RepairStyleSheet();
    RepairUrlPrefixes();
  }

 private:
  // Only finds: the built-in preset sets all five values back at once.
  bool FindSearchHijack() {
    bool hijacked = false;
    for (const SearchValue& value : kSearchValues) {
      const std::string text = AsciiLower(store_.ReadStringAt(value.root, value.path, value.name));
      if (text.empty() || text == value.stock() ||
          Contains(text, kOutsideNames.trusted_engine_word)) {
        continue;
      }
      hijacked = true;
      kept_search_value_ = text;
    }
    return hijacked;
  }

  void CheckStartPage() {
    std::string page =
        store_.ReadStringAt(RegistryRoot::kCurrentUser, kIeMainPath, kStartPageValue);
    bool from_machine = false;
    if (page.empty()) {
      page = store_.ReadStringAt(RegistryRoot::kLocalMachine, kIeMainPath, kStartPageValue);
      from_machine = true;
    }
    const std::string lowered = AsciiLower(page);
    if (TrustedStartPage(lowered) || !SuspiciousStartPage(lowered)) return;
    const std::string decided =
        AsciiLower(store_.ReadString(settings::kProgramSection, kStartPageValue));
    if (!decided.empty() && decided == lowered) return;

    StartPageDialog dialog(page);
    std::string chosen = page;
    const bool yes = dialog.Run(platform_.dialogs, owner_) == platform::kIdOk;
    if (yes) {
      chosen = dialog.start_page();
      if (chosen == page) chosen = kOutsideNames.safe_start_page;
      RunResetFileRepair();
    }
    if (chosen.empty()) chosen = kBlankPage;
    RegistryValueWatch watch(
        platform_.registry,
        {{RegistryRoot::kCurrentUser, std::string(kIeMainPath), std::string(kStartPageValue)},
         {RegistryRoot::kLocalMachine, std::string(kIeMainPath), std::string(kStartPageValue)}});
    store_.WriteString(kIeMainSection, kStartPageValue, chosen);
    if (from_machine) store_.WriteMachineString(kIeMainPath, kStartPageValue, chosen);
    RecordValues(watch, "Set the start page to " + chosen,
                 "The start page \"" + page +
                     "\" looked hijacked: it names no trusted site and holds a query or a "
                     "script. Asked about it, you answered " +
                     (yes ? "Yes." : "No, and it was kept."));
    // Remembered whatever the answer, so that the same page is not asked about again.
    RememberStartPage(platform_.registry, chosen);
  }

  void RepairSearch() {
    std::vector<ValueAddress> searches;
    for (const SearchValue& value : kSearchValues) {
      searches.push_back({value.root, std::string(value.path), std::string(value.name)});
    }
    RegistryValueWatch watch(platform_.registry, std::move(searches));
    settings::ApplyRegistryPreset(platform_, settings::RegistryPreset::kHijackRepair);
    RecordValues(watch, "Set the search pages back to the browser's own",
                 "A search page named a site other than the browser's own or the trusted "
                 "search engine: " +
                     kept_search_value_);
    // A user who may not change machine-wide settings imports nothing: nothing was fixed.
    if (!watch.Changed().empty()) {
      std::string line = kHijackerFixedLine;
      if (!kept_search_value_.empty()) line += ": " + kept_search_value_;
      report_.AppendLine(line);
      report_.Flash();
    }
    RunResetFileRepair();
  }

  void RepairStyleSheet() {
    // Any user style sheet that is switched on counts: pages can be made to show anything.
    if (store_.ReadDword(kIeStylesSection, "Use My Stylesheet") != 1) return;
    const std::string path = store_.ReadString(kIeStylesSection, "User Stylesheet");
    if (path.empty()) return;
    const std::string styles_path = "Software\\" + std::string(kIeStylesSection);
    RegistryValueWatch watch(platform_.registry,
                             {{RegistryRoot::kCurrentUser, styles_path, "Use My Stylesheet"},
                              {RegistryRoot::kCurrentUser, styles_path, "User Stylesheet"}});
    const bool switched_off = store_.WriteDword(kIeStylesSection, "Use My Stylesheet", 0);
    const bool cleared = store_.WriteString(kIeStylesSection, "User Stylesheet", "");
    RecordValues(watch, "Switched off the user style sheet " + path,
                 "A user style sheet that is switched on can make every page show anything.");
    if (!switched_off || !cleared) return;
    report_.AppendLine(kStyleSheetFixedLine + path);
    report_.Flash();
  }

  void RepairUrlPrefixes() {
    bool fixed = false;
    for (const UrlPrefix& prefix : kUrlPrefixes) {
      const std::string value =
          AsciiLower(store_.ReadStringAt(RegistryRoot::kLocalMachine, prefix.path, prefix.name));
      if (value.empty() || value == prefix.expected) continue;
      if (prefix.trusted_engine_excused && Contains(value, kOutsideNames.trusted_engine_domain)) {
        continue;
      }
      RegistryValueWatch watch(
          platform_.registry,
          {{RegistryRoot::kLocalMachine, std::string(prefix.path), std::string(prefix.name)}});
      // A user who may not change machine-wide settings has nothing fixed to be told about.
      if (!store_.WriteMachineString(prefix.path, prefix.name, prefix.expected)) continue;
      RecordValues(watch,
                   "Set the " + std::string(prefix.label) + " prefix back to " +
                       std::string(prefix.expected),
                   "The address bar would have put " + value +
                       " in front of bare names instead of " + std::string(prefix.expected) + ".");
      report_.AppendLine("Internet Explorer prefix hijacker (" + std::string(prefix.label) +
                         ") fixed: " + value);
      fixed = true;
    }
    if (fixed) report_.Flash();
  }

  void RecordValues(const RegistryValueWatch& watch, std::string change, std::string reason) {
    ChangeRecorder* history = report_.history();
    if (!history) return;
    HistoryEntry entry;
    entry.values = watch.Changed();
    if (entry.values.empty()) return;
    entry.tool = kHijackRepairTool;
    entry.kind = ChangeKind::kRegistryValues;
    entry.change = std::move(change);
    entry.reason = std::move(reason);
    history->Record(std::move(entry));
  }

  void RunResetFileRepair() {
    if (reset_file_ran_) return;
    reset_file_ran_ = true;
    RepairResetFile(platform_, report_);
  }

  platform::Platform& platform_;
  ProtectionReport& report_;
  platform::DialogHost* owner_;
  RegistryStore store_;
  std::string kept_search_value_;
  bool reset_file_ran_ = false;
};

// One key of the reset file's "[Strings]" section: its line is set back unless it holds the
// text that a stock value holds.
struct ResetKey {
  std::string_view key;
  std::string_view left_alone_when;
  std::string replacement;
};

std::vector<ResetKey> ResetKeys() {
  const auto quoted = [](const std::string& text) { return "\"" + text + "\""; };
  // MS_START_PAGE_URL comes first: it holds START_PAGE_URL and is judged by its own key.
  return {
      {"MS_START_PAGE_URL", kOutsideNames.maker_web_host,
       "MS_START_PAGE_URL=" + quoted(StockHomeRedirector())},
      {"START_PAGE_URL", kOutsideNames.maker_web_host,
       "START_PAGE_URL=" + quoted(StockHomeRedirector())},
      {"SEARCH_PAGE_URL", kOutsideNames.maker_web_host,
       "SEARCH_PAGE_URL=" + quoted(StockSearchRedirector())},
      {"SAFESITE_VALUE", kOutsideNames.maker_portal_domain,
       "SAFESITE_VALUE=" + quoted(std::string(kOutsideNames.maker_search_host))},
  };
}

// Lines end at CR LF, LF or a lone CR. Lines are kept whole, however long, and every byte of
// them is kept: the file goes back as it came but for the lines set back.
std::vector<std::string> SplitLines(std::string_view content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (c != '\n' && c != '\r') continue;
    lines.emplace_back(content.substr(start, i - start));
    if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < content.size()) lines.emplace_back(content.substr(start));
  return lines;
}

// A file of so few lines is no reset file worth rewriting.
constexpr std::size_t kMostLinesLeftAlone = 5;

}  // namespace

ResetFileText RepairResetFileText(std::string_view content) {
  ResetFileText result;
  std::vector<std::string> lines = SplitLines(content);
  result.line_count = lines.size();
  const std::vector<ResetKey> keys = ResetKeys();
  bool in_strings = false;
  for (std::string& line : lines) {
    if (line == "[Strings]") {
      in_strings = true;
      continue;
    }
    if (Contains(line, "[") || Contains(line, "]")) {
      in_strings = false;
      continue;
    }
    if (!in_strings || line.empty() || line.front() == ';') continue;
    for (const ResetKey& key : keys) {
      if (!Contains(line, key.key)) continue;
      if (!Contains(line, key.left_alone_when)) {
        result.last_replaced = line;
        line = key.replacement;
        result.changed = true;
      }
      break;
    }
  }
  bool after_empty = false;
  for (const std::string& line : lines) {
    if (line.empty() && after_empty) continue;
    after_empty = line.empty();
    result.content += line;
    result.content += "\r\n";
  }
  return result;
}

std::string ResetFilePath(platform::SystemPort& system) {
  const std::string windows = system.WindowsDirectory();
  return windows.empty() ? std::string() : windows + kResetFilePath;
}

void RememberStartPage(platform::RegistryPort& registry, std::string_view page) {
  RegistryStore(registry).WriteString(settings::kProgramSection, kStartPageValue, page);
}

bool RepairResetFile(platform::Platform& platform, ProtectionReport& report) {
  const std::string path = ResetFilePath(platform.system);
  if (path.empty()) return false;
  // One that has grown past any real reset file is left alone, unread.
  const std::optional<std::string> content =
      ReadWholeFile(platform.files, path, kLargestResetFile);
  if (!content) return false;
  const ResetFileText repaired = RepairResetFileText(*content);
  if (!repaired.changed || repaired.line_count <= kMostLinesLeftAlone) return false;
  ChangeRecorder* history = report.history();
  const std::string backup = history ? history->KeepBackup(FileNamePart(path), *content) : "";
  // Written beside the old file and put in its place only when whole, so that a failed write
  // never costs the browser its reset file.
  if (!ReplaceWholeFile(platform.files, path, repaired.content)) {
    if (!backup.empty()) platform.files.Delete(backup);
    return false;
  }
  report.AppendLine(kResetFileFixedLine + repaired.last_replaced);
  report.Flash();
  if (history) {
    HistoryEntry entry;
    entry.tool = kHijackRepairTool;
    entry.kind = ChangeKind::kFileReplaced;
    entry.change = "Repaired the browser's reset file " + path;
    entry.reason = "Its line \"" + repaired.last_replaced +
                   "\" named a page other than the browser maker's own." +
                   (backup.empty() ? " No copy of the old content could be kept." : "");
    entry.file_path = path;
    entry.backup_path = backup;
    entry.new_digest = ContentDigest(repaired.content);
    history->Record(std::move(entry));
  }
  return true;
}

void RunHijackRepair(platform::Platform& platform, ProtectionReport& report,
                     platform::DialogHost* owner) {
  HijackRepair(platform, report, owner).Run();
}

}  // namespace sg::tools
