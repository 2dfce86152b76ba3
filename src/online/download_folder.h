#pragma once

#include <string>

#include "platform/ports/platform.h"

namespace sg::online {

// A folder made afresh for one download in the user's temporary folder, "sgu<n>" for the first
// n whose name nobody has taken: never a folder that was there before, so nothing that anyone
// put there beforehand (a file of the download's name, a library beside it) is taken for ours.
// Removing it deletes the download and then the folder, which stays when something else was
// put in it.
class DownloadFolder {
 public:
  DownloadFolder(platform::Platform& platform, std::string file_name);
  ~DownloadFolder() { Remove(); }
  DownloadFolder(const DownloadFolder&) = delete;
  DownloadFolder& operator=(const DownloadFolder&) = delete;

  // False when no folder could be made.
  bool made() const { return !folder_.empty(); }
  // The download's full path in the folder.
  std::string file() const { return folder_ + "\\" + file_name_; }
  void Remove();

 private:
  platform::Platform& platform_;
  std::string file_name_;
  std::string folder_;  // empty: none made, or removed
};

}  // namespace sg::online
