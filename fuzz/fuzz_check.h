#pragma once

// What the fuzz targets share: a check that stops the run, so that libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace sg::fuzz {

inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// The input as the text it stands for.
inline std::string_view TextOf(const unsigned char* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace sg::fuzz
