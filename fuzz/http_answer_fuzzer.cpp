// What a web server answers the program: status, headers (a Location among them) and body,
// read as the upgrade page's lines and downloaded as the upgrade installer. The input is one
// answer as a server sends it, or several separated by a line "--next answer--": each next one
// answers at the Location of the one before. Two header lines script the network instead of
// reaching the program: "X-Fuzz-Breaks-After: <bytes>" breaks the connection off there, and
// "X-Fuzz-Needs-Password" makes the server ask for a password first.
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "online/http_fetcher.h"
#include "platform/fake/fake_platform.h"

namespace {

using sg::fuzz::Check;
using sg::platform::fake::FakeInternet;

constexpr std::string_view kSeparator = "\n--next answer--\n";
constexpr std::string_view kBreaksAfter = "X-Fuzz-Breaks-After: ";
constexpr std::string_view kNeedsPassword = "X-Fuzz-Needs-Password";
constexpr std::size_t kMostAnswers = 4;
const std::string kPage = "http://www.snapgate.example/snapgate_upgrade_check.html";
const std::string kInstaller = "C:\\Temp\\NewUpdate.exe";

std::optional<std::uint64_t> Number(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

// Takes one line off the front, without its line end.
std::string_view TakeLine(std::string_view& text) {
  const std::size_t end = std::min(text.find('\n'), text.size());
  std::string_view line = text.substr(0, end);
  text.remove_prefix(std::min(end + 1, text.size()));
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

FakeInternet::Answer AnswerOf(std::string_view text) {
  FakeInternet::Answer answer;
  const std::string_view status_line = TakeLine(text);
  const std::size_t blank = status_line.find(' ');
  const auto status = Number(blank == std::string_view::npos ? "" : status_line.substr(blank + 1));
  answer.status = static_cast<std::uint32_t>(status.value_or(0));
  while (!text.empty()) {
    const std::string_view header = TakeLine(text);
    if (header.empty()) break;
    if (header.starts_with(kBreaksAfter)) {
      answer.breaks_after = Number(header.substr(kBreaksAfter.size()));
    } else if (header == kNeedsPassword) {
      answer.needs_password = true;
    } else {
      answer.headers.emplace_back(header);
    }
  }
  answer.body = text;
  return answer;
}

std::optional<std::string> LocationOf(const FakeInternet::Answer& answer) {
  for (const std::string& header : answer.headers) {
    if (header.starts_with("Location: ")) return header.substr(10);
  }
  return std::nullopt;
}

std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  std::string_view input = sg::fuzz::TextOf(data, size);
  std::vector<FakeInternet::Answer> answers;
  while (answers.size() < kMostAnswers) {
    const std::size_t end = std::min(input.find(kSeparator), input.size());
    answers.push_back(AnswerOf(input.substr(0, end)));
    if (end == input.size()) break;
    input.remove_prefix(end + kSeparator.size());
  }

  sg::platform::fake::FakePlatform platform;
  platform.files.CreateDirectory("C:\\Temp");
  platform.internet.Serve(kPage, answers[0]);
  for (std::size_t i = 1; i < answers.size(); ++i) {
    if (const auto location = LocationOf(answers[i - 1])) {
      platform.internet.Serve(*location, answers[i]);
    }
  }
  // Whatever the program read must be one of the bodies served (or the empty one of a 401).
  const auto is_body = [&](const std::string& text, bool whole, bool without_cr) {
    if (text.empty()) return true;
    return std::any_of(answers.begin(), answers.end(), [&](const FakeInternet::Answer& answer) {
      const std::string body = without_cr ? WithoutCarriageReturns(answer.body) : answer.body;
      return whole ? body == text : body.starts_with(text);
    });
  };

  sg::online::HttpFetcher fetcher(platform.ports());
  const std::vector<std::string> lines = fetcher.Fetch(kPage);
  Check(platform.internet.OpenHandles() == 0, "a text fetch closes what it opened");
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    Check(!line.empty() && line.size() <= 1022, "lines fit the 1,023-character buffer");
    Check(line.find('\r') == std::string::npos, "lines lose their carriage returns");
    const std::size_t feed = line.find('\n');
    Check(feed == std::string::npos || feed + 1 == line.size(), "a line feed ends its line");
    Check(i + 1 == lines.size() || feed != std::string::npos || line.size() == 1022,
          "only the last line or a full buffer lacks its line feed");
    joined += line;
  }
  Check(is_body(joined, false, true), "the lines are the start of a body served");

  const bool complete =
      (fetcher.Fetch(kPage, kInstaller), fetcher.last_download_complete());
  Check(platform.internet.OpenHandles() == 0, "a download closes what it opened");
  const auto saved = platform.files.FileContent(kInstaller);
  Check(complete == saved.has_value(), "a download that is not whole leaves no file");
  // A body without a length ends at its first short block, so a connection that breaks off
  // after one goes unnoticed: the signature check is what turns such a file away.
  const bool breaks = std::any_of(answers.begin(), answers.end(),
                                  [](const FakeInternet::Answer& answer) { return answer.breaks_after; });
  if (saved) {
    Check(!saved->empty() && is_body(*saved, !breaks, false),
          "a file is a whole body, or the start of one that broke off");
  }
  return 0;
}
