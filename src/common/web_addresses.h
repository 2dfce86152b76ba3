#pragma once

// The program's addresses on its maker's web site, in one place.
namespace sg {

inline constexpr const char* kOnlineHelpPage = "http://www.snapgate.example/help.html";
inline constexpr const char* kPopupTestPage = "http://www.snapgate.example/popuptest.html";

}  // namespace sg
