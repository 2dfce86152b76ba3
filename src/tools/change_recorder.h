#pragma once

#include <string>
#include <string_view>

#include "tools/history_entry.h"

namespace sg::tools {

// Where the protection tools record each change they make on their own, with its reason.
class ChangeRecorder {
 public:
  virtual ~ChangeRecorder() = default;
  // Keeps the entry; the recorder gives it its id and time.
  virtual void Record(HistoryEntry entry) = 0;
  // Keeps a copy of a file's content before a tool replaces it. The copy's path; empty when no
  // copy could be kept.
  virtual std::string KeepBackup(std::string_view file_name, std::string_view content) = 0;
};

// A short fingerprint of a file's content, to tell later whether someone changed it.
std::string ContentDigest(std::string_view content);

}  // namespace sg::tools
