#pragma once

// Facts about the machine a Wine test run met, printed so that the test command can sum them up.
#include <cstdio>
#include <string>

namespace sg::testing {

inline void NoteForTheRun(const std::string& fact) {
  std::printf("note: %s\n", fact.c_str());
  std::fflush(stdout);
}

}  // namespace sg::testing
