#pragma once

// A filter list file as its dialog reads it: made hidden, loaded from the file beside the
// program, as the program does at start-up.
#include <string>
#include <vector>

#include "browser/list_dialogs.h"
#include "platform/fake/fake_platform.h"

namespace sg::fuzz {

template <typename ListDialog>
std::vector<std::string> LoadedEntries(platform::fake::FakePlatform& platform,
                                       const std::string& content) {
  platform.files.PutFile(std::string(ListDialog::kFileName), content);
  ListDialog dialog(platform.ports());
  dialog.Create(nullptr);
  dialog.Load();
  const browser::FilterList list = dialog.Entries();
  std::vector<std::string> entries;
  for (int i = 0; i < list.Count(); ++i) entries.push_back(list.At(i));
  return entries;
}

// The entries saved by the dialog and loaded by a fresh one are the entries it had.
template <typename ListDialog>
bool SurvivesSaving(platform::fake::FakePlatform& platform,
                    const std::vector<std::string>& entries) {
  {
    ListDialog dialog(platform.ports());
    dialog.Create(nullptr);
    for (const std::string& entry : entries) dialog.Append(entry);
    if (!dialog.Save()) return false;
  }
  const auto saved = platform.files.FileContent(std::string(ListDialog::kFileName));
  return saved && LoadedEntries<ListDialog>(platform, *saved) == entries;
}

}  // namespace sg::fuzz
