// The real-host test's flight, flown in the simulated host: the same route
// file, and the same order of current waypoints as the real host showed.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "geodesy/angles.h"
#include "geodesy/body_constants.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "tests/support/summary_reading.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using namespace test_support;  // the runner, the folder and the summary readers

const std::string kProgram = TARVIK_SIM_PROGRAM;
const std::string kRealHostFolder = TARVIK_SOURCE_DIR "/tests/real_host";

// Table rows (from 0) the real host's screenshots showed bright, in order:
// take-off, departure turn, pad 1 / VOR / skid strip twice (the loop fix
// goes back to pad 1), N at the loop fix, final approach fix, landing.
const std::vector<int> kRealHostOrder = {0, 1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 5, 6};

// "WP n of 7 current" lines with the table row (from 0) in place of the
// waypoint's number (the summary counts from 1); -1 for "no route".
std::vector<Shown> RowsShown(const std::vector<std::string>& section) {
  std::vector<Shown> rows;
  for (const Shown& shown : WaypointsShown(section)) {
    if (shown.waypoint != 0) {
      EXPECT_EQ(shown.count, 7);
    }
    rows.push_back({shown.timeSeconds, shown.waypoint - 1, shown.count});
  }
  return rows;
}

// The seconds after "<what> at " in a line, or NaN.
double TimeAfter(const std::vector<std::string>& section, const std::string& what) {
  for (const std::string& line : section)
    if (const std::size_t at = line.find(what + " at "); at != std::string::npos)
      return std::stod(line.substr(at + what.size() + 4));
  return std::nan("");
}

class CapeCanaveral : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = new test_support::TempFolder;
    run_ = new ProgramRun(test_support::RunCommand(
        "'" + kProgram + "' '" + kRealHostFolder + "/cape-canaveral.json' --out '" + Out().string() + "'"));
    section_ = new std::vector<std::string>(VesselSection(run_->out, "PB-01"));
  }
  static void TearDownTestSuite() {
    delete section_;
    delete run_;
    delete scratch_;
  }
  static fs::path Out() { return *scratch_ / "out"; }

  static test_support::TempFolder* scratch_;
  static ProgramRun* run_;
  static std::vector<std::string>* section_;
};
test_support::TempFolder* CapeCanaveral::scratch_ = nullptr;
ProgramRun* CapeCanaveral::run_ = nullptr;
std::vector<std::string>* CapeCanaveral::section_ = nullptr;

TEST_F(CapeCanaveral, FliesTheRealHostTestsOwnRouteFile) {
  ASSERT_EQ(run_->exitCode, 0) << run_->err;
  EXPECT_EQ(run_->err, "");
  ASSERT_FALSE(section_->empty()) << run_->out;
  EXPECT_THAT(run_->out, HasSubstr("\nVessel PB-01, route CapeCanaveral.route (7 waypoints)\n"));
  // The file the module read in the simulated host is the real host's.
  EXPECT_EQ(ReadBytes(Out() / "host" / "Config" / "TKMFD" / "routes" / "CapeCanaveral.route"),
            ReadBytes(kRealHostFolder + "/routes/CapeCanaveral.route"));
}

TEST_F(CapeCanaveral, ShowsTheSameOrderOfCurrentWaypointsAsTheRealHost) {
  ASSERT_EQ(run_->exitCode, 0) << run_->err;
  EXPECT_EQ(WaypointNumbers(RowsShown(*section_)), kRealHostOrder) << run_->out;
  EXPECT_THAT(run_->out, HasSubstr("  loop at WP 5: 2 laps\n"));
  EXPECT_THAT(run_->out, HasSubstr("  pilot's copy: the same waypoints at the same times\n"));
}

TEST_F(CapeCanaveral, TakeOffIsPassedOnlyOnceAirborne) {
  const std::vector<Shown> shown = RowsShown(*section_);
  ASSERT_GE(shown.size(), 2u);
  const double liftOff = TimeAfter(*section_, "lifted off");
  ASSERT_FALSE(std::isnan(liftOff)) << run_->out;
  EXPECT_EQ(shown[0].timeSeconds, 0.0);
  EXPECT_GT(shown[1].timeSeconds, liftOff);
}

