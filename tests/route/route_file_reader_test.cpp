#include "route/route_file_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/route/route_file_reader_fixture.h"

namespace {

using namespace route_reader_test;  // NOLINT(google-build-using-namespace)

TEST_F(RouteFileReaderTest, ExampleRouteReadsCleanly) {
  const Outcome out = Parse(kExample);

  EXPECT_EQ(out.log, Join({kStart, PointsLog(3), kRunwaysOk, kWaypointsStart, WaypointLog(true), WaypointLog(false),
                           WaypointLog(true), kCompleted}));
  EXPECT_EQ(out.errorText, "");
  EXPECT_FALSE(out.errorFlag);
  ASSERT_EQ(out.runways.size(), 1u);
  const Runway& runway = out.runways[0];
  EXPECT_EQ(runway.end1Latitude, 28.60 * kRad);
  EXPECT_EQ(runway.end1Longitude, -80.60 * kRad);
  EXPECT_EQ(runway.end2Latitude, 28.50 * kRad);
  EXPECT_EQ(runway.end2Longitude, -80.70 * kRad);
  EXPECT_NEAR(runway.centerLatitude, 28.55 * kRad, 1e-15);
  EXPECT_NEAR(runway.centerLongitude, -80.65 * kRad, 1e-15);

  ASSERT_EQ(out.waypoints.size(), 3u);
  const Waypoint& takeoff = out.waypoints[0];
  EXPECT_EQ(takeoff.task, Takeoff);
  EXPECT_EQ(takeoff.latitude, runway.centerLatitude);
  EXPECT_EQ(takeoff.longitude, runway.centerLongitude);
  EXPECT_EQ(takeoff.acceptRadius, 500);
  EXPECT_EQ(takeoff.description, "Departure runway");
  const Waypoint& turn = out.waypoints[1];
  EXPECT_EQ(turn.task, Turn);
  EXPECT_EQ(turn.latitude, 28.40 * kRad);
  EXPECT_EQ(turn.longitude, -80.50 * kRad);
  EXPECT_EQ(turn.acceptRadius, 2000);
  EXPECT_EQ(turn.altitude, 3000);
  EXPECT_EQ(turn.speed, 250);
  EXPECT_EQ(turn.description, "Turn over the point");
  EXPECT_EQ(out.waypoints[2].task, Land);
  EXPECT_EQ(out.waypoints[2].latitude, runway.centerLatitude);
  for (const Waypoint& waypoint : out.waypoints) {
    EXPECT_EQ(waypoint.name, "");
    EXPECT_EQ(waypoint.loopTarget, 0);
  }
}

TEST_F(RouteFileReaderTest, UnopenableFileReportsEverySectionMissing) {
  const Outcome out = ParsePath("/nonexistent/tarvik/none.route");
  EXPECT_EQ(out.log, Join({kStart, {"Parsing Points..."}, SectionMissing("POINTS", kPointsMissing),
                           {"Parsing Runways..."}, SectionMissing("RUNWAYS", kRunwaysMissing), {"getRoute 1"},
                           SectionMissing("WAYPOINTS", kWaypointsMissing), kCompleted}));
  EXPECT_EQ(out.errorText, kWaypointsMissing);
  EXPECT_TRUE(out.errorFlag);
}

TEST_F(RouteFileReaderTest, MissingRunwaysLoadsNoWaypoints) {
  const Outcome out = Parse("BEGIN_POINTS\n10 50\nEND_POINTS\nBEGIN_WAYPOINTS\nPOINT 0 TURN 100\nEND_WAYPOINTS\n");
  EXPECT_EQ(out.log, Join({kStart, PointsLog(1), {"Parsing Runways..."}, SectionMissing("RUNWAYS", kRunwaysMissing),
                           kWaypointsStart, {".1"}, kCompleted}));
  EXPECT_TRUE(out.waypoints.empty());
  EXPECT_TRUE(out.runways.empty());
  EXPECT_EQ(out.errorText, kRunwaysMissing);
}

TEST_F(RouteFileReaderTest, BadPointStopsEveryStepAtItsFirstNumber) {
  const Outcome out = Parse(Route("10 50\n11 x\n12 52\n", "0 1\n", "POINT 0 TURN 100\n"));
  const Log pointLines{"..", "..start spilt 2..", "..end spilt 2.."};
  EXPECT_EQ(out.log, Join({kStart, {"Parsing Points...", "..start spilt 1..", "..end spilt 1..", ".1.."}, pointLines,
                           pointLines, Report("error converting x to double."), {"Parsing Runways..."},
                           kWaypointsStart, {".1"}, kCompleted}));
  EXPECT_TRUE(out.waypoints.empty());
  EXPECT_TRUE(out.runways.empty());
  EXPECT_EQ(out.errorText, "error converting x to double.");
}

TEST_F(RouteFileReaderTest, RunwayNotFoundOnThirdLineKeepsTheFirstTwo) {
  const Outcome out = Parse(RouteWithWaypoints("RUNWAY 0 TAKEOFF 500\nPOINT 2 TURN 100\nRUNWAY 7 LAND 500\n"));
  EXPECT_EQ(out.log, Join({kStart, PointsLog(3), kRunwaysOk, kWaypointsStart, WaypointLog(true), WaypointLog(false),
                           {".1", ".2", ".3", ".4", ".5"}, Report("Error: Runway in route not found!"), {".8", ".9"},
                           kCompleted}));
  EXPECT_EQ(out.waypoints.size(), 2u);
  EXPECT_EQ(out.runways.size(), 1u);
  EXPECT_EQ(out.errorText, "Error: Runway in route not found!");
}

TEST_F(RouteFileReaderTest, ReferenceErrorStopsTheNextLineAtItsIndex) {
  const Outcome out = Parse(RouteWithWaypoints("POINT -1 TURN 100\nPOINT 0 TURN 100\n"));
  EXPECT_EQ(out.log, Join({kStart, PointsLog(3), kRunwaysOk, kWaypointsStart, {".1", ".2", ".3", ".4", ".6"},
                           Report("Error: Point in route not found!"), {".7", ".8", ".9", ".1"}, kCompleted}));
  EXPECT_TRUE(out.waypoints.empty());
}

TEST_F(RouteFileReaderTest, MinusOneEndsTheRunwayListWithoutError) {
  const Outcome out =
      Parse("BEGIN_POINTS\n10 50\n11 51\nEND_POINTS\nBEGIN_RUNWAYS\n-1 0\n0 1\nEND_RUNWAYS\n"
            "BEGIN_WAYPOINTS\nPOINT 1 TURN 100\nEND_WAYPOINTS\n");
  EXPECT_EQ(out.log, Join({kStart, PointsLog(2), {"Parsing Runways..."}, kWaypointsStart, WaypointLog(false),
                           kCompleted}));
  EXPECT_TRUE(out.runways.empty());
  ASSERT_EQ(out.waypoints.size(), 1u);
  EXPECT_EQ(out.waypoints[0].latitude, 51 * kRad);
  EXPECT_FALSE(out.errorFlag);
}

TEST_F(RouteFileReaderTest, WaypointFieldsAndDescriptions) {
  const Outcome out = Parse(RouteWithWaypoints(
      "POINT 0 LOOP 100 1000 50 \"Two  words\there\"\n"
      "POINT 1 LAND 200\n"
      "POINT 2 TURN 300 0 0 \"\"\n"
      "POINT 2 TURN 300 0 0 \"unclosed\n"));
  EXPECT_EQ(out.errorText, "");
  ASSERT_EQ(out.waypoints.size(), 4u);
  EXPECT_EQ(out.waypoints[0].task, Loop);
  EXPECT_EQ(out.waypoints[0].description, "Two words here");
  // Nothing is taken over from the line before.
  EXPECT_EQ(out.waypoints[1].altitude, 0);
  EXPECT_EQ(out.waypoints[1].speed, 0);
  EXPECT_EQ(out.waypoints[1].description, "");
  EXPECT_EQ(out.waypoints[2].description, "");
  EXPECT_EQ(out.waypoints[3].description, "");
}

// Lines the format leaves open: each is reported, naming the section, the
// line and the text, and adds nothing.
struct OpenLineCase {
  const char* name;
  std::string file;
  std::string errorText;
  std::size_t waypoints;
  std::size_t runways;
};

class OpenLineTest : public RouteFileReaderTest, public testing::WithParamInterface<OpenLineCase> {};

TEST_P(OpenLineTest, IsReportedAndAddsNothing) {
  const Outcome out = Parse(GetParam().file);
  EXPECT_EQ(out.errorText, GetParam().errorText);
  EXPECT_TRUE(out.errorFlag);
  EXPECT_EQ(out.waypoints.size(), GetParam().waypoints);
  EXPECT_EQ(out.runways.size(), GetParam().runways);
}

INSTANTIATE_TEST_SUITE_P(
    Reader, OpenLineTest,
    testing::Values(
        OpenLineCase{"PointWithOneField", Route("10\n", "0 0\n", "POINT 0 TURN 1\n"),
                     "Error: POINTS line 1: needs a longitude and a latitude: \"10\"", 0, 0},
        OpenLineCase{"BlanksAfterBeginMarker", "x\n" + Route("10 50\n", "0 0\n", "POINT 0 TURN 1\n").replace(12, 0, " "),
                     "Error: POINTS line 1: needs a longitude and a latitude: \" \"", 0, 0},
        OpenLineCase{"RunwayWithOneField",
                     Route("10 50\n", "0 0\n1\n", "POINT 0 TURN 1\n"),
                     "Error: RUNWAYS line 2: needs two point numbers: \"1\"", 0, 1},
        OpenLineCase{"RunwayNamingNoPoint",
                     Route("10 50\n", "0 0\n0 3\n", "POINT 0 TURN 1\n"),
                     "Error: RUNWAYS line 2: names a point that does not exist: \"0 3\"", 0, 1},
        OpenLineCase{"WaypointWithThreeFields", RouteWithWaypoints("POINT 0 TURN 100\nPOINT 0 TURN\n"),
                     "Error: WAYPOINTS line 2: needs a reference, an index, a task and a radius: \"POINT 0 TURN\"", 1,
                     1},
        OpenLineCase{"WaypointAltitudeWithoutSpeed", RouteWithWaypoints("POINT 0 TURN 100 500\n"),
                     "Error: WAYPOINTS line 1: has an altitude but no speed: \"POINT 0 TURN 100 500\"", 0, 1},
        OpenLineCase{"WaypointOneWordDescriptionAfterRadius",
                     RouteWithWaypoints("POINT 0 TURN 100\nPOINT 0 TURN 100 \"Tower\"\n"),
                     "error converting \"Tower\" to double.", 1, 1},
        OpenLineCase{"UnknownReference", RouteWithWaypoints("GATE 0 TURN 100\nPOINT 0 TURN 100\n"),
                     "Error: WAYPOINTS line 1: reference is neither RUNWAY nor POINT: \"GATE\"", 0, 1},
        OpenLineCase{"UnknownTask", RouteWithWaypoints("POINT 0 TURN 100\nPOINT 0 turn 100\n"),
                     "Error: WAYPOINTS line 2: task is none of TURN, LOOP, TAKEOFF, LAND: \"turn\"", 1, 1},
        OpenLineCase{"LongTextIsCut", RouteWithWaypoints("POINT 0 " + std::string(70, 'T') + " 100\n"),
                     "Error: WAYPOINTS line 1: task is none of TURN, LOOP, TAKEOFF, LAND: \"" +
                         std::string(60, 'T') + "...\"",
                     0, 1},
        OpenLineCase{"LoopTargetNotANumber", RouteWithWaypoints("POINT 0 LOOP:x 100\n"),
                     "Error: WAYPOINTS line 1: loop target is not a waypoint number: \"LOOP:x\"", 0, 1},
        OpenLineCase{"LoopTargetNegative", RouteWithWaypoints("POINT 0 TURN 100\nPOINT 0 LOOP:-1 100\n"),
                     "Error: WAYPOINTS line 2: loop target is not a waypoint number: \"LOOP:-1\"", 1, 1},
        OpenLineCase{"IndexTooLargeForInt", RouteWithWaypoints("POINT 99999999999 TURN 100\n"),
                     "error converting 99999999999 to int.", 0, 1},
        OpenLineCase{"LoopWithoutTarget", RouteWithWaypoints("POINT 0 LOOP: 100\n"),
                     "Error: WAYPOINTS line 1: loop target is not a waypoint number: \"LOOP:\"", 0, 1},
        OpenLineCase{"LoopTargetTooLargeForInt", RouteWithWaypoints("POINT 0 LOOP:99999999999 100\n"),
                     "Error: WAYPOINTS line 1: loop target is not a waypoint number: \"LOOP:99999999999\"", 0, 1},
        OpenLineCase{"LoopTargetWithATail", RouteWithWaypoints("POINT 0 LOOP:1x 100\n"),
                     "Error: WAYPOINTS line 1: loop target is not a waypoint number: \"LOOP:1x\"", 0, 1},
        OpenLineCase{"BadLatitudeAfterAGoodLongitude", Route("10 50\n11 fifty\n", "0 0\n", "POINT 0 TURN 1\n"),
                     "error converting fifty to double.", 0, 0},
        OpenLineCase{"BadSecondRunwayField", Route("10 50\n", "0 0\n0 x\n", "POINT 0 TURN 1\n"),
                     "error converting x to int.", 0, 1},
        OpenLineCase{"RunwayEndBelowMinusOne", Route("10 50\n", "0 0\n-2 0\n", "POINT 0 TURN 1\n"),
                     "Error: RUNWAYS line 2: names a point that does not exist: \"-2 0\"", 0, 1},
        OpenLineCase{"BadAltitude", RouteWithWaypoints("POINT 0 TURN 100\nPOINT 0 TURN 100 high 50\n"),
                     "error converting high to double.", 1, 1},
        OpenLineCase{"RunwayMinusOne", RouteWithWaypoints("POINT 0 TURN 100\nRUNWAY -1 LAND 100\n"),
                     "Error: Runway in route not found!", 1, 1},
        OpenLineCase{"LineStartingWithAQuote", RouteWithWaypoints("\"Tower\" 0 TURN 100\n"),
                     "Error: WAYPOINTS line 1: reference is neither RUNWAY nor POINT: \"\"Tower\"\"", 0, 1},
        OpenLineCase{"EmptyFile", "",
                     "Error parsing file!\nEND_WAYPOINTS not found after BEGIN_WAYPOINTS?\n", 0, 0}),
    [](const testing::TestParamInfo<OpenLineCase>& info) { return info.param.name; });

// What reads cleanly though it looks odd: a blank after the last field of
// a line, and an end marker of -1 in the second field.
TEST_F(RouteFileReaderTest, BlankAfterTheLastFieldAndMinusOneSecondEndReadCleanly) {
  const Outcome out = Parse(Route("10 50 \n11 51\n", "0 1 \n0 -1\n1 0\n", "POINT 1 TURN 100 \n"));
  EXPECT_EQ(out.errorText, "");
  EXPECT_EQ(out.runways.size(), 1u);
  ASSERT_EQ(out.waypoints.size(), 1u);
  EXPECT_EQ(out.waypoints[0].latitude, 51 * 0.017453292519943295);
}

// "LOOP:n" names the waypoint (from 0) where a loop continues; a plain
// LOOP continues at the first. Neither changes the log of a clean read.
TEST_F(RouteFileReaderTest, NamedLoopContinuesAtItsTarget) {
  const Outcome out = Parse(RouteWithWaypoints("POINT 0 TURN 100\nPOINT 0 TURN 100\nPOINT 0 LOOP:1 100\n"
                                               "POINT 0 LOOP 100\n"));
  EXPECT_EQ(out.errorText, "");
  ASSERT_EQ(out.waypoints.size(), 4u);
  EXPECT_EQ(out.waypoints[2].task, Loop);
  EXPECT_EQ(out.waypoints[2].loopTarget, 1);
  EXPECT_EQ(out.waypoints[3].task, Loop);
  EXPECT_EQ(out.waypoints[3].loopTarget, 0);
  EXPECT_EQ(out.log, Join({kStart, PointsLog(3), kRunwaysOk, kWaypointsStart, WaypointLog(false), WaypointLog(false),
                           WaypointLog(false), WaypointLog(false), kCompleted}));
}

// A target past the end is reported once the whole list is known; the
// route keeps every waypoint, the loop continuing at the first.
TEST_F(RouteFileReaderTest, NamedLoopTargetPastTheEndIsReportedAndFallsBackToTheFirst) {
  const Outcome out = Parse(RouteWithWaypoints("POINT 0 TURN 100\nPOINT 0 LOOP:7 100\nPOINT 0 LOOP:9 100\n"));
  EXPECT_EQ(out.errorText, "Error: WAYPOINTS line 2: loop target is not a waypoint of the route: \"LOOP:7\"");
  ASSERT_EQ(out.waypoints.size(), 3u);
  EXPECT_EQ(out.waypoints[1].task, Loop);
  EXPECT_EQ(out.waypoints[1].loopTarget, 0);
  EXPECT_EQ(out.waypoints[2].loopTarget, 0);
  EXPECT_EQ(out.log, Join({kStart, PointsLog(3), kRunwaysOk, kWaypointsStart, WaypointLog(false), WaypointLog(false),
                           WaypointLog(false), Report(out.errorText), kCompleted}));
}

// A route cut short by an error can leave a loop's target behind the cut:
// the target falls back all the same, and the first error stays the one
// the display shows.
TEST_F(RouteFileReaderTest, NamedLoopCutOffByAnEarlierErrorFallsBackSilently) {
  const Outcome out = Parse(RouteWithWaypoints("POINT 0 TURN 100\nPOINT 0 LOOP:2 100\nRUNWAY 9 TURN 100\n"));
  EXPECT_EQ(out.errorText, "Error: Runway in route not found!");
  ASSERT_EQ(out.waypoints.size(), 2u);
  EXPECT_EQ(out.waypoints[1].loopTarget, 0);
  EXPECT_EQ(out.log, Join({kStart, PointsLog(3), kRunwaysOk, kWaypointsStart, WaypointLog(false), WaypointLog(false),
                           {".1", ".2", ".3", ".4", ".5"}, Report(out.errorText), {".8", ".9"}, kCompleted}));
}

// After an error, a line too short for its kind stops its step where any
// line would, at its first number: that number is still converted, and a
// failed conversion reports; otherwise nothing of its own is reported.
TEST_F(RouteFileReaderTest, ShortLineAfterAnErrorStopsAtItsFirstNumber) {
  const Outcome waypoints =
      Parse(Route("10 50\n", "0 0\n", "POINT 0 TURN 100\nRUNWAY 7 TURN 100\nPOINT 0 TURN\n"));
  EXPECT_EQ(waypoints.errorText, "Error: Runway in route not found!");
  EXPECT_EQ(waypoints.log, Join({kStart, PointsLog(1), kRunwaysOk, kWaypointsStart, WaypointLog(false),
                                 {".1", ".2", ".3", ".4", ".5"}, Report(waypoints.errorText), {".8", ".9", ".1"},
                                 kCompleted}));
  EXPECT_EQ(waypoints.waypoints.size(), 1u);

  simhost::host().ClearLog();
  const Outcome runways = Parse(Route("10 x\n", "0\n", "POINT 0 TURN 100\n"));
  EXPECT_EQ(runways.errorText, "error converting x to double.");
  EXPECT_EQ(runways.log, Join({kStart, {"Parsing Points...", "..start spilt 1..", "..end spilt 1..", ".1..", "..",
                                         "..start spilt 2..", "..end spilt 2.."},
                               Report(runways.errorText), {"Parsing Runways..."}, kWaypointsStart, {".1"},
                               kCompleted}));

  struct Case {
    std::string file, errorText;
  };
  const std::vector<Case> failingFirstNumbers{
      {Route("1 x\n", "abc\n", "POINT 0 TURN 100\n"), "error converting abc to int."},
      {Route("1 1\n", "0 0\n", "POINT 5 TURN 500\nPOINT zz TURN\n"), "error converting zz to int."},
  };
  for (const Case& c : failingFirstNumbers) EXPECT_EQ(Parse(c.file).errorText, c.errorText) << c.file;
}

// A full check reads on past every faulty waypoint line, an earlier error
// or not, and keeps the good lines after them.
TEST_F(RouteFileReaderTest, ReadingPastErrorsReportsEveryFaultyWaypointLine) {
  const TempFile file(Route("0 0\n1 1\n", "0 1\n",
                            "POINT x TURN 100\nPOINT 0\nPOINT 0 LOOP:1x 100\nPOINT 0 JUMP 100\nPOINT 1 TURN 200\n"));
  ReadTrace trace;
  RouteFileReader reader(&trace, true);
  testing::internal::CaptureStdout();
  const WaypointList waypoints = reader.ParseRouteFile(file.Path());
  testing::internal::GetCapturedStdout();
  std::vector<std::string> reports;
  for (const ReadTrace::Report& report : trace.reports) reports.push_back(report.message);
  EXPECT_EQ(reports, (std::vector<std::string>{
                         "error converting x to int.",
                         "Error: WAYPOINTS line 2: needs a reference, an index, a task and a radius: \"POINT 0\"",
                         "Error: WAYPOINTS line 3: loop target is not a waypoint number: \"LOOP:1x\"",
                         "Error: WAYPOINTS line 4: task is none of TURN, LOOP, TAKEOFF, LAND: \"JUMP\"",
                     }));
  EXPECT_TRUE(reader.errorFlag);
  ASSERT_EQ(waypoints.size(), 1u);
  EXPECT_DOUBLE_EQ(waypoints[0].acceptRadius, 200.0);
}

TEST(TaskKeyword, NamesEachTaskAndMarksAnyOther) {
  EXPECT_STREQ(TaskKeyword(Turn), "TURN");
  EXPECT_STREQ(TaskKeyword(Loop), "LOOP");
  EXPECT_STREQ(TaskKeyword(Takeoff), "TAKEOFF");
  EXPECT_STREQ(TaskKeyword(Land), "LAND");
  EXPECT_STREQ(TaskKeyword(9), "?");
}

}  // namespace
