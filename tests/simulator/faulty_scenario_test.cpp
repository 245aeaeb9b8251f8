// Scenarios with a fault stop before running, and say where and why.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <cairo.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "geodesy/angles.h"
#include "simulator/summary.h"
#include "tests/simulator/simulator_run_support.h"
#include "tests/support/program_run.h"
#include "tests/support/summary_reading.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using ::testing::HasSubstr;
using namespace test_support;    // the runner, the folder and the summary readers
using namespace simulator_test;  // the program and the demo

// ---- Scenarios with a fault -------------------------------------------------

struct FaultCase {
  const char* name;
  void (*spoil)(json& scenario);
  std::string place;
  std::string fault;  // {routes} stands for the route folder
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

void AddFocusOnOsprey(json& s) { s["timeline"].push_back(json::object({{"at", 10}, {"focus", "Osprey"}})); }

const FaultCase kFaults[] = {
    {"MissingField", [](json& s) { s.erase("duration"); }, "/duration", "required field is missing"},
    {"WrongType", [](json& s) { s["vessels"][0]["heading"] = "east"; }, "/vessels/0/heading",
     "expected a number, found a string"},
    {"UnknownField", [](json& s) { s["vessels"][1]["hedaing"] = 90; }, "/vessels/1/hedaing", "unknown field"},
    {"MisspeltRequiredField",
     [](json& s) {
       s["vessels"][0]["lattitude"] = s["vessels"][0]["latitude"];
       s["vessels"][0].erase("latitude");
     },
     "/vessels/0/lattitude", "unknown field; did you mean \"latitude\"?"},
    {"RefreshThatCannotAdvance", [](json& s) { s["refreshInterval"] = 1e-300; }, "/refreshInterval",
     "is too small to move the clock on over the duration"},
    {"FramesThatCannotAdvance", [](json& s) { s["frameInterval"] = 1e-300; }, "/frameInterval",
     "is too small to move the clock on over the duration"},
    {"MoreStepsThanAskedFor", [](json& s) { s["timeStep"] = 1e-9; }, "/timeStep",
     "makes 9.6e+11 steps over the duration, more than 10000000; say \"longRun\": true to run them"},
    {"MoreStepsThanAnyRun",
     [](json& s) {
       s["duration"] = 1e15;
       s["longRun"] = true;
     },
     "/timeStep", "makes 1e+16 steps over the duration, more than any run can take"},
    {"DurationBeyondTheClock", [](json& s) { s["duration"] = 1e29; }, "/timeStep",
     "is too small to move the clock on over the duration"},
    {"LongRunIsAFlag", [](json& s) { s["longRun"] = "yes"; }, "/longRun", "expected true or false, found a string"},
    {"UnknownVessel", AddFocusOnOsprey, "/timeline/14/focus", "unknown vessel \"Osprey\""},
    {"RouteFileNotThere", [](json& s) { s["vessels"][1]["route"] = "ferry.route"; }, "/vessels/1/route",
     "route file \"ferry.route\" not found in {routes}"},
    {"LoadedRouteNotThere", [](json& s) { s["timeline"][3]["loadRoute"] = "ferry.route"; }, "/timeline/3/loadRoute",
     "route file \"ferry.route\" not found in {routes}"},
    {"KeyBeforeAnyMode", [](json& s) { s["timeline"].insert(s["timeline"].begin(), json::object({{"at", 0}, {"display", 2}, {"key", "N"}})); },
     "/timeline/0", "display 2 shows no mode at this time (select one with modeKey first)"},
    {"NoDisplayOfThatNumber", [](json& s) { s["timeline"][7]["display"] = 3; }, "/timeline/7/display",
     "no display 3 (the scenario has 3)"},
    {"ModeKeyNoModeAnswers", [](json& s) { s["timeline"][0]["modeKey"] = 18; }, "/timeline/0/modeKey",
     "no display mode answers key 18"},
    {"UnknownTransmitter", [](json& s) { s["vessels"][0]["receivers"][1] = "XYZ"; }, "/vessels/0/receivers/1",
     "unknown transmitter \"XYZ\""},
    {"TwoActionsInOneEvent", [](json& s) { s["timeline"][8]["delete"] = "Tug"; }, "/timeline/8",
     "expected exactly one of modeKey, leaveMode, key, button, loadRoute, focus, delete; found 2"},
};

class FaultyScenario : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultyScenario, StopsWithFilePlaceAndFaultAndWritesNothing) {
  const FaultCase& c = GetParam();
  const TempFolder scratch;
  json scenario = json::parse(ReadBytes(kDemoFolder + "/short.json"));
  scenario["routeFolder"] = kRouteFolder;
  c.spoil(scenario);
  const std::string file = (scratch / "faulty.json").string();
  std::ofstream(file) << scenario.dump(2);
  const fs::path output = scratch / "out";

