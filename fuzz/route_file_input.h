// The fuzzer's input as a route file on disk, since the reader reads files:
// one file per process, rewritten for every input and removed at exit.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz_input {

inline std::string& RoutePath() {
  static std::string path;
  return path;
}

// The readers echo nothing (DiscardEcho), so the fuzzer's output stays
// readable.
inline void Begin(const char* stem) {
  RoutePath() = "/tmp/" + std::string(stem) + std::to_string(getpid()) + ".route";
  std::atexit([] { std::remove(RoutePath().c_str()); });
}

// False when the file cannot be written: the input is skipped.
inline bool WriteRouteFile(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(RoutePath().c_str(), "wb");
  if (file == nullptr) return false;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  return true;
}

}  // namespace fuzz_input
