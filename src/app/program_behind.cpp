#include "app/program_behind.h"

#include "tools/window_process_list.h"

namespace sg::app {

namespace {
constexpr std::size_t kTitleBufferSize = 1000;
}

std::string FindProgramBehind(platform::WindowsPort& windows, platform::ProcessesPort& processes) {
  std::string result;
  for (const platform::WindowHandle window : windows.TopLevelWindows()) {
    const std::string title = windows.WindowText(window, kTitleBufferSize);
    if (title.empty() || !windows.IsVisible(window)) continue;
    // The topmost one is the window just opened; the one behind it is wanted.
    if (result.empty()) {
      result = kGetNextMarker;
      continue;
    }
    result = title;
    const auto state = windows.ShowState(window);
    if (state && (*state == platform::kSwShowMinimized || *state == platform::kSwMinimize ||
                  *state == platform::kSwShowMinNoActive)) {
      return {};
    }
    tools::WindowProcessList list(windows, processes);
    list.Build(tools::window_filter::kVisibleOnly | tools::window_filter::kTopLevelOnly |
               tools::window_filter::kExcludeClasses);
    for (std::size_t i = 0; i < list.Count(); ++i) {
      if (list.Window(i) == window) {
        if (!list.ModulePath(i).empty()) result = list.ModulePath(i);
        break;
      }
    }
    return result;
  }
  return result;
}

}  // namespace sg::app
