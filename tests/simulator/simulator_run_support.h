// The simulator program run from a test: its path, the demo's folders, a
// scratch folder of a test's own, and the run's output and exit code.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/program_run.h"

namespace simulator_test {

namespace fs = std::filesystem;

using test_support::ProgramRun;

inline const std::string kProgram = TARVIK_SIM_PROGRAM;
inline const std::string kDemoFolder = TARVIK_SOURCE_DIR "/examples/demo";
inline const std::string kRouteFolder = kDemoFolder + "/Config/TKMFD/routes";

inline std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline ProgramRun RunProgram(const std::string& arguments, const fs::path& scratch) {
  return test_support::RunCommand("'" + kProgram + "' " + arguments, (scratch / "stderr.txt").string());
}

inline fs::path ScratchFolder(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / ("tarvik-sim-test-" + std::to_string(getpid())) / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

}  // namespace simulator_test
