#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace sg::app {

// Decides whether an upper-cased window title matches any entry of the block list, in time
// that does not grow with the number of entries. An entry equal to the title matches; an entry
// with a "*" (its first one taken out) matches every title that contains it.
class BlockListMatcher {
 public:
  BlockListMatcher() = default;
  explicit BlockListMatcher(const std::vector<std::string>& entries);

  bool empty() const { return empty_; }
  bool Matches(std::string_view upper_title) const;

 private:
  // A node of the automaton over the wildcard entries (Aho-Corasick).
  struct Node {
    std::vector<std::pair<std::uint8_t, std::int32_t>> next;  // sorted by byte
    std::int32_t fail = 0;
    bool ends_entry = false;  // an entry, or a suffix of the path that is one, ends here
  };

  std::int32_t Step(std::int32_t node, std::uint8_t byte) const;
  std::int32_t Child(std::int32_t node, std::uint8_t byte) const;
  void AddWildcard(std::string_view upper_entry);
  void LinkFailures();

  bool empty_ = true;
  bool matches_everything_ = false;  // a wildcard entry of nothing but "*"
  std::unordered_set<std::string> exact_;
  std::vector<Node> nodes_{Node{}};
};

}  // namespace sg::app
