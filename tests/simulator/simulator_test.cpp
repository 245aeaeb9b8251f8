// End to end: the simulator program flies the short demo and reports what
// the module's displays showed; scenarios with a fault stop before running.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <cairo.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "simulator/summary.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "tests/support/summary_reading.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using ::testing::HasSubstr;

const std::string kProgram = TARVIK_SIM_PROGRAM;
const std::string kDemoFolder = TARVIK_SOURCE_DIR "/examples/demo";
const std::string kRouteFolder = kDemoFolder + "/Config/TKMFD/routes";

using namespace test_support;  // the runner, the folder and the summary readers

ProgramRun RunProgram(const std::string& arguments) {
  return test_support::RunCommand("'" + kProgram + "' " + arguments);
}

// The short demo with its two routes beside it and one more, loaded on
// display 1 at 900 s; returns the scenario file's path.
std::string DemoLoadingRoute(const TempFolder& scratch, const std::string& name, const std::string& routeText) {
  fs::create_directories(scratch / "routes");
  for (const char* demoRoute : {"tug.route", "short-kestrel.route"})
    fs::copy_file(kRouteFolder + "/" + demoRoute, scratch / "routes" / demoRoute);
  std::ofstream(scratch / "routes" / name) << routeText;
  json scenario = json::parse(ReadBytes(kDemoFolder + "/short.json"));
  scenario["routeFolder"] = "routes";
  scenario["timeline"].push_back({{"at", 900}, {"display", 1}, {"loadRoute", name}});
  const std::string file = scratch.File("s.json");
  std::ofstream(file) << scenario.dump();
  return file;
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

// ---- The short demo, run once for all its checks ----------------------------

class ShortDemo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    output_ = new fs::path(*folder_ / "out");
    run_ = new ProgramRun(RunProgram(kDemoFolder + "/short.json --out '" + output_->string() + "'"));
  }
  static void TearDownTestSuite() {
    delete run_;
    delete output_;
    delete folder_;
  }
  static TempFolder* folder_;
  static fs::path* output_;
  static ProgramRun* run_;
};
TempFolder* ShortDemo::folder_ = nullptr;
fs::path* ShortDemo::output_ = nullptr;
ProgramRun* ShortDemo::run_ = nullptr;

TEST_F(ShortDemo, RunsToTheEndAndWritesFramesOverviewLogAndSummary) {
  ASSERT_EQ(run_->exitCode, 0) << run_->err;
  EXPECT_EQ(run_->err, "");  // quiet without a terminal
  EXPECT_TRUE(fs::is_regular_file(*output_ / "overview.png"));
  EXPECT_EQ(ReadBytes(*output_ / "summary.txt"), run_->out);
  // Frames every 300 s and at the end, for each of the three displays.
  std::size_t frames = 0;
  for (const auto& entry : fs::directory_iterator(*output_ / "frames")) frames += entry.path().extension() == ".png";
  EXPECT_EQ(frames, 3u * 5u);
  EXPECT_TRUE(fs::is_regular_file(*output_ / "frames" / "display1_t00960.0s.png"));
}