  const ProgramRun run = RunProgram("'" + file + "' --out '" + output.string() + "'");

  std::string fault = c.fault;
  if (const auto at = fault.find("{routes}"); at != std::string::npos) fault.replace(at, 8, kRouteFolder);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, file + ": " + c.place + ": " + fault + "\n");
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(fs::exists(output));
}

INSTANTIATE_TEST_SUITE_P(Simulator, FaultyScenario, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FaultyScenarioFile, SyntaxErrorNamesLineAndColumn) {
  const TempFolder scratch;
  const std::string file = (scratch / "broken.json").string();
  std::ofstream(file) << "{\n  \"timeStep\": 0.1,,\n}\n";
  const ProgramRun run = RunProgram("'" + file + "' --out '" + (scratch / "out").string() + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err.rfind(file + ": line 2, column 19: syntax error", 0), 0u) << run.err;
  EXPECT_FALSE(fs::exists(scratch / "out"));
}

TEST(FaultyScenarioFile, NumberBeyondADoubleNamesItsPlace) {
  const TempFolder scratch;
  const std::string file = (scratch / "big.json").string();
  // The same text stands earlier as a name: the place is the number's own.
  std::ofstream(file) << "{\n  \"1e400\": 1,\n  \"timeStep\": 1e400\n}\n";
  const ProgramRun run = RunProgram("'" + file + "' --out '" + (scratch / "out").string() + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, file + ": line 3, column 15: the number 1e400 is beyond the range of a double\n");
  EXPECT_FALSE(fs::exists(scratch / "out"));
}

TEST(FaultyScenarioFile, FramesOptionSaysWhatIsWrongWithItsValue) {
  const TempFolder scratch;
  const std::string scenario = "'" + kDemoFolder + "/short.json' --out '" + (scratch / "out").string() + "'";
  const ProgramRun negative = RunProgram(scenario + " --frames -1");
  EXPECT_EQ(negative.exitCode, 2);
  EXPECT_EQ(negative.err.substr(0, negative.err.find('\n')),
            "tarvik-sim: --frames needs a number of seconds from 0 up, not -1");
  const ProgramRun tiny = RunProgram(scenario + " --frames 1e-300");
  EXPECT_EQ(tiny.exitCode, 1);
  EXPECT_EQ(tiny.err, "--frames: 1e-300 s is too small to move the clock on over the duration\n");
  EXPECT_FALSE(fs::exists(scratch / "out"));
}

// Routes kept where a run writes would be deleted by it: refused before
// anything is removed.
TEST(FaultyScenarioFile, RouteFolderInsideWhatARunReplacesIsRefused) {
  const TempFolder scratch;
  const fs::path routes = scratch / "out" / "host" / "Config" / "TKMFD" / "routes";
  fs::create_directories(routes);
  fs::copy_file(kRouteFolder + "/tug.route", routes / "tug.route");
  fs::copy_file(kRouteFolder + "/short-kestrel.route", routes / "short-kestrel.route");
  json scenario = json::parse(ReadBytes(kDemoFolder + "/short.json"));
  scenario["routeFolder"] = "out/host/Config/TKMFD/routes";
  const std::string file = (scratch / "s.json").string();
  std::ofstream(file) << scenario.dump();
  const ProgramRun run = RunProgram("'" + file + "' --out '" + (scratch / "out").string() + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, routes.string() + ": route folder: lies in " + (scratch / "out" / "host").string() +
                         ", which a run replaces; choose another output folder\n");
  EXPECT_TRUE(fs::exists(routes / "tug.route"));
}

// A disk that fills up: every write that fails fails the run, names a file,
// and nothing unwritten is listed. The file size limit stands in for the
// full disk (its signal ignored, so that writes fail instead).
TEST(FaultyScenarioFile, FailedWritesFailTheRun) {
  const TempFolder scratch;
  const std::string out = (scratch / "out").string();
  const ProgramRun run = test_support::RunCommand("sh -c \"trap '' XFSZ; ulimit -f 16; exec '" + kProgram + "' '" +
                                                      kDemoFolder + "/short.json' --out '" + out + "' --frames 300\"");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(": cannot write it"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("frames in frames/"), std::string::npos) << run.out;
  EXPECT_FALSE(fs::exists(scratch / "out" / "overview.png"));
  // A frame that failed is removed; those left are whole pictures.
  for (const auto& frame : fs::directory_iterator(scratch / "out" / "frames")) {
    cairo_surface_t* picture = cairo_image_surface_create_from_png(frame.path().c_str());
    EXPECT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS) << frame.path();
    cairo_surface_destroy(picture);
  }

  // A summary that cannot reach standard output.
  const ProgramRun full = RunProgram("'" + kDemoFolder + "/short.json' --out '" + out + "' --frames 0 >/dev/full");
  EXPECT_EQ(full.exitCode, 1);
  EXPECT_NE(full.err.find("cannot write the summary to standard output"), std::string::npos) << full.err;
}

