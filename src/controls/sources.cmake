set(SNAPGATE_CONTROLS_SOURCES
  controls/help_dialog.cpp
  controls/hyperlink.cpp
  controls/resizable_dialog.cpp)
