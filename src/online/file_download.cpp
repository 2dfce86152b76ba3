#include "online/file_download.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "common/ascii.h"
#include "resources/resource_ids.h"

namespace sg::online {

namespace {

constexpr std::size_t kBlockSize = 1024;
// Far more than any setup program of ours; a server that sends more is not to be believed.
constexpr std::uint64_t kLargestDownload = 64 * 1024 * 1024;
// The status text moves on every 32 blocks and at the end: a repaint for every block kept the
// program busy for a third of the time while a slow download trickled in.
constexpr std::uint64_t kProgressStep = 32 * kBlockSize;

// A block read as text, up to its first zero byte.
bool IsWebPage(std::span<const std::uint8_t> block) {
  const auto end = std::find(block.begin(), block.end(), std::uint8_t{0});
  const std::string_view text(reinterpret_cast<const char*>(block.data()),
                              static_cast<std::size_t>(end - block.begin()));
  return AsciiLower(text).find("<html>") != std::string::npos;
}

std::string Progress(std::uint64_t total, std::uint32_t length) {
  std::string text = "Read " + std::to_string(total);
  if (length != 0) text += "/" + std::to_string(length);
  return text + " bytes";
}

}  // namespace

bool DownloadToFile(platform::Platform& platform, HttpRequest& request,
                    const std::string& local_path, platform::DialogHost* status_window) {
  if (status_window) status_window->SetText(IDC_UPGRADE_STATUS_TEXT, "Downloading update ..");
  const std::uint32_t length = request.ContentLength().value_or(0);
  // The body grows under a name of its own and takes the file's name only when whole: a
  // download cut short, even by the end of the program, leaves no part of an installer under
  // the installer's name.
  const std::string partial_path = local_path + ".part";
  std::unique_ptr<platform::OpenFile> file =
      platform.files.Open(partial_path, platform::FileOpenMode::kCreateWriteOnly);
  std::uint64_t total = 0;
  std::uint64_t shown = 0;
  bool counted = false;  // a block was read and kept
  bool stopped = length > kLargestDownload;
  std::array<std::uint8_t, kBlockSize> block;
  for (bool more = !stopped; more;) {
    const platform::InternetRead read = request.Read(block);
    const std::span<const std::uint8_t> bytes(block.data(), read.size);
    if (read.error != platform::WinError::kSuccess || total + read.size > kLargestDownload ||
        IsWebPage(bytes) || !file || !file->Write(bytes)) {
      stopped = true;
      break;
    }
    total += read.size;
    counted = true;
    if (status_window && total - shown >= kProgressStep) {
      status_window->SetText(IDC_UPGRADE_STATUS_TEXT, Progress(total, length));
      shown = total;
    }
    more = read.size == block.size();
  }
  if (status_window && counted) {
    status_window->SetText(IDC_UPGRADE_STATUS_TEXT, Progress(total, length));
  }

  const bool closed = file && file->Close();
  // Only the whole body may stay: a part of an installer must never be taken for one.
  const bool complete = !stopped && closed && total != 0 && (length == 0 || total == length);
  if (complete && platform.files.ReplaceFile(partial_path, local_path)) return true;
  platform.files.Delete(partial_path);
  return false;
}

}  // namespace sg::online
