set(SNAPGATE_TOOLS_TEST_SOURCES
  tools/plugin_cleaner_test.cpp
  tools/process_list_test.cpp
  tools/random_name_checker_test.cpp
  tools/spyware_names_test.cpp
  tools/spyware_pass_test.cpp
  tools/window_process_list_test.cpp)