// The host log is written as the module writes it; a line it cannot take
// fails the run, naming the file. A file size limit stands in for a full
// disk: the route files fit under it, the log of a long route does not.
TEST(FaultyScenarioFile, HostLogThatCannotBeWrittenFailsTheRun) {
  const TempFolder scratch;
  std::string route = "BEGIN_POINTS\n1 2\n3 4\nEND_POINTS\nBEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\nBEGIN_WAYPOINTS\n";
  for (int i = 0; i < 400; ++i) route += "POINT 0 TURN 100\n";
  const std::string file = DemoLoadingRoute(scratch, "long.route", route + "END_WAYPOINTS\n");
  const std::string out = (scratch / "out").string();
  const ProgramRun run = test_support::RunCommand(
      "sh -c \"trap '' XFSZ; ulimit -f 16; exec '" + kProgram + "' '" + file + "' --out '" + out + "' --frames 0\"");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, out + "/host.log: cannot write it: File too large\n");
  EXPECT_EQ(run.out, "");
}

// A route loaded with an error shows in the pictures, on the debug line
// under each display, and the summary says so with the display's text.
TEST(FaultyScenarioFile, FolderOrEndlessFileIsNoScenario) {
  const TempFolder scratch;
  const std::string folder = (scratch / "folder.json").string();
  fs::create_directories(folder);
  const struct {
    std::string path;
    std::string err;
  } cases[] = {
      {folder, folder + ": file: is a folder, not a scenario file\n"},
      {"/dev/zero", "/dev/zero: file: is larger than 64 MiB, not a scenario file\n"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = RunProgram("'" + c.path + "' --out '" + (scratch / "out").string() + "'");
    EXPECT_EQ(run.exitCode, 1) << c.path;
    EXPECT_EQ(run.err, c.err);
    EXPECT_FALSE(fs::exists(scratch / "out"));
  }
}

// A route the module reads with an error (its bytes shown escaped), or one
// whose waypoints lie at no finite place or ask for no finite speed: refused
// before the run, at the route's line.
TEST(FaultyScenarioFile, RouteThatDoesNotReadCleanlyIsRefusedBeforeTheRun) {
  const std::string huge = "1" + std::string(400, '0');
  const struct {
    std::string points, waypoints, fault;
  } cases[] = {
      {"1 2\n3 4\n", "POINT 4 TURN 100\n", "does not read cleanly: Error: Point in route not found!"},
      // Shown escaped: the bytes would clear the terminal.
      {"1 2\n3 4\n", "POINT \x1b[2J TURN 100\n", "does not read cleanly: error converting \\x1b[2J to int."},
      {"1 2\n" + huge + " 2\n", "POINT 0 TURN 100\nPOINT 1 TURN 100\n",
       "line 3: the longitude of point 1 reads as inf, not a finite number"},
      {"1 2\n2 -" + huge + "\n", "RUNWAY 0 TURN 100\n",
       "line 3: the latitude of point 1 reads as -inf, not a finite number"},
      {"1 2\n3 4\n", "POINT 0 TURN 100 0 " + huge + "\n", "line 9: the speed reads as inf, not a finite number"},
  };
  for (const auto& c : cases) {
    const TempFolder scratch;
    fs::create_directories(scratch / "routes");
    fs::copy_file(kRouteFolder + "/tug.route", scratch / "routes" / "tug.route");
    fs::copy_file(kRouteFolder + "/short-kestrel.route", scratch / "routes" / "short-kestrel.route");
    std::ofstream(scratch / "routes" / "bent.route") << "BEGIN_POINTS\n" + c.points +
                                                            "END_POINTS\nBEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\nBEGIN_"
                                                            "WAYPOINTS\n" + c.waypoints + "END_WAYPOINTS\n";
    json scenario = json::parse(ReadBytes(kDemoFolder + "/short.json"));
    scenario["routeFolder"] = "routes";  // beside the scenario file
    scenario["vessels"][1]["route"] = "bent.route";
    const std::string file = (scratch / "s.json").string();
    std::ofstream(file) << scenario.dump();
    const ProgramRun run = RunProgram("'" + file + "' --out '" + (scratch / "out").string() + "'");
    EXPECT_EQ(run.exitCode, 1) << c.fault;
    EXPECT_EQ(run.err, file + ": /vessels/1/route: route file \"bent.route\" " + c.fault + "\n");
    EXPECT_EQ(run.out, "");  // the reader's echo of its report is kept out too
    EXPECT_FALSE(fs::exists(scratch / "out"));
  }
}

}  // namespace
