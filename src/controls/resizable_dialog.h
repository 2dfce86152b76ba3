#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/dialogs.h"
#include "platform/ports/platform.h"

namespace sg::controls {

// Anchor flags (the high 16 bits of an anchor word): what happens to a control when the client
// area grows by dx, dy.
inline constexpr std::uint32_t kAnchorMoveRight = 0x1;  // ignored with kAnchorStretchRight
inline constexpr std::uint32_t kAnchorMoveDown = 0x2;   // ignored with kAnchorStretchDown
inline constexpr std::uint32_t kAnchorStretchRight = 0x4;
inline constexpr std::uint32_t kAnchorStretchDown = 0x8;

// One anchor word: flags in the high 16 bits, the control id in the low 16 bits.
constexpr std::uint32_t AnchorWord(int control, std::uint32_t flags) {
  return (flags << 16) | (static_cast<std::uint32_t>(control) & 0xFFFF);
}

// A control's rectangle after the client area grew by dx, dy under an anchor's flags.
platform::WindowRect Anchored(const platform::WindowRect& rect, std::uint32_t flags, int dx,
                              int dy);

// The bottom-right square of a rectangle, of the size grip's size.
platform::WindowRect CornerSquare(const platform::WindowRect& rect, platform::WindowSize square);

// The largest window size taken from the size memory: larger entries are damaged.
inline constexpr int kLargestRememberedSize = 10000;

// The remembered outer size of dialogs: entries "CX" and "CY" in the section named by the
// template id in lower-case hexadecimal, in the program's profile file. That file lies in the
// user's application-data folder, which a normal user can write (the Windows folder is not).
class DialogSizeMemory {
 public:
  explicit DialogSizeMemory(platform::Platform& platform) : platform_(platform) {}

  // "<application data>\Snapgate!\Snapgate!.ini"; empty when the system names no such folder.
  std::string ProfileFile();
  static std::string Section(unsigned template_id);
  // Both entries, or nothing when either is missing or zero. Damaged values are brought
  // within [minimum, kLargestRememberedSize].
  std::optional<platform::WindowSize> Read(unsigned template_id, platform::WindowSize minimum);
  // False when the file cannot be written.
  bool Write(unsigned template_id, platform::WindowSize size);

 private:
  platform::Platform& platform_;
};

// A dialog whose anchored controls follow the right and bottom edges as the user resizes it,
// with a size grip in the bottom-right corner and its size remembered between showings.
// A derived dialog adds its anchors, then runs ResizableDialog::OnInitDialog.
class ResizableDialog : public platform::DialogEvents {
 public:
  ResizableDialog(platform::Platform& platform, unsigned template_id);

  // An anchor without flags is not kept.
  void AddAnchor(int control, std::uint32_t flags);
  void SetMinimumTrackingSize(int width, int height) { minimum_ = {width, height}; }
  const std::vector<std::uint32_t>& anchors() const { return anchors_; }
  bool resized() const { return resized_; }
  platform::WindowSize last_size() const { return last_; }

  void OnInitDialog(platform::DialogHost& host) override;
  // OK and Cancel end the dialog.
  void OnCommand(int id, int notification) override;
  void OnSize(int type, int cx, int cy) override;
  std::optional<platform::WindowSize> OnGetMinMaxInfo() override;
  std::optional<int> OnNcHitTest(int default_answer, int x, int y) override;
  void OnPaint() override;
  void OnDestroy() override;

 protected:
  platform::Platform& platform() { return platform_; }
  platform::DialogHost* host() { return host_; }

 private:
  platform::Platform& platform_;
  DialogSizeMemory memory_;
  unsigned template_id_;
  std::vector<std::uint32_t> anchors_;
  bool remember_size_ = true;
  bool size_grip_ = true;
  platform::WindowSize last_{};  // client size at the last WM_SIZE; 0 until known
  bool resized_ = false;
  platform::WindowSize minimum_{};  // 0 = none
  platform::WindowRect grip_{};
  platform::DialogHost* host_ = nullptr;
};

}  // namespace sg::controls
