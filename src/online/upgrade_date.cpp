#include "online/upgrade_date.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace sg::online {
namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 1970 of a day of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

std::int64_t SecondsOf(const LocalDateTime& moment) {
  return DaysFromCivil(moment.year, moment.month, moment.day) * 86400 + moment.hour * 3600 +
         moment.minute * 60 + moment.second;
}

}  // namespace

std::optional<LocalDateTime> ParseUpgradeDate(std::string_view text) {
  std::vector<int> numbers;
  std::size_t at = 0;
  while (numbers.size() < 3) {
    while (at < text.size() && text[at] == ' ') ++at;
    if (at >= text.size()) break;
    const std::size_t end = text.find(' ', at);
    const std::string piece(text.substr(at, end == std::string_view::npos ? end : end - at));
    // atoi's reading, with a number too large for an int held at its end of the range.
    const long number = std::strtol(piece.c_str(), nullptr, 10);
    numbers.push_back(static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX)));
    if (end == std::string_view::npos) break;
    at = end;
  }
  if (numbers.size() < 3) return std::nullopt;
  LocalDateTime date{numbers[2], numbers[0], numbers[1], 1, 1, 1};
  // A day the calendar does not have cannot be counted from: it is treated as no date at all.
  if (date.year <= 0 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month)) {
    return std::nullopt;
  }
  return date;
}

std::string FormatUpgradeDate(const LocalDateTime& date) {
  return std::to_string(date.month) + " " + std::to_string(date.day) + " " +
         std::to_string(date.year);
}

bool IsUpgradeCheckDueAt(const LocalDateTime& stored, const LocalDateTime& now) {
  LocalDateTime checked = stored;
  checked.hour = checked.minute = checked.second = 1;
  // Whole days, cut toward zero: a day in the future is never due.
  const std::int64_t whole_days = (SecondsOf(now) - SecondsOf(checked)) / 86400;
  return whole_days > 15;
}

}  // namespace sg::online