TEST_F(ShortDemo, KestrelReachesEveryWaypointInOrderFlyingTheLoopTwice) {
  const auto kestrel = VesselSection(run_->out, "Kestrel");
  // The loop at waypoint 4 continues at waypoint 2 (LOOP:1); after two laps
  // the pilot's N leaves it for 5.
  EXPECT_EQ(WaypointNumbers(WaypointsShown(kestrel)), (std::vector<int>{1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(Contains(kestrel, "loop at WP 4: 2 laps"));
  EXPECT_TRUE(Contains(kestrel, "pilot's copy: the same waypoints at the same times"));
}

TEST_F(ShortDemo, RouteIsHeldAtItsLandingWithTheKestrelAtRest) {
  const auto kestrel = VesselSection(run_->out, "Kestrel");
  EXPECT_TRUE(Contains(kestrel, "route in the module: held at WP 6 of 6 (LAND)"));
  EXPECT_TRUE(Contains(kestrel, "height 0.0 m, airspeed 0.0 m/s, at rest, landed at Tarvik Field"));
  // Held: nothing changed after the landing waypoint became current.
  EXPECT_EQ(WaypointsShown(kestrel).back().waypoint, 6);
}

TEST_F(ShortDemo, BothVesselsAreSequencedIndependently) {
  const auto tug = VesselSection(run_->out, "Tug");
  const auto tugShown = WaypointsShown(tug);
  // The tug's route ends with a turn: the module empties it.
  ASSERT_EQ(WaypointNumbers(tugShown), (std::vector<int>{1, 2, 3, 0}));
  EXPECT_TRUE(Contains(tug, "pilot's copy: the same waypoints at the same times"));
  EXPECT_TRUE(Contains(tug, "deleted at 700.0 s"));
  // Focus: Kestrel from 3 s, Tug from 200 s, Kestrel from 260 s. The tug
  // moves on at 61 s and the route ends near 514 s while the Kestrel has
  // the focus; meanwhile the Kestrel's own sequence ran undisturbed.
  EXPECT_THAT(run_->out, HasSubstr("focus: Kestrel from 0.0 s; Tug from 2.0 s; Kestrel from 3.0 s; Tug from 200.0 s; "
                                   "Kestrel from 260.0 s;"));
  EXPECT_GT(tugShown[1].timeSeconds, 3.0);
  EXPECT_LT(tugShown[1].timeSeconds, 200.0);
  EXPECT_GT(tugShown[3].timeSeconds, 260.0);
  const auto kestrelShown = WaypointsShown(VesselSection(run_->out, "Kestrel"));
  bool kestrelMovedWhileTugHadFocus = false;
  for (const Shown& s : kestrelShown) kestrelMovedWhileTugHadFocus |= s.timeSeconds > 200.0 && s.timeSeconds < 260.0;
  EXPECT_TRUE(kestrelMovedWhileTugHadFocus);
}

TEST_F(ShortDemo, LogHoldsExactlyTheModulesTwoParses) {
  // The pilots read the same files with the log muted: only the loads made
  // on the displays show.
  std::vector<std::string> expected = CleanParseLog(8, "RPPPPR");
  const std::vector<std::string> tug = CleanParseLog(7, "PRP");
  expected.insert(expected.end(), tug.begin(), tug.end());
  EXPECT_EQ(Lines(ReadBytes(*output_ / "host.log")), expected);
  EXPECT_THAT(run_->out, HasSubstr("2 route parses started, 2 completed"));
}

TEST_F(ShortDemo, NoPenOrFontIsLeaked) {
  const std::size_t at = run_->out.find("Drawing resources: ");
  ASSERT_NE(at, std::string::npos) << run_->out;
  int pens = 0;
  int fonts = 0;
  int livePens = -1;
  int liveFonts = -1;
  ASSERT_EQ(std::sscanf(run_->out.c_str() + at,
                        "Drawing resources: %d pens and %d fonts created; %d pens and %d fonts still held", &pens,
                        &fonts, &livePens, &liveFonts),
            4);
  EXPECT_GT(pens, 0);
  EXPECT_GT(fonts, 0);
  EXPECT_EQ(livePens, 0);
  EXPECT_EQ(liveFonts, 0);
}

TEST(SimulatorRecording, DrawCallsAreWrittenOnRequest) {
  const TempFolder scratch;
  json scenario = json::parse(ReadBytes(kDemoFolder + "/short.json"));
  scenario["duration"] = 5;
  scenario["routeFolder"] = kRouteFolder;
  json early = json::array();
  for (const json& event : scenario["timeline"])
    if (event["at"].get<double>() <= 5.0) early.push_back(event);
  scenario["timeline"] = early;
  std::ofstream(scratch / "s.json") << scenario.dump();
  const ProgramRun run = RunProgram("'" + (scratch / "s.json").string() + "' --record --frames 0 --out '" +
                                        (scratch / "out").string() + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string recording = ReadBytes(scratch / "out" / "recording" / "display1.txt");
  // Redraws at the refresh interval of 1 s: at 0 s and then every second.
  std::vector<std::string> redraws;
  for (const std::string& line : Lines(recording))
    if (line.rfind("# ", 0) == 0) redraws.push_back(line);
  EXPECT_EQ(redraws, (std::vector<std::string>{"# redraw at 0.0 s", "# redraw at 1.0 s", "# redraw at 2.0 s",
                                               "# redraw at 3.0 s", "# redraw at 4.0 s", "# redraw at 5.0 s"}));
  EXPECT_THAT(recording, HasSubstr("Take-off runway 09"));
  EXPECT_FALSE(fs::exists(scratch / "out" / "frames" / "display0_t00000.0s.png"));
}

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
  std::ofstream(file) << "{\n  \"timeStep\": 1e400\n}\n";
  const ProgramRun run = RunProgram("'" + file + "' --out '" + (scratch / "out").string() + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, file + ": line 2, column 15: the number 1e400 is beyond the range of a double\n");
  EXPECT_FALSE(fs::exists(scratch / "out"));
}

TEST(FaultyScenarioFile, FramesOptionSaysWhatIsWrongWithItsValue) {
  const TempFolder scratch;
  const std::string scenario = "'" + kDemoFolder + "/short.json' --out '" + (scratch / "out").string() + "'";
  const ProgramRun negative = RunProgram(scenario + " --frames -1");
  EXPECT_EQ(negative.exitCode, 2);
  EXPECT_EQ(negative.err.substr(0, negative.err.find('\n')),
            "tarvik-sim: --frames needs a number of seconds from 0 up, found \"-1\"");
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
TEST(SimulatorRun, RouteLoadedWithAnErrorShowsInFramesAndSummary) {
  const TempFolder scratch;
  const std::string file = DemoLoadingRoute(
      scratch, "bent.route",
      "BEGIN_POINTS\n1 2\nEND_POINTS\nBEGIN_RUNWAYS\n0 0\nEND_RUNWAYS\nBEGIN_WAYPOINTS\nPOINT 4 TURN 100\nEND_WAYPOINTS\n");
  const ProgramRun run = RunProgram("'" + file + "' --out '" + (scratch / "out").string() + "' --frames 960");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("A route loaded with an error (the display says so on the debug line): \"Error: Point in "
                         "route not found!\"\n"),
            std::string::npos)
      << run.out;

  // The last frame of the display that loaded it: below the display, the
  // strip holds the notice's ink; the first frame's strip is empty.
  const auto inkInStrip = [](const fs::path& png) {
    cairo_surface_t* picture = cairo_image_surface_create_from_png(png.c_str());
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    int inked = 0;
    for (int y = height - 18; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const auto pixel = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
        if (((pixel >> 16) & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) > 0xA0) ++inked;  // the yellow of the text
      }
    cairo_surface_destroy(picture);
    return inked;
  };
  EXPECT_GT(inkInStrip(scratch / "out" / "frames" / "display1_t00960.0s.png"), 50);
  EXPECT_EQ(inkInStrip(scratch / "out" / "frames" / "display1_t00000.0s.png"), 0);
}

TEST(SimulatorSummary, OneLapIsOneLap) {
  simulator::RunOutcome outcome;
  simulator::VesselOutcome vessel;
  vessel.name = "Kestrel";
  vessel.laps = {{3, 1}, {5, 2}};
  outcome.vessels.push_back(vessel);
  std::ostringstream summary;
  simulator::WriteSummary(outcome, summary);
  EXPECT_NE(summary.str().find("  loop at WP 4: 1 lap\n"), std::string::npos) << summary.str();
  EXPECT_NE(summary.str().find("  loop at WP 6: 2 laps\n"), std::string::npos) << summary.str();
}

// A vessel that flew round the body ends at its longitude within 180 degrees.
TEST(SimulatorSummary, EndLongitudeIsWithin180Degrees) {
  const double kRadPerDeg = std::numbers::pi / 180.0;
  const struct {
    double longitudeDeg;
    std::string shown;
  } cases[] = {{270.0, "10.00000 N 90.00000 W"}, {-370.0, "10.00000 N 10.00000 W"}, {-180.0, "10.00000 N 180.00000 E"}};
  for (const auto& c : cases) {
    simulator::RunOutcome outcome;
    simulator::VesselOutcome vessel;
    vessel.end.position = {10.0 * kRadPerDeg, c.longitudeDeg * kRadPerDeg};
    outcome.vessels.push_back(vessel);
    std::ostringstream summary;
    simulator::WriteSummary(outcome, summary);
    EXPECT_NE(summary.str().find("  ended at " + c.shown + ","), std::string::npos) << summary.str();
  }
}

// A folder, an endless device: said what they are, and nothing is run.
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
