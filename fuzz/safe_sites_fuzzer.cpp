// The safe sites, "whitelist.txt": the file as its dialog loads it, then browser addresses
// against its entries, as the event sink asks before it blocks a new window.
#include <string>
#include <vector>

#include "browser/filter_matching.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/list_file.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using sg::fuzz::Check;
  const std::string content(sg::fuzz::TextOf(data, size));
  sg::platform::fake::FakePlatform platform;
  const std::vector<std::string> entries =
      sg::fuzz::LoadedEntries<sg::browser::SafeSiteDialog>(platform, content);

  sg::browser::SafeSiteDialog dialog(platform.ports());
  dialog.Create(nullptr);
  dialog.Load();
  const sg::browser::FilterList sites = dialog.Entries();
  const auto safe = [&](const std::string& address) {
    return sites.AnyMatch(
        [&](const std::string& entry) { return sg::browser::MatchesSafeSite(address, entry); });
  };
  for (const std::string& entry : entries) {
    Check(safe("http://" + entry + "/index.html"), "a page of a listed site is safe");
  }
  if (!entries.empty()) {
    Check(!safe(""), "no entry is empty, so an empty address is never safe");
  }
  Check(safe(content) == (content.size() > 0 && !entries.empty()),
        "the file's own text holds each of its entries");

  Check(sg::fuzz::SurvivesSaving<sg::browser::SafeSiteDialog>(platform, entries),
        "saved safe sites load back as they were");
  return 0;
}
