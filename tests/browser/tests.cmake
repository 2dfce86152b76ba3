set(SNAPGATE_BROWSER_TEST_SOURCES
  browser/browser_event_sink_test.cpp
  browser/click_detection_test.cpp
  browser/entry_dialogs_test.cpp
  browser/filter_matching_test.cpp
  browser/list_dialogs_test.cpp
  browser/list_files_test.cpp
  browser/toolbar_integration_test.cpp)
