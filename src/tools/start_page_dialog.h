#pragma once

#include <string>
#include <utility>

#include "platform/ports/dialogs.h"

namespace sg::tools {

inline constexpr const char* kStartPageTooltip =
    "Enter your own Internet Explorer start page or just click Yes to have a safe one set for "
    "you.";

// Asks whether a suspicious browser start page may be replaced. The edit box shows the page and
// lets the user type one of their own instead.
class StartPageDialog final : public platform::DialogEvents {
 public:
  explicit StartPageDialog(std::string start_page) : start_page_(std::move(start_page)) {}

  // IDOK for "&Yes", which takes the edit box's text; IDCANCEL for "&No", which leaves the page
  // as it was.
  int Run(platform::DialogsPort& dialogs, platform::DialogHost* owner);
  const std::string& start_page() const { return start_page_; }

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;
  std::string TooltipText(int control_id) override;

 private:
  platform::DialogHost* host_ = nullptr;
  std::string start_page_;
};

}  // namespace sg::tools
