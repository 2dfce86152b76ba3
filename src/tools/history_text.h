#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/history_entry.h"

namespace sg::tools {

// The history file's first line.
inline constexpr std::string_view kHistoryHeader = "Snapgate! protection history";

// The entries as the history file holds them: a header line, then each entry as a block of
// "name=value" lines opened by "[change <id>]". Bytes that would break a line (controls, "%")
// are written as "%" and two hex digits; everything else stays as it is, so the file reads as
// text.
std::string FormatHistory(const std::vector<HistoryEntry>& entries);

struct ParsedHistory {
  std::vector<HistoryEntry> entries;  // the newest `most_entries`, oldest first
  std::size_t unreadable_lines = 0;   // lines that belong to no readable entry
  bool header_missing = false;
  bool damaged() const { return header_missing || unreadable_lines > 0; }
};

// Reads what it can: an entry with a line it cannot read (an unknown name, a bad escape, an
// impossible time, a repeated or falling id) is skipped whole, and its lines are counted.
ParsedHistory ParseHistory(std::string_view text, std::size_t most_entries);

// A time as the history shows it: "2026-12-09 15:46:27".
std::string HistoryTimeText(const platform::LocalDateTime& time);

// The text of a registry root as the registry editor names it.
std::string RootName(platform::RegistryRoot root);

}  // namespace sg::tools
