#include "online/download_folder.h"

namespace sg::online {

namespace {

// Names taken by others are passed over; this many taken means someone is squatting them.
constexpr int kNamesTried = 100;

}  // namespace

DownloadFolder::DownloadFolder(platform::Platform& platform, std::string file_name)
    : platform_(platform), file_name_(std::move(file_name)) {
  const std::string temporary = platform_.system.TemporaryFolder();
  if (temporary.empty()) return;
  for (int n = 1; n <= kNamesTried; ++n) {
    const std::string candidate = temporary + "sgu" + std::to_string(n);
    switch (platform_.files.CreateFolder(candidate)) {
      case platform::CreateFolderResult::kCreated:
        folder_ = candidate;
        return;
      case platform::CreateFolderResult::kAlreadyExists:
        continue;
      case platform::CreateFolderResult::kFailed:
        return;
    }
  }
}

void DownloadFolder::Remove() {
  if (folder_.empty()) return;
  platform_.files.Delete(file());
  platform_.files.RemoveFolder(folder_);
  folder_.clear();
}

}  // namespace sg::online
