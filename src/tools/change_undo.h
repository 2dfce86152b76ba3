#pragma once

#include <cstdint>
#include <string>

#include "platform/ports/platform.h"
#include "tools/protection_history.h"

namespace sg::tools {

// What came of the user's Undo or Allow: done or not, and what to tell the user (empty when
// the user was told already).
struct HistoryActionOutcome {
  bool done = false;
  std::string message;
};

// Puts back the change an entry records, and records the undo: a disabled plug-in is enabled
// again as toggling it on does (and so kept safe from later passes), registry values get their
// old type and data back, a replaced file its old content. Nothing is changed when the target
// differs from what the tool left (gone, changed by someone else, of another type).
HistoryActionOutcome UndoChange(platform::Platform& platform, ProtectionHistory& history,
                                std::uint64_t id, platform::DialogHost* owner);

// For a terminated program: puts it on the allowed list (by path where known, else by name), so
// that later passes leave it running. A program of the built-in table is allowed only after
// the user confirms it once.
HistoryActionOutcome AllowProgram(platform::Platform& platform, ProtectionHistory& history,
                                  std::uint64_t id, platform::DialogHost* owner);

inline constexpr const char* kHistoryCaption = "Snapgate!";

}  // namespace sg::tools
