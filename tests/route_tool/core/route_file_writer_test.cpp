// The route file writer against the module's reader: texts that would
// change what the file means, numbers the reader refuses, and drafts that
// cannot be written.
#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "route/section_text.h"
#include "tests/support/route_test_support.h"
#include "route_tool/core/route_file_writer.h"
#include "route_tool/core/route_source.h"

namespace {

using namespace route_tool;

using route_test::TempFile;

// Two runway ends and a point; a take-off, a turn and a landing.
RouteFileDraft Circuit() {
  RouteFileDraft draft;
  draft.headerComments = {"Circuit"};
  draft.points = {{-80.5, 28.5, "end 1"}, {-80.49, 28.51, "end 2"}, {-80.4, 28.6, "turn"}};
  draft.runways = {{0, 1, "runway"}};
  RouteFileDraft::WaypointLine takeoff{true, 0, Takeoff, 0, 0.0, 0.0, 0.0, "Take-off", ""};
  RouteFileDraft::WaypointLine turn{false, 2, Turn, 0, 500.0, 300.0, 60.0, "Turn", "c"};
  RouteFileDraft::WaypointLine land{true, 0, Land, 0, 900.0, 0.0, 0.0, "Landing", ""};
  draft.waypoints = {takeoff, turn, land};
  draft.trailingComments = {"end"};
  return draft;
}

struct RoundTripCase {
  const char* name;
  void (*change)(RouteFileDraft&);
  std::vector<std::string> descriptions;  // as the reader gives them back
};

constexpr char kBaseName[] = "END_POINTS BEGIN_WAYPOINTS \"q\" # h";

const RoundTripCase kRoundTrips[] = {
    {"ImportedNameWithAnEndMarker", [](RouteFileDraft& d) { d.waypoints[1].description = "x END_WAYPOINTS y"; },
     {"Take-off", "x END WAYPOINTS y", "Landing"}},
    // The first line is not cut at '#' and is joined to the second.
    {"InputPathWithAMarkerInTheFirstLine",
     [](RouteFileDraft& d) { d.headerComments = {"Imported from /tmp/BEGIN_WAYPOINTS.gpx"}; },
     {"Take-off", "Turn", "Landing"}},
    {"BaseNameInEveryText",
     [](RouteFileDraft& d) {
       d.headerComments = {kBaseName, kBaseName};
       for (auto& point : d.points) point.comment = kBaseName;
       d.runways[0].comment = kBaseName;
       for (auto& waypoint : d.waypoints) waypoint.description = waypoint.comment = kBaseName;
       d.trailingComments = {kBaseName};
     },
     std::vector<std::string>(3, "END POINTS BEGIN WAYPOINTS 'q' h")},
    {"BlanksAndLineEndsInADescription",
     [](RouteFileDraft& d) { d.waypoints[0].description = " a\t\tb\r\nc  BEGIN_RUNWAYSEND_RUNWAYS\x01"; },
     {" a b c BEGIN RUNWAYSEND RUNWAYS\x01", "Turn", "Landing"}},
    {"NegativeZeros",
     [](RouteFileDraft& d) {
       d.points[2] = {-0.0, -0.0, ""};
       d.waypoints[1].acceptRadiusMetres = d.waypoints[1].altitudeMetres = d.waypoints[1].speedMetresPerSecond = -0.0;
     },
     {"Take-off", "Turn", "Landing"}},
};

void PrintTo(const RoundTripCase& roundTrip, std::ostream* out) { *out << roundTrip.name; }

class WriterRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(WriterRoundTrip, TheReaderGivesBackTheDraftsRecords) {
  RouteFileDraft draft = Circuit();
  GetParam().change(draft);
  const RouteFileWriting written = RouteFileText(draft);
  ASSERT_EQ(written.error, "");
  const TempFile file(written.text);
  const RouteSource read = ReadRouteSource(file.Path());
  EXPECT_EQ(read.errorText, "") << written.text;
  ASSERT_EQ(read.points.size(), draft.points.size()) << written.text;
  for (std::size_t i = 0; i < draft.points.size(); ++i) {
    EXPECT_EQ(read.points[i].longitude, draft.points[i].longitudeDeg);
    EXPECT_EQ(read.points[i].latitude, draft.points[i].latitudeDeg);
  }
  ASSERT_EQ(read.runwayEnds.size(), 1u);
  EXPECT_EQ(read.runwayEnds[0].end1Point, 0);
  EXPECT_EQ(read.runwayEnds[0].end2Point, 1);
  ASSERT_EQ(read.waypoints.size(), draft.waypoints.size()) << written.text;
  for (std::size_t i = 0; i < draft.waypoints.size(); ++i) {
    const RouteFileDraft::WaypointLine& line = draft.waypoints[i];
    EXPECT_EQ(read.references[i].onRunway, line.onRunway);
    EXPECT_EQ(read.references[i].index, line.index);
    EXPECT_EQ(read.waypoints[i].task, line.task);
    EXPECT_EQ(read.waypoints[i].acceptRadius, line.acceptRadiusMetres);
    EXPECT_EQ(read.waypoints[i].altitude, line.altitudeMetres);
    EXPECT_EQ(read.waypoints[i].speed, line.speedMetresPerSecond);
    EXPECT_EQ(read.waypoints[i].description, GetParam().descriptions[i]);
    EXPECT_EQ(read.waypoints[i].description, DescriptionAsWritten(line.description));
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, WriterRoundTrip, testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  void (*change)(RouteFileDraft&);
  const char* error;
};

TEST(RouteFileWriter, RefusesADraftTheReaderWouldReadAsSomethingElse) {
  const RefusedCase cases[] = {
      {[](RouteFileDraft& d) { d.waypoints.clear(); }, "a route file needs at least one waypoint"},
      {[](RouteFileDraft& d) { d.runways[0].end2Point = 3; }, "runway 0: an end names no point of the route"},
      {[](RouteFileDraft& d) { d.waypoints[2].index = 1; }, "waypoint 2: index 1 names no runway of the route"},
      {[](RouteFileDraft& d) { d.waypoints[1].loopTarget = 2; },
       "waypoint 1: loop target 2 is not a waypoint of this LOOP's route"},
      {[](RouteFileDraft& d) { d.points[1].latitudeDeg = std::numeric_limits<double>::infinity(); },
       "point 1: a coordinate is not a finite number"},
  };
  for (const RefusedCase& refused : cases) {
    RouteFileDraft draft = Circuit();
    refused.change(draft);
    const RouteFileWriting written = RouteFileText(draft);
    EXPECT_EQ(written.error, refused.error);
    EXPECT_EQ(written.text, "");
  }
}

// The file may be as large as the module reads, and not a byte larger.
TEST(RouteFileWriter, WritesUpToTheLargestFileTheModuleReads) {
  RouteFileDraft draft = Circuit();
  constexpr std::size_t kLargest = 4096;
  const std::size_t withoutDescription = RouteFileText(draft).text.size() - draft.waypoints[1].description.size();
  draft.waypoints[1].description.assign(kLargest - withoutDescription, 'a');
  EXPECT_EQ(RouteFileText(draft, kLargest).text.size(), kLargest);
  draft.waypoints[1].description.push_back('a');
  const RouteFileWriting tooLarge = RouteFileText(draft, kLargest);
  EXPECT_EQ(tooLarge.error, "the route file would be larger than 4096 bytes, the most the module reads");
  EXPECT_EQ(tooLarge.text, "");
}

}  // namespace
