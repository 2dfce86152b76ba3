#include "tools/random_name_checker.h"

#include <algorithm>
#include <cstddef>

#include "common/ascii.h"
#include "settings/registry_store.h"
#include "tools/history_text.h"

namespace sg::tools {
namespace {

constexpr std::string_view kDisableSetting = "bDisableRandomCheck";
constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

constexpr std::string_view kSystemFolderMarkers[] = {"windows\\system", "windows\\system32",
                                                     "winnt\\system", "winnt\\system32"};
// Drive, Windows folder, system folder, file: anything deeper is some installed program's own
// folder, where odd names are normal.
constexpr std::ptrdiff_t kMaxBackslashes = 3;

constexpr std::string_view kExtensions[] = {".exe", ".com"};
constexpr std::size_t kExtensionLength = 4;

// One rare pair happens in real names (abbreviations, brand names); two rarely do.
constexpr std::size_t kRarePairsOfRandomName = 2;

// For each first letter a to z, the second letters that make a common pair in real words;
// every other pair of letters is rare.
constexpr std::string_view kCommonSecondLetters[26] = {
    "bcdgklmnprstuvxy",        // a
    "acdegijklmnorsuv",        // b
    "acdefhiklmnoprstu",       // c
    "abcdefilmoprstvwx",       // d
    "abcdeglmnprstvwxy",       // e
    "acdefgilmnoprstwxy",      // f
    "abcdehilmnoprstu",        // g
    "acdefhikloprstu",         // h
    "abcdefgilmnoprstvz",      // i
    "adeilmopstv",             // j
    "abcdeimopqrsuy",          // k
    "abcdefgilmnopstuw",       // l
    "acdefgilmoprstv",         // m
    "acdefghiklmopstuvw",      // n
    "abcdefgilmnoprstuvwx",    // o
    "acdehilmnoprstuwxz",      // p
    "acdefilmnoptu",           // q
    "acdefilmnoprstuvxy",      // r
    "acdefghijklmnoprstuvwy",  // s
    "acdefhilmoprsuvwx",       // t
    "abcdegilmnoprst",         // u
    "abcdefgimoprstvwx",       // v
    "abcdefikmnoprstuwz",      // w
    "abcdefglmoprsty",         // x
    "bclnprsu",                // y
    "cdeios",                  // z
};

bool IsLetter(char c) {
  return c >= 'a' && c <= 'z';
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool IsRarePair(char first, char second) {
  return !Contains(kCommonSecondLetters[first - 'a'], std::string_view(&second, 1));
}

bool DirectlyInSystemFolder(const std::string& lower_path) {
  const bool in_system_folder =
      std::any_of(std::begin(kSystemFolderMarkers), std::end(kSystemFolderMarkers),
                  [&](std::string_view marker) { return Contains(lower_path, marker); });
  return in_system_folder &&
         std::count(lower_path.begin(), lower_path.end(), '\\') <= kMaxBackslashes;
}

// Drops the last four characters when an executable extension appears anywhere in the name.
std::string Shortened(std::string lower_name) {
  const bool has_extension =
      std::any_of(std::begin(kExtensions), std::end(kExtensions),
                  [&](std::string_view extension) { return Contains(lower_name, extension); });
  if (has_extension && lower_name.size() >= kExtensionLength) {
    lower_name.resize(lower_name.size() - kExtensionLength);
  }
  return lower_name;
}

}  // namespace

const std::vector<std::string>& RandomNameChecker::FindRandomNamedPrograms(
    const std::vector<std::string>* names, const std::vector<std::string>* paths) {
  found_.clear();
  findings_.clear();
  if (names == nullptr || paths == nullptr) return found_;
  if (settings::RegistryStore(registry_).ReadInt(settings::kProgramSection, kDisableSetting) > 0) {
    return found_;
  }

  const std::size_t count = std::min(names->size(), paths->size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& listed_name = (*names)[i];
    if (!DirectlyInSystemFolder(AsciiLower((*paths)[i]))) continue;
    const std::string name = Shortened(AsciiLower(listed_name));
    if (!IsStartedFromRun(name, platform::RegistryRoot::kCurrentUser) &&
        !IsStartedFromRun(name, platform::RegistryRoot::kLocalMachine)) {
      continue;
    }
    if (Contains(name, " ")) continue;
    std::vector<std::string> rare_pairs = RarePairs(name);
    if (rare_pairs.size() >= kRarePairsOfRandomName && !listed_name.empty()) {
      found_.push_back(listed_name);
      findings_.push_back({std::move(rare_pairs), RunValueStarting(listed_name)});
    }
  }
  return found_;
}

bool RandomNameChecker::LooksRandom(std::string_view name) {
  return RarePairs(name).size() >= kRarePairsOfRandomName;
}

std::vector<std::string> RandomNameChecker::RarePairs(std::string_view name) {
  const std::string lower = AsciiLower(name);
  std::vector<std::string> pairs;
  for (std::size_t i = 1; i < lower.size(); ++i) {
    const char first = lower[i - 1];
    const char second = lower[i];
    if (IsLetter(first) && IsLetter(second) && IsRarePair(first, second)) {
      pairs.push_back(lower.substr(i - 1, 2));
    }
  }
  return pairs;
}

bool RandomNameChecker::IsStartedFromRun(std::string_view name, platform::RegistryRoot root) {
  return RunValueMentioning(name, root).has_value();
}

std::optional<RandomNameChecker::RunValue> RandomNameChecker::RunValueMentioning(
    std::string_view name, platform::RegistryRoot root) {
  if (name.empty()) return std::nullopt;
  const std::string lower_name = AsciiLower(name);
  settings::RegistryStore store(registry_);
  store.Enumerate(root, kRunKey, settings::EnumerateMode::kValueData);
  const std::vector<std::string>& data = store.Results();
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (Contains(AsciiLower(data[i]), lower_name)) return RunValue{store.ValueNames()[i], data[i]};
  }
  return std::nullopt;
}

std::string RandomNameChecker::RunValueStarting(std::string_view listed_name) {
  const std::string name = Shortened(AsciiLower(listed_name));
  for (const platform::RegistryRoot root :
       {platform::RegistryRoot::kCurrentUser, platform::RegistryRoot::kLocalMachine}) {
    if (const auto value = RunValueMentioning(name, root)) {
      return RootName(root) + "\\" + std::string(kRunKey) + ", value \"" + value->name +
             "\": " + value->data;
    }
  }
  return {};
}

}  // namespace sg::tools
