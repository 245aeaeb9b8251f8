// End to end: the simulator program flies the short demo and reports what
// the module's displays showed.
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
  const double kRadPerDeg = geodesy::kRadiansPerDegree;
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
}  // namespace
