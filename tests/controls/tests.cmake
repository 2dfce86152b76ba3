set(SNAPGATE_CONTROLS_TEST_SOURCES
  controls/help_dialog_test.cpp
  controls/hyperlink_test.cpp
  controls/resizable_dialog_test.cpp)
