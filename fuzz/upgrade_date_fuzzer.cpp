// The day of the last upgrade check as the registry holds it ("UpgradeDate": "12 9 2026").
// The first line is the stored text; a second line, when it reads as a day too, is today.
#include <string>

#include "fuzz/fuzz_check.h"
#include "online/upgrade_date.h"
#include "online/upgrade_dialog.h"
#include "platform/fake/fake_platform.h"
#include "settings/registry_store.h"

namespace {

using sg::fuzz::Check;
using sg::online::LocalDateTime;

struct NoSteps final : sg::online::UpgradeSteps {
  void BeforeRemoval() override {}
  void BeforeEnd() override {}
  void EndProgram() override {}
};

bool SameDay(const LocalDateTime& a, const LocalDateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view input = sg::fuzz::TextOf(data, size);
  const std::size_t line_end = input.find('\n');
  const std::string stored(input.substr(0, line_end));
  const std::string_view rest =
      line_end == std::string_view::npos ? std::string_view() : input.substr(line_end + 1);

  const auto date = sg::online::ParseUpgradeDate(stored);
  if (date) {
    const auto again = sg::online::ParseUpgradeDate(sg::online::FormatUpgradeDate(*date));
    Check(again && SameDay(*again, *date), "a stored day reads back as itself");
    Check(!sg::online::IsUpgradeCheckDueAt(*date, *date), "a check today is not due today");
  }

  LocalDateTime now{2026, 12, 9, 10, 0, 0};
  if (const auto today = sg::online::ParseUpgradeDate(rest)) {
    now = *today;
    now.hour = 23;
    if (date) {
      Check(!(sg::online::IsUpgradeCheckDueAt(*date, now) &&
              sg::online::IsUpgradeCheckDueAt(now, *date)),
            "of two days, at most one is more than 15 days after the other");
    }
  }

  // The same text as the program meets it: read from the registry when it starts.
  sg::platform::fake::FakePlatform platform;
  platform.system.SetLocalTime(now);
  sg::settings::RegistryStore store(platform.ports().registry);
  store.WriteString("Snapgate!", "UpgradeDate", stored);
  const std::string as_read = store.ReadString("Snapgate!", "UpgradeDate");
  NoSteps steps;
  bool due = false;
  {
    sg::online::UpgradeDialog upgrade(platform.ports(), steps);
    upgrade.ConfigureUpgrade("Snapgate!", 3.293f, "http://www.snapgate.example/check.html");
    due = upgrade.IsUpgradeCheckDue();
  }
  const auto kept = sg::online::ParseUpgradeDate(store.ReadString("Snapgate!", "UpgradeDate"));
  Check(kept.has_value(), "a check always leaves a day that reads back");
  // A day not yet 16 days ago stays; anything else is replaced by today. (Longer texts are cut
  // to the program's date buffer first.)
  const auto read_day = sg::online::ParseUpgradeDate(as_read);
  if (as_read.size() < 100 && read_day && !sg::online::IsUpgradeCheckDueAt(*read_day, now)) {
    Check(!due && SameDay(*kept, *read_day), "a recent check is kept");
  } else if (as_read.size() < 100) {
    Check(due == read_day.has_value(), "due when a stored day is old; not on the first run");
    Check(SameDay(*kept, now), "a due check records today");
  }
  Check(platform.registry.OpenHandleCount() == 0, "every key opened is closed");
  return 0;
}
