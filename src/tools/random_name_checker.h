#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports/registry.h"

namespace sg::tools {

// Spots adware with a machine-made name: an executable directly in the Windows system folder,
// started from a Run key, whose name is an unpronounceable jumble of letters. It only judges;
// the spyware pass terminates what it returns.
class RandomNameChecker {
 public:
  explicit RandomNameChecker(platform::RegistryPort& registry) : registry_(registry) {}

  // Walks a process list's names and paths side by side and returns the listed names (case and
  // extension as listed) that pass every test. Empty when either list is missing or the check
  // is switched off with "bDisableRandomCheck". The result lives until the next call.
  const std::vector<std::string>& FindRandomNamedPrograms(const std::vector<std::string>* names,
                                                          const std::vector<std::string>* paths);

  // What made the last call return each of its names, in the same order.
  struct Finding {
    std::vector<std::string> rare_pairs;  // lower case, as found in the name
    std::string run_value;                // as RunValueStarting gives it
  };
  const std::vector<Finding>& findings() const { return findings_; }

  // True when the name holds two or more letter pairs that are rare in real words.
  static bool LooksRandom(std::string_view name);
  // The rare pairs of adjacent letters a to z in the name, in order.
  static std::vector<std::string> RarePairs(std::string_view name);

  // True when the data of a value of root's Run key mentions the name, letter case ignored.
  bool IsStartedFromRun(std::string_view name, platform::RegistryRoot root);
  struct RunValue {
    std::string name;
    std::string data;
  };
  // The first value of root's Run key whose data mentions the name.
  std::optional<RunValue> RunValueMentioning(std::string_view name, platform::RegistryRoot root);
  // For a program as listed (extension and all): "root\key, value "name": data" of the Run
  // value that starts it, the current user's first; empty when none does.
  std::string RunValueStarting(std::string_view listed_name);

 private:
  platform::RegistryPort& registry_;
  std::vector<std::string> found_;
  std::vector<Finding> findings_;
};

}  // namespace sg::tools
