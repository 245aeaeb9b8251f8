// What the real host showed and logged while the test driver flew the Cape
// Canaveral route with TarvikMFD on the left display. Reads the folder that
// scripts/real-host.sh fills: exit-status, driver/driver-report.txt,
// shots/Orbiter.log and shots/*.png.
//
// Usage: real_host_checks [gtest options] [OUT_FOLDER], or the folder in
// $TARVIK_REAL_HOST_OUT.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "checks/expected_log.h"
#include "checks/out_folder.h"
#include "checks/screenshot.h"

namespace {

// The left display's drawing area in the host's 1024x768 window.
constexpr ScreenBox kLeftDisplay{48, 366, 412, 731};
// Text drawn in the scheme's bright colour reaches this greenness on the
// screen (0xFF green: about 200 to 250), its dim colour (0x55 green) about
// 60 to 80; the black background stays at 0.
constexpr int kBrightGreenness = 150;
constexpr int kDimGreenness = 50;
constexpr int kAnyGreenness = 25;

// The display draws text on a grid of twenty lines.
constexpr int kTextLines = 20;

// The greenest pixel of the middle rows of one text line of the display.
int LineGreenness(const Screenshot& shot, int line) {
  const double lineHeight = (kLeftDisplay.y1 - kLeftDisplay.y0) / static_cast<double>(kTextLines);
  const int top = kLeftDisplay.y0 + static_cast<int>(line * lineHeight);
  const std::vector<int> rows = RowGreenness(shot, {kLeftDisplay.x0, top + 3, kLeftDisplay.x1, top + 12});
  return rows.empty() ? 0 : *std::max_element(rows.begin(), rows.end());
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The host's log without its time stamps ("000013.632: ").
std::vector<std::string> HostLog() {
  std::vector<std::string> lines = ReadLines(RealHostOutFolder() + "/shots/Orbiter.log");
  for (std::string& line : lines) {
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos && colon > 0 &&
        std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon),
                    [](char c) { return (c >= '0' && c <= '9') || c == '.'; }))
      line.erase(0, colon + 2);
  }
  return lines;
}

// Where the run of lines starts in the log, from `from` on; npos if nowhere.
std::size_t Find(const std::vector<std::string>& log, const std::vector<std::string>& run, std::size_t from = 0) {
  if (run.empty()) return std::string::npos;
  for (std::size_t i = from; i + run.size() <= log.size(); ++i)
    if (std::equal(run.begin(), run.end(), log.begin() + static_cast<std::ptrdiff_t>(i))) return i;
  return std::string::npos;
}

Screenshot Shot(const std::string& name) {
  std::string error;
  Screenshot shot = LoadScreenshot(RealHostOutFolder() + "/shots/" + name + ".png", error);
  EXPECT_TRUE(error.empty()) << error;
  return shot;
}

// ---- The run ----------------------------------------------------------------

TEST(RealHostRun, HostExitedWithStatusZero) {
  const std::vector<std::string> status = ReadLines(RealHostOutFolder() + "/exit-status");
  ASSERT_EQ(status.size(), 1u);
  EXPECT_EQ(status[0], "0");
}

TEST(RealHostRun, DriverFinishedWithEveryScreenshotTaken) {
  const std::vector<std::string> report = ReadLines(RealHostOutFolder() + "/driver/driver-report.txt");
  EXPECT_NE(std::find(report.begin(), report.end(), "TarvikTestDriver: done"), report.end());
  for (const std::string& line : report) {
    EXPECT_EQ(line.find("screenshot not taken"), std::string::npos) << line;
    EXPECT_EQ(line.find("not registered"), std::string::npos) << line;
  }
}

// The driver is unloaded after TarvikMFD: by then the module's exit entry
// point has taken its mode back from the host.
TEST(RealHostRun, ModuleExitPathUnregisteredItsMode) {
  const std::vector<std::string> report = ReadLines(RealHostOutFolder() + "/driver/driver-report.txt");
  EXPECT_NE(std::find(report.begin(), report.end(), "TarvikTestDriver: TarvikMFD mode at exit: gone"), report.end());
}

// ---- The host's log ---------------------------------------------------------

TEST(HostLog, HoldsTheModulesParseLinesOfTheRouteThenOfTheFaultyFile) {
  const std::vector<std::string> log = HostLog();
  const std::vector<std::string> route = ExpectedParseLog(RealHostOutFolder() + "/routes/CapeCanaveral.route");
  const std::vector<std::string> faulty = ExpectedParseLog(RealHostOutFolder() + "/routes/Faulty.route");
  const std::size_t routeAt = Find(log, route);
  ASSERT_NE(routeAt, std::string::npos) << "the parse lines of CapeCanaveral.route are not in the log";
  EXPECT_NE(Find(log, faulty, routeAt + route.size()), std::string::npos)
      << "the parse lines of Faulty.route are not in the log after those of CapeCanaveral.route";
}

