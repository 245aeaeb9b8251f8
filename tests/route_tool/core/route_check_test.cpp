// tarvik-route check: every problem at its line and column in the file,
// and the module's verdict, exactly; reading with a trace changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "route/route_file_reader.h"
#include "simhost/sim_host.h"
#include "tests/support/route_test_support.h"
#include "route_tool/core/route_check.h"

namespace {

using namespace route_tool;

using route_test::TempFile;

// The check's output as the command prints it, the file named by `name`.
std::vector<std::string> CheckLines(const std::string& path, const std::string& name) {
  const RouteCheck check = CheckRouteFile(path);
  std::vector<std::string> lines;
  for (const Diagnostic& diagnostic : check.diagnostics) lines.push_back(DiagnosticLine(name, diagnostic));
  lines.push_back(VerdictLine(name, check.verdict));
  return lines;
}

struct FileCase {
  std::string path;  // from the source folder
  std::vector<std::string> expected;
};

class CheckOfProjectFiles : public testing::TestWithParam<FileCase> {
 protected:
  void SetUp() override { simhost::host().Reset(); }
};

TEST_P(CheckOfProjectFiles, GivesExactlyTheseLines) {
  const FileCase& c = GetParam();
  EXPECT_EQ(CheckLines(std::string(TARVIK_SOURCE_DIR "/") + c.path, "F"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CheckOfProjectFiles,
    testing::Values(
        FileCase{"examples/routes/circuit.route", {"F: the module loads 4 points, 1 runway, 5 waypoints; no error"}},
        FileCase{"examples/routes/example.route", {"F: the module loads 3 points, 1 runway, 3 waypoints; no error"}},
        // Its first line is joined to the second: the runway is read but no waypoint uses it.
        FileCase{"examples/routes/rover.route",
                 {"F:3:1: warning: no waypoint uses runway 0",
                  "F: the module loads 4 points, 1 runway, 3 waypoints; no error"}},
        FileCase{"examples/demo/Config/TKMFD/routes/kestrel.route",
                 {"F: the module loads 9 points, 2 runways, 7 waypoints; no error"}},
        FileCase{"examples/demo/Config/TKMFD/routes/short-kestrel.route",
                 {"F: the module loads 8 points, 2 runways, 6 waypoints; no error"}},
        FileCase{"examples/demo/Config/TKMFD/routes/tug.route",
                 {"F:2:1: warning: no waypoint or runway uses point 0", "F:11:1: warning: no waypoint uses runway 0",
                  "F: the module loads 7 points, 2 runways, 3 waypoints; no error"}},
        FileCase{"tests/data/bad_point.route",
                 {"F:3:4: error: error converting fifty to double.",
                  "F: the module loads 1 point, 0 runways, 0 waypoints; error text \"error converting fifty to "
                  "double.\""}},
        // No RUNWAYS markers at all: at the end of the file.
        FileCase{"tests/data/missing_runways.route",
                 {"F:8:14: error: BEGIN_RUNWAYS or END_RUNWAYSnot found",
                  "F:8:14: error: Error parsing file! END_RUNWAYS not found after BEGIN_RUNWAYS?; for a route "
                  "without runways write the one line \"-1 -1\" between BEGIN_RUNWAYS and END_RUNWAYS",
                  "F: the module loads 2 points, 0 runways, 0 waypoints; error text \"Error parsing file!\\nEND_RUNWAYS "
                  "not found after BEGIN_RUNWAYS?\\n\""}},
        FileCase{"tests/data/runway_not_found.route",
                 {"F:13:8: error: Runway in route not found!",
                  "F: the module loads 3 points, 1 runway, 2 waypoints; error text \"Error: Runway in route not "
                  "found!\""}},
        // Read on past each error: the errors the module would stop at and
        // those behind them, and the odd numbers it accepts.
        FileCase{"tests/data/odd_numbers.route",
                 {"F:2:1: warning: longitude is outside -180..180 degrees",
                  "F:2:7: warning: latitude is outside -90..90 degrees",
                  "F:3:6: warning: latitude is outside -90..90 degrees",
                  "F:6:1: warning: the runway crosses the 180 degree meridian",
                  "F:6:1: warning: no waypoint uses runway 0", "F:9:14: error: error converting 1e-400 to double.",
                  "F:10:16: error: WAYPOINTS line 2: has an altitude but no speed: \"POINT 1 TURN 5 0\"",
                  "F:11:8: error: WAYPOINTS line 3: task is none of TURN, LOOP, TAKEOFF, LAND: \"HOVER\"",
                  "F: the module loads 2 points, 1 runway, 0 waypoints; error text \"error converting 1e-400 to "
                  "double.\""}},
        FileCase{"tests/data/markers_on_one_line.route",
                 {"F:2:1: error: BEGIN_POINTS or END_POINTSnot found",
                  "F:2:1: error: Error parsing file! END_POINTS not found after BEGIN_POINTS?",
                  "F:3:15: error: RUNWAYS line 1: names a point that does not exist: \" 0 0 \"",
                  "F:5:9: error: Point in route not found!",
                  "F: the module loads 0 points, 0 runways, 0 waypoints; error text \"Error parsing "
                  "file!\\nEND_POINTS not found after BEGIN_POINTS?\\n\""}},
        FileCase{"tests/data/mistakes.route",
                 {"F:3:7: warning: latitude is outside -90..90 degrees; longitude and latitude swapped? The "
                  "longitude comes first",
                  "F:4:4: warning: \",990\" after the number 179 is ignored; the decimal point is '.'",
                  "F:5:12: warning: text after the longitude and latitude is ignored; a comment starts with '#'",
                  "F:10:1: warning: the runway has zero length", "F:10:1: warning: no waypoint uses runway 1",
                  "F:10:5: warning: text after the two point numbers is ignored; a comment starts with '#'",
                  "F:13:22: warning: \"m\" after the number 1500 is ignored",
                  "F:13:28: warning: the description has no closing double quote and is dropped",
                  "F:14:26: warning: text after the numbers is not a quoted description and is ignored; put the "
                  "description in double quotes",
                  "F:15:1: warning: this waypoint is at the same place as the one before it (line 14)",
                  "F:15:34: warning: text after the description is ignored",
                  "F:16:1: warning: this waypoint is at the same place as the one before it (line 15)",
                  "F:16:9: error: WAYPOINTS line 4: loop target is not a waypoint of the route: \"LOOP:7\"",
                  "F: the module loads 4 points, 2 runways, 4 waypoints; error text \"Error: WAYPOINTS line 4: loop "
                  "target is not a waypoint of the route: \\\"LOOP:7\\\"\""}}),
    [](const testing::TestParamInfo<FileCase>& info) {
      std::string name = info.param.path.substr(info.param.path.rfind('/') + 1);
      name = name.substr(0, name.find('.'));
      for (char& c : name)
        if (c == '-') c = '_';
      return name;
    });

// Places in files whose text the reader changes before it parses: joined
// first lines, CR LF, tabs, comments and blank lines.
struct PlaceCase {
  std::string name;
  std::string file;
  std::string expectedFirstLine;
};

class CheckPlaces : public testing::TestWithParam<PlaceCase> {
 protected:
  void SetUp() override { simhost::host().Reset(); }
};

TEST_P(CheckPlaces, PointAtTheFieldAsAnEditorCountsIt) {
  const TempFile file(GetParam().file);
  EXPECT_EQ(CheckLines(file.Path(), "F").front(), GetParam().expectedFirstLine);
}

constexpr char kRest[] = "END_POINTS\nBEGIN_RUNWAYS\n0 0\nEND_RUNWAYS\nBEGIN_WAYPOINTS\nRUNWAY 0 TURN 5\nEND_WAYPOINTS\n";

INSTANTIATE_TEST_SUITE_P(
    Texts, CheckPlaces,
    testing::Values(
        PlaceCase{"FirstLineJoinedToTheSecond", std::string("BEGIN_POINTS\nten 50\n") + kRest,
                  "F:2:1: error: error converting ten to double."},
        PlaceCase{"CommentsAndBlankLinesCount",
                  std::string("# a route\n\nBEGIN_POINTS# here\n\n# none\n  10 x50\n") + kRest,
                  "F:6:6: error: error converting x50 to double."},
        // The module reads the blank a comment leaves after a marker as a line.
        PlaceCase{"BlankBeforeACommentAfterAMarker", std::string("# r\nBEGIN_POINTS   # here\n10 50\n") + kRest,
                  "F:2:13: error: POINTS line 1: needs a longitude and a latitude: \" \""},
        PlaceCase{"TabsAndRunsOfBlanksAreBytes", std::string("BEGIN_POINTS\n\t10 \t  \tfifty\n") + kRest,
                  "F:2:9: error: error converting fifty to double."},
        PlaceCase{"CrLfLineEnds", std::string("BEGIN_POINTS\r\n10 50\r\n11 x\r\n") + kRest,
                  "F:3:4: error: error converting x to double."},
        PlaceCase{"WholeFileOnOneLineIsLineOne", "BEGIN_POINTS 10 q END_POINTS",
                  "F:1:17: error: error converting q to double."},
        PlaceCase{"EmptyFileAtItsEnd", "", "F:1:1: error: BEGIN_POINTS or END_POINTSnot found"},
        // The module reads it, and the route never gets past it.
        PlaceCase{"NegativeAcceptanceRadius",
                  "BEGIN_POINTS\n10 50\n11 50\nEND_POINTS\nBEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\nBEGIN_WAYPOINTS\n"
                  "RUNWAY 0 TURN -5\nEND_WAYPOINTS\n",
                  "F:9:15: warning: the acceptance radius is negative: the waypoint is never reached and the route "
                  "stops there"}),
    [](const testing::TestParamInfo<PlaceCase>& info) { return info.param.name; });

// The module reads exactly as before when it is traced: same lists, same
// error text, same log, same echo.
class TracedReading : public testing::TestWithParam<std::string> {};

TEST_P(TracedReading, ChangesNothingTheModuleSees) {
  const std::string path = std::string(TARVIK_SOURCE_DIR "/") + GetParam();
  simhost::host().Reset();
  RouteFileReader plain;
  testing::internal::CaptureStdout();
  const WaypointList plainRoute = plain.ParseRouteFile(path);
  const std::string plainEcho = testing::internal::GetCapturedStdout();
  const std::vector<std::string> plainLog = simhost::host().LogLines();

  simhost::host().Reset();
  ReadTrace trace;
  RouteFileReader traced(&trace);
  testing::internal::CaptureStdout();
  const WaypointList tracedRoute = traced.ParseRouteFile(path);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), plainEcho);
  EXPECT_EQ(simhost::host().LogLines(), plainLog);
  EXPECT_EQ(traced.errorText, plain.errorText);
  EXPECT_EQ(traced.fileText, plain.fileText);
  EXPECT_EQ(trace.origins.size(), traced.fileText.size());
  ASSERT_EQ(tracedRoute.size(), plainRoute.size());
  for (std::size_t i = 0; i < plainRoute.size(); ++i) {
    EXPECT_EQ(tracedRoute[i].latitude, plainRoute[i].latitude);
    EXPECT_EQ(tracedRoute[i].longitude, plainRoute[i].longitude);
    EXPECT_EQ(tracedRoute[i].acceptRadius, plainRoute[i].acceptRadius);
    EXPECT_EQ(tracedRoute[i].task, plainRoute[i].task);
    EXPECT_EQ(tracedRoute[i].loopTarget, plainRoute[i].loopTarget);
    EXPECT_EQ(tracedRoute[i].description, plainRoute[i].description);
  }
  EXPECT_EQ(traced.GetRunways().size(), plain.GetRunways().size());
}

INSTANTIATE_TEST_SUITE_P(Files, TracedReading,
                         testing::Values("examples/routes/circuit.route", "examples/routes/rover.route",
                                         "tests/data/bad_point.route", "tests/data/markers_on_one_line.route",
                                         "tests/data/missing_runways.route", "tests/data/odd_numbers.route",
                                         "tests/data/runway_not_found.route", "tests/data/mistakes.route"));

TEST(TracedOrigins, EveryByteOfTheTextComesFromTheSameByteOfTheFile) {
  const std::string bytes = "x # first line keeps this\r\nBEGIN_POINTS\t\t# cut\n\n   10   50\nEND_POINTS";
  const TempFile file(bytes);
  TextOrigins origins;
  const std::string text = NormalizeWhitespace(ReadRouteText(file.Path(), &origins), &origins);
  ASSERT_EQ(origins.size(), text.size());
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const char fromFile = bytes[origins[i]];
    EXPECT_TRUE(fromFile == text[i] || (text[i] == ' ' && fromFile == '\t')) << i;
    if (i > 0) {
      EXPECT_LT(origins[i - 1], origins[i]) << i;
    }
  }
  EXPECT_EQ(origins.back(), bytes.size());  // the LF after the last line
}

}  // namespace
