#include "tools/protection_report.h"

namespace sg::tools {

namespace {
constexpr int kLongestSearchedList = 2000;
}  // namespace

bool AppendUnlessListed(ProtectionReport& report, const std::string& line) {
  if (report.LineCount() < kLongestSearchedList && report.HasLine(line)) return false;
  report.AppendLine(line);
  return true;
}

}  // namespace sg::tools
