set(SNAPGATE_BROWSER_SOURCES
  browser/browser_event_sink.cpp
  browser/click_detection.cpp
  browser/entry_dialogs.cpp
  browser/filter_matching.cpp
  browser/list_dialogs.cpp
  browser/list_files.cpp
  browser/toolbar_integration.cpp)
