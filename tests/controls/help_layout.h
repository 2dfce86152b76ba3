#pragma once

#include "platform/fake/fake_dialogs.h"
#include "resources/resource_ids.h"

namespace sg::controls {

// Template IDD_HELP as the window system lays it out, in pixels.
inline constexpr platform::WindowSize kHelpTemplateSize{466, 437};
inline constexpr platform::WindowSize kHelpFrame{8, 31};

inline platform::fake::FakeDialogs::Layout HelpLayout() {
  platform::fake::FakeDialogs::Layout layout;
  layout.outer = kHelpTemplateSize;
  layout.frame = kHelpFrame;
  layout.controls = {
      {IDC_HELP_ICON, {10, 11, 42, 43}},           {IDC_HELP_VERSION, {52, 13, 352, 42}},
      {IDC_HELP_BROWSER, {10, 52, 439, 341}},      {IDC_HELP_ANIMATION, {10, 351, 43, 383}},
      {IDC_HELP_EMAIL, {52, 353, 277, 366}},       {IDC_HELP_WEB_SITE, {52, 371, 277, 384}},
      {IDC_HELP_POPUP_TEST, {283, 372, 358, 395}}, {IDC_HELP_OK, {364, 372, 439, 395}},
  };
  return layout;
}

}  // namespace sg::controls
