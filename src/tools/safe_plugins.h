#pragma once

#include <string>
#include <string_view>

#include "platform/ports/files.h"

namespace sg::tools {

// The user's own safe plug-ins, kept with the user's lists.
inline constexpr const char* kSafePluginFileName = "safebho.txt";

// The part of a path after its last "\"; the whole path when it has none.
std::string FileNamePart(std::string_view path);

// A DLL that Windows itself owns and other programs share (the .NET runtime's loader, the
// browser's own libraries) in its system or browser folder. Renaming one would break every
// program that loads it, so the cleaner never does.
bool IsSharedWindowsComponent(std::string_view path);

// Which plug-ins are safe: built-in rules, then the lines of the user's file. A rule is
// "name: " or "exe: " followed by the text to look for.
class SafePluginRules {
 public:
  SafePluginRules(platform::FilePort& files, std::string safe_file_path)
      : files_(files), safe_file_path_(std::move(safe_file_path)) {}

  bool IsSafePlugin(std::string_view name, std::string_view path);
  // Makes a DLL safe by its file name ("exe: " line), unless a line already does.
  void AddSafeFile(std::string_view file_name);
  // Takes back every line that makes this DLL file name safe. The other lines stay as they were.
  void RemoveSafeFile(std::string_view file_name);

 private:
  platform::FilePort& files_;
  std::string safe_file_path_;
};

}  // namespace sg::tools
