set(SNAPGATE_BROWSER_TEST_SOURCES
  browser/entry_dialogs_test.cpp
  browser/filter_matching_test.cpp
  browser/list_dialogs_test.cpp
  browser/list_files_test.cpp)
