#include "app/block_list_matcher.h"

#include <algorithm>
#include <deque>

#include "common/ascii.h"

namespace sg::app {

BlockListMatcher::BlockListMatcher(const std::vector<std::string>& entries) {
  empty_ = entries.empty();
  for (const std::string& entry : entries) {
    const auto star = entry.find('*');
    if (star == std::string::npos) {
      exact_.insert(AsciiUpper(entry));
      continue;
    }
    const std::string upper = AsciiUpper(entry.substr(0, star) + entry.substr(star + 1));
    if (upper.empty()) {
      matches_everything_ = true;
    } else {
      AddWildcard(upper);
    }
  }
  LinkFailures();
}

std::int32_t BlockListMatcher::Child(std::int32_t node, std::uint8_t byte) const {
  const auto& next = nodes_[static_cast<std::size_t>(node)].next;
  auto at = std::lower_bound(next.begin(), next.end(), byte,
                             [](const auto& edge, std::uint8_t b) { return edge.first < b; });
  return (at != next.end() && at->first == byte) ? at->second : -1;
}

void BlockListMatcher::AddWildcard(std::string_view upper_entry) {
  std::int32_t node = 0;
  for (char c : upper_entry) {
    const auto byte = static_cast<std::uint8_t>(c);
    std::int32_t child = Child(node, byte);
    if (child < 0) {
      child = static_cast<std::int32_t>(nodes_.size());
      nodes_.emplace_back();
      auto& next = nodes_[static_cast<std::size_t>(node)].next;
      auto at = std::lower_bound(next.begin(), next.end(), byte,
                                 [](const auto& edge, std::uint8_t b) { return edge.first < b; });
      next.insert(at, {byte, child});
    }
    node = child;
  }
  nodes_[static_cast<std::size_t>(node)].ends_entry = true;
}

void BlockListMatcher::LinkFailures() {
  std::deque<std::int32_t> queue;
  for (const auto& [byte, child] : nodes_[0].next) queue.push_back(child);
  while (!queue.empty()) {
    const std::int32_t node = queue.front();
    queue.pop_front();
    for (const auto& [byte, child] : nodes_[static_cast<std::size_t>(node)].next) {
      const std::int32_t fail = Step(nodes_[static_cast<std::size_t>(node)].fail, byte);
      auto& target = nodes_[static_cast<std::size_t>(child)];
      target.fail = fail;
      target.ends_entry = target.ends_entry || nodes_[static_cast<std::size_t>(fail)].ends_entry;
      queue.push_back(child);
    }
  }
}

std::int32_t BlockListMatcher::Step(std::int32_t node, std::uint8_t byte) const {
  for (;;) {
    const std::int32_t child = Child(node, byte);
    if (child >= 0) return child;
    if (node == 0) return 0;
    node = nodes_[static_cast<std::size_t>(node)].fail;
  }
}

bool BlockListMatcher::Matches(std::string_view upper_title) const {
  if (empty_) return false;
  if (matches_everything_) return true;
  if (exact_.count(std::string(upper_title))) return true;
  if (nodes_.size() == 1) return false;
  std::int32_t node = 0;
  for (char c : upper_title) {
    node = Step(node, static_cast<std::uint8_t>(c));
    if (nodes_[static_cast<std::size_t>(node)].ends_entry) return true;
  }
  return false;
}

}  // namespace sg::app