TEST(HostLog, HasNoErrorBeforeTheFaultyFile) {
  const std::vector<std::string> log = HostLog();
  const std::vector<std::string> faulty = ExpectedParseLog(RealHostOutFolder() + "/routes/Faulty.route");
  const std::size_t faultyAt = Find(log, faulty);
  ASSERT_NE(faultyAt, std::string::npos);
  for (std::size_t i = 0; i < faultyAt; ++i) {
    std::string lower = log[i];
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(lower.find("error"), std::string::npos) << "line " << i + 1 << ": " << log[i];
  }
}

TEST(HostLog, FaultyFileReportsItsError) {
  const std::vector<std::string> faulty = ExpectedParseLog(RealHostOutFolder() + "/routes/Faulty.route");
  EXPECT_NE(std::find(faulty.begin(), faulty.end(), "Error: Runway in route not found!"), faulty.end());
}

TEST(DebugLine, ShowsTheErrorNoticeOnceTheFaultyFileIsLoaded) {
  const std::vector<std::string> report = ReadLines(RealHostOutFolder() + "/driver/driver-report.txt");
  EXPECT_NE(std::find(report.begin(), report.end(),
                      "TarvikTestDriver: debug line: ERROR PARSING TARVIK MFD ROUTE FILE! SEE ORBITER LOG FILE..."),
            report.end());
}

// ---- The waypoint table -----------------------------------------------------

struct TableShot {
  const char* name;
  int currentWaypoint;  // from 0
};

// Take-off, the departure turn, the loop (pad 1, VOR, skid strip: back to
// pad 1) twice, N at the loop fix, the final approach fix, landed, held.
constexpr TableShot kTableShots[] = {
    {"03-table", 0}, {"05-table", 1}, {"06-table", 2}, {"07-table", 3}, {"08-table", 4},
    {"09-table", 2}, {"10-table", 3}, {"11-table", 4}, {"12-table", 2}, {"13-table", 3},
    {"14-table", 4}, {"15-table", 5}, {"16-table", 6}, {"17-table", 6}, {"18-table", 6},
};

void PrintTo(const TableShot& shot, std::ostream* out) { *out << shot.name << ", row " << shot.currentWaypoint; }

class TablePage : public ::testing::TestWithParam<TableShot> {};

// The table's rows are lines 5 on, one per waypoint.
constexpr int kFirstRowLine = 5;

TEST_P(TablePage, BrightRowIsTheCurrentWaypoint) {
  const Screenshot shot = Shot(GetParam().name);
  std::vector<int> brightRows;
  for (int line = kFirstRowLine; line < kTextLines; ++line)
    if (LineGreenness(shot, line) >= kBrightGreenness) brightRows.push_back(line - kFirstRowLine);
  EXPECT_EQ(brightRows, std::vector<int>{GetParam().currentWaypoint});
}

TEST_P(TablePage, ShowsEveryWaypointAndNoMore) {
  const Screenshot shot = Shot(GetParam().name);
  for (int row = 0; row < 7; ++row) EXPECT_GE(LineGreenness(shot, kFirstRowLine + row), kDimGreenness) << row;
  EXPECT_LT(LineGreenness(shot, kFirstRowLine + 7), kAnyGreenness);
  // The header lines stay bright whichever row is current.
  EXPECT_GE(LineGreenness(shot, 2), kBrightGreenness);
  EXPECT_GE(LineGreenness(shot, 3), kBrightGreenness);
}

INSTANTIATE_TEST_SUITE_P(CapeCanaveralFlight, TablePage, ::testing::ValuesIn(kTableShots),
                         [](const auto& info) { return std::string("Shot") + info.param.name[0] + info.param.name[1]; });

// ---- The map and the browser ------------------------------------------------

// The same place, heading and zoom before and after the route is loaded:
// the route's lines, circles and labels and the info block add green.
TEST(MapPage, ShowsTheRoute) {
  const int before = GreenPixelCount(Shot("01-map-empty"), kLeftDisplay, kAnyGreenness);
  const int after = GreenPixelCount(Shot("04-map-route"), kLeftDisplay, kAnyGreenness);
  EXPECT_GT(after, before + 2000) << "before " << before << ", after " << after;
  EXPECT_GT(GreenPixelCount(Shot("04-map-route"), {kLeftDisplay.x0, kLeftDisplay.y0 + 30, kLeftDisplay.x1,
                                                    kLeftDisplay.y1},
                            kBrightGreenness),
            GreenPixelCount(Shot("01-map-empty"), {kLeftDisplay.x0, kLeftDisplay.y0 + 30, kLeftDisplay.x1,
                                                    kLeftDisplay.y1},
                            kBrightGreenness));
}

// Two files, the first selected: a bright name on line 2, a dim one on 3.
TEST(BrowserPage, ListsBothRouteFilesWithTheFirstSelected) {
  const Screenshot shot = Shot("02-browser");
  EXPECT_GE(LineGreenness(shot, 2), kBrightGreenness);
  EXPECT_GE(LineGreenness(shot, 3), kDimGreenness);
  EXPECT_LT(LineGreenness(shot, 3), kBrightGreenness);
  EXPECT_LT(LineGreenness(shot, 4), kAnyGreenness);
}

}  // namespace
