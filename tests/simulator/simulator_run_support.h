// The simulator program run from a test: its path, the demo's folders, the
// demo with one more route loaded, and a search of a run's lines.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace simulator_test {

namespace fs = std::filesystem;

inline const std::string kProgram = TARVIK_SIM_PROGRAM;
inline const std::string kDemoFolder = TARVIK_SOURCE_DIR "/examples/demo";
inline const std::string kRouteFolder = kDemoFolder + "/Config/TKMFD/routes";

inline test_support::ProgramRun RunProgram(const std::string& arguments) {
  return test_support::RunCommand("'" + kProgram + "' " + arguments);
}

// The short demo with its two routes beside it and one more, loaded on
// display 1 at 900 s; returns the scenario file's path.
inline std::string DemoLoadingRoute(const test_support::TempFolder& scratch, const std::string& name,
                                    const std::string& routeText) {
  using nlohmann::json;
  fs::create_directories(scratch / "routes");
  for (const char* demoRoute : {"tug.route", "short-kestrel.route"})
    fs::copy_file(kRouteFolder + "/" + demoRoute, scratch / "routes" / demoRoute);
  std::ofstream(scratch / "routes" / name) << routeText;
  json scenario = json::parse(test_support::ReadBytes(kDemoFolder + "/short.json"));
  scenario["routeFolder"] = "routes";
  scenario["timeline"].push_back({{"at", 900}, {"display", 1}, {"loadRoute", name}});
  const std::string file = scratch.File("s.json");
  std::ofstream(file) << scenario.dump();
  return file;
}

inline bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace simulator_test
