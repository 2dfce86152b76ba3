// The protection history file as the program reads it at its first change: whatever it holds,
// reading it never stops the tools, a damaged file is set aside whole, and what the history
// writes back reads back as it was.
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/fake/fake_platform.h"
#include "tools/history_text.h"
#include "tools/protection_history.h"

namespace {

using sg::fuzz::Check;

const std::string kFolder = "C:\\Users\\User\\AppData\\Roaming\\Snapgate!";
const std::string kFile = kFolder + "\\history.txt";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string content(sg::fuzz::TextOf(data, size));
  const sg::tools::ParsedHistory parsed =
      sg::tools::ParseHistory(content, sg::tools::kMostHistoryEntries);
  Check(parsed.entries.size() <= sg::tools::kMostHistoryEntries, "at most 1,000 entries");
  for (std::size_t i = 1; i < parsed.entries.size(); ++i) {
    Check(parsed.entries[i - 1].id < parsed.entries[i].id, "ids rise");
  }
  const sg::tools::ParsedHistory again = sg::tools::ParseHistory(
      sg::tools::FormatHistory(parsed.entries), sg::tools::kMostHistoryEntries);
  Check(!again.damaged() && again.entries == parsed.entries, "what is written reads back");

  sg::platform::fake::FakePlatform platform;
  platform.files.CreateDirectory(kFolder);
  platform.files.PutFile(kFile, content);
  sg::tools::ProtectionHistory history(platform.ports());
  sg::tools::HistoryEntry change;
  change.tool = "Fuzz";
  change.change = "one more";
  history.Record(change);
  Check(history.entries().back().change == "one more", "a change is always kept");
  if (parsed.damaged()) {
    Check(platform.files.FileContent(kFolder + "\\history.damaged.txt") == content,
          "a damaged file is set aside whole");
  }
  const std::optional<std::string> written = platform.files.FileContent(kFile);
  Check(written.has_value(), "the history is written");
  Check(!sg::tools::ParseHistory(*written, sg::tools::kMostHistoryEntries).damaged(),
        "the file written is whole");
  return 0;
}
