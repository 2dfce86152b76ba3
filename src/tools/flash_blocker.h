#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ports/platform.h"

namespace sg::tools {

// Internet Explorer's compatibility entry of the Shockwave Flash control, below
// HKEY_LOCAL_MACHINE\Software; its kill bit stops the control from loading.
inline constexpr std::string_view kFlashCompatibilitySection =
    "Microsoft\\Internet Explorer\\ActiveX Compatibility\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";
inline constexpr std::string_view kCompatibilityFlagsValue = "Compatibility Flags";
inline constexpr std::uint32_t kFlashKillBit = 0x400;
inline constexpr std::string_view kBlockFlashSetting = "m_bBlockFlash";
// Netscape's program folder, on whichever drive the program runs from.
inline constexpr std::string_view kNetscapeFolder = "\\Program Files\\Netscape";
// Where blocked Netscape plug-ins wait, beside where they were.
inline constexpr std::string_view kFlashDisabledFolder = "flash_disabled";

inline constexpr const char* kFlashDisableNeedsAdministrator =
    "Please log in with Administrator privledges in order to disable Macromedia Flash "
    "Animations.";
inline constexpr const char* kFlashEnableNeedsAdministrator =
    "Please log in with Administrator privledges in order to enable Macromedia Flash "
    "Animations.";
inline constexpr const char* kFlashDisabledMessage =
    "All Macromedia Flash Animations and advertisements have been disabled.\nYou must close and "
    "open a new web browser for changes to take effect.";

// Whether a folder entry is one of the Flash plug-in files: the browser's ActiveX control in a
// Macromedia folder, or Netscape's own plug-in. Letter case is ignored.
bool IsFlashPluginFile(std::string_view name, std::string_view path);
// Whether a plug-in file has already been moved out of the browsers' way.
bool IsMovedAway(std::string_view path);
// The Netscape folder on the drive (or network share) of the given folder.
std::string NetscapeFolderOn(std::string_view folder);

// One walk over a folder tree that moves the Flash plug-in files into a "flash_disabled" folder
// beside them, or back out of it. The walk stops entering folders once it has met Netscape's
// plug-in (or two plug-in files); linked folders are not followed. Make one per walk.
class NetscapeFlashMover {
 public:
  NetscapeFlashMover(platform::FilePort& files, bool restore) : files_(files), restore_(restore) {}

  // A folder that cannot be listed (a missing Netscape, for one) is left as it is.
  void Walk(const std::string& folder) { Walk(folder, 0); }

  int found_count() const { return found_count_; }
  const std::string& last_found_path() const { return last_found_path_; }

 private:
  void Walk(const std::string& folder, int depth);
  void MovePluginFile(const std::string& folder, const std::string& name);

  platform::FilePort& files_;
  bool restore_;
  int found_count_ = 0;
  std::string last_found_path_;
};

// Sets the kill bit and moves the Netscape plug-in away; shows nothing. True when the kill bit's
// key could be opened or created (the plug-in is moved either way).
bool BlockFlash(platform::Platform& platform);
// Clears the kill bit and moves the Netscape plug-in back; shows nothing. True as above.
bool UnblockFlash(platform::Platform& platform);

// Whether the stored option asks for Flash to be blocked; anything but 1 counts as no.
bool BlockFlashOptionOn(platform::RegistryPort& registry);

// The user ticked or cleared the "block Flash" check box: stores the option, applies it and
// tells the user what happened. A user who may not change machine-wide settings is told so and
// the option stays off. Returns whether the check box must be ticked now.
bool OnBlockFlashToggled(platform::Platform& platform, platform::DialogHost* owner, bool checked);

}  // namespace sg::tools
