set(SNAPGATE_TOOLS_SOURCES
  tools/process_ids.cpp
  tools/process_list.cpp
  tools/window_process_list.cpp)
