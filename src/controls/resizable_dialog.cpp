#include "controls/resizable_dialog.h"

#include <algorithm>
#include <cstdio>

#include "common/ini_text.h"
#include "common/user_data_folder.h"
#include "common/whole_file.h"

namespace sg::controls {

namespace {

constexpr const char* kProfileFileName = "Snapgate!.ini";
// Two lengths for each of a handful of dialogs.
constexpr std::size_t kLargestSizesFile = 64u << 10;

// A remembered length as a window may take it.
int Sane(int length, int minimum) {
  return std::clamp(length, std::max(minimum, 1), kLargestRememberedSize);
}

}  // namespace

platform::WindowRect Anchored(const platform::WindowRect& rect, std::uint32_t flags, int dx,
                              int dy) {
  platform::WindowRect moved = rect;
  if (flags & kAnchorStretchRight) {
    moved.right += dx;
  } else if (flags & kAnchorMoveRight) {
    moved.left += dx;
    moved.right += dx;
  }
  if (flags & kAnchorStretchDown) {
    moved.bottom += dy;
  } else if (flags & kAnchorMoveDown) {
    moved.top += dy;
    moved.bottom += dy;
  }
  return moved;
}

platform::WindowRect CornerSquare(const platform::WindowRect& rect, platform::WindowSize square) {
  return {rect.right - square.width, rect.bottom - square.height, rect.right, rect.bottom};
}

std::string DialogSizeMemory::ProfileFile() {
  const std::string folder = UserDataFolder(platform_.profile);
  if (folder.empty()) return {};
  return folder + "\\" + kProfileFileName;
}

std::string DialogSizeMemory::Section(unsigned template_id) {
  char section[16];
  std::snprintf(section, sizeof section, "%x", template_id);
  return section;
}

std::optional<platform::WindowSize> DialogSizeMemory::Read(unsigned template_id,
                                                           platform::WindowSize minimum) {
  const std::string file = ProfileFile();
  if (file.empty()) return std::nullopt;
  const std::string section = Section(template_id);
  const int cx = platform_.profile.GetPrivateProfileInt(section, "CX", 0, file);
  const int cy = platform_.profile.GetPrivateProfileInt(section, "CY", 0, file);
  if (cx == 0 || cy == 0) return std::nullopt;
  return platform::WindowSize{Sane(cx, minimum.width), Sane(cy, minimum.height)};
}

bool DialogSizeMemory::Write(unsigned template_id, platform::WindowSize size) {
  const std::string file = ProfileFile();
  if (file.empty()) return false;
  // The system does not make the file's folder.
  platform_.files.CreateFolder(file.substr(0, file.rfind('\\')));
  std::string content;
  if (platform_.files.Exists(file)) {
    // A file that cannot be read now, or has grown past any list of sizes, is kept rather than
    // replaced by this one size.
    const std::optional<std::string> old =
        ReadWholeFile(platform_.files, file, kLargestSizesFile);
    if (!old) return false;
    content = *old;
  }
  // Both lengths in one whole new file: a save cut short never leaves the width of one size
  // with the height of another.
  const std::string section = Section(template_id);
  content = WithIniEntry(content, section, "CX", std::to_string(size.width));
  content = WithIniEntry(content, section, "CY", std::to_string(size.height));
  return ReplaceWholeFile(platform_.files, file, content);
}

ResizableDialog::ResizableDialog(platform::Platform& platform, unsigned template_id)
    : platform_(platform), memory_(platform), template_id_(template_id) {}

void ResizableDialog::AddAnchor(int control, std::uint32_t flags) {
  if (flags == 0) return;
  anchors_.push_back(AnchorWord(control, flags));
}

void ResizableDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  // The window got its first WM_SIZE before it reached us: that size is the known one.
  last_ = host.ClientSize();
  resized_ = false;
  if (!remember_size_) return;
  if (const auto size = memory_.Read(template_id_, minimum_))
    host.ResizeWindow(size->width, size->height);
}

void ResizableDialog::OnCommand(int id, int) {
  if ((id == platform::kIdOk || id == platform::kIdCancel) && host_) host_->EndDialog(id);
}

void ResizableDialog::OnSize(int type, int cx, int cy) {
  if (type == platform::kSizeMinimized || !host_) return;
  const int dx = cx - last_.width;
  const int dy = cy - last_.height;
  if (last_.width != 0 && (dx != 0 || dy != 0)) {
    resized_ = true;
    for (const std::uint32_t anchor : anchors_) {
      const int control = static_cast<int>(anchor & 0xFFFF);
      const std::optional<platform::WindowRect> rect = host_->ControlRect(control);
      if (!rect) continue;
      host_->InvalidateControl(control);
      host_->SetControlRect(control, Anchored(*rect, anchor >> 16, dx, dy));
    }
  }
  last_ = {cx, cy};
  if (size_grip_) host_->Invalidate(grip_);
}

std::optional<platform::WindowSize> ResizableDialog::OnGetMinMaxInfo() {
  if (minimum_.width == 0 && minimum_.height == 0) return std::nullopt;
  return minimum_;
}

std::optional<int> ResizableDialog::OnNcHitTest(int default_answer, int x, int y) {
  if (default_answer != platform::kHtClient || !size_grip_ || !host_) return std::nullopt;
  const platform::WindowRect square = CornerSquare(host_->OuterRect(), host_->SizeGripSize());
  if (x >= square.left && x < square.right && y >= square.top && y < square.bottom) {
    return platform::kHtBottomRight;
  }
  return std::nullopt;
}

void ResizableDialog::OnPaint() {
  if (!size_grip_ || !host_) return;
  const platform::WindowSize client = host_->ClientSize();
  grip_ = CornerSquare({0, 0, client.width, client.height}, host_->SizeGripSize());
  host_->DrawSizeGrip(grip_);
}

void ResizableDialog::OnDestroy() {
  if (host_ && remember_size_ && resized_ && last_.width != 0) {
    const platform::WindowRect outer = host_->OuterRect();
    memory_.Write(template_id_, {outer.right - outer.left, outer.bottom - outer.top});
  }
  last_ = {};
  resized_ = false;
  host_ = nullptr;
}

}  // namespace sg::controls