// As the real host's driver does: N once the loop fix is current for the
// third time, before flying to the skid strip again.
TEST_F(CapeCanaveral, PilotLeavesTheLoopWithNWhenTheLoopFixComesUpAfterTwoLaps) {
  const std::vector<Shown> shown = RowsShown(*section_);
  ASSERT_EQ(WaypointNumbers(shown), kRealHostOrder) << run_->out;
  const double pressed = TimeAfter(*section_, "pilot pressed N");
  ASSERT_FALSE(std::isnan(pressed)) << run_->out;
  EXPECT_EQ(pressed, shown[10].timeSeconds);  // the loop fix, third time
  EXPECT_EQ(shown[11].timeSeconds, pressed);  // the final approach fix at once
  // Only one N.
  EXPECT_EQ(std::count_if(section_->begin(), section_->end(),
                          [](const std::string& l) { return l.find("pressed N") != std::string::npos; }),
            1);
}

TEST_F(CapeCanaveral, RouteIsHeldAtTheLandingWithTheVesselAtRestOnRunway33) {
  const std::vector<Shown> shown = RowsShown(*section_);
  ASSERT_FALSE(shown.empty()) << run_->out;
  EXPECT_EQ(shown.back().waypoint, 6);
  const double landing = shown.back().timeSeconds;
  const double touchdown = TimeAfter(*section_, "touched down");
  ASSERT_FALSE(std::isnan(touchdown)) << run_->out;
  EXPECT_GT(touchdown, landing);
  char held[64];
  std::snprintf(held, sizeof held, "  route in the module: held at WP 7 of 7 (LAND) since %.1f s", landing);
  EXPECT_THAT(*section_, ::testing::Contains(std::string(held))) << run_->out;

  // Where it stopped: on the ground, still, within the landing facility's
  // runway (91 m wide) between its two ends.
  double latitude = 0.0;
  double longitude = 0.0;
  char north = 0;
  char west = 0;
  const std::string& ended = section_->back();
  ASSERT_EQ(std::sscanf(ended.c_str(), "  ended at %lf %c %lf %c,", &latitude, &north, &longitude, &west), 4)
      << ended;
  ASSERT_EQ(north, 'N');
  ASSERT_EQ(west, 'W');
  EXPECT_THAT(ended, HasSubstr(", height 0.0 m, airspeed 0.0 m/s, at rest"));
  constexpr double kRadius = geodesy::kEarthRadiusMetres;
  constexpr double kDeg = geodesy::kRadiansPerDegree;
  const double eastMetres = kRadius * std::cos(28.6 * kDeg) * kDeg;
  const double northMetres = kRadius * kDeg;
  // Runway 33 from its south end to its north end (points 0 and 1 of the route).
  const double runwayE = (-80.707313 - -80.681146) * eastMetres;
  const double runwayN = (28.634742 - 28.594722) * northMetres;
  const double length = std::hypot(runwayE, runwayN);
  const double e = (-longitude - -80.681146) * eastMetres;
  const double n = (latitude - 28.594722) * northMetres;
  const double along = (e * runwayE + n * runwayN) / length;
  const double across = (e * runwayN - n * runwayE) / length;
  EXPECT_GT(along, 0.0);
  EXPECT_LT(along, length);
  EXPECT_LT(std::abs(across), 45.5);
}

TEST_F(CapeCanaveral, HostLogHoldsTheModulesCleanParseAndNoError) {
  ASSERT_EQ(run_->exitCode, 0) << run_->err;
  const std::vector<std::string> log = Lines(ReadBytes(Out() / "host.log"));
  // CapeCanaveral.route: 8 points; its waypoints' references, runway or point.
  EXPECT_EQ(log, CleanParseLog(8, "RPPPPPR"));
  for (std::string line : log) {
    std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(line.find("error"), std::string::npos) << line;
  }
  EXPECT_THAT(run_->out, HasSubstr("1 route parses started, 1 completed"));
}

}  // namespace
