set(SNAPGATE_BROWSER_SOURCES
  browser/entry_dialogs.cpp
  browser/filter_matching.cpp
  browser/list_dialogs.cpp
  browser/list_files.cpp)
