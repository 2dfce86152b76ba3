#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ports/system.h"

namespace sg::online {

using platform::LocalDateTime;

// The day of the last upgrade check as "UpgradeDate" holds it: month, day and year in decimal,
// separated by single blanks. Nothing when a number is missing or 0, or the day does not exist.
std::optional<LocalDateTime> ParseUpgradeDate(std::string_view text);
std::string FormatUpgradeDate(const LocalDateTime& date);

// Whether more than 15 whole days have passed since the stored day (taken at 01:01:01).
bool IsUpgradeCheckDueAt(const LocalDateTime& stored, const LocalDateTime& now);

}  // namespace sg::online
