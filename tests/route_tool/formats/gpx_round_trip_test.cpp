// GPX export and import through the built program: every example route
// comes back as the same route, another tool's GPX becomes TURN
// waypoints, and the document is GPX 1.1 with our fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <vector>

#include "simhost/sim_host.h"
#include "tests/support/tool_run.h"
#include "route_tool/core/route_source.h"
#include "geodesy/angles.h"

namespace {

using namespace route_tool;

using tools_test::kSource;
using tools_test::ReadBytes;
using tools_test::RunTool;
using tools_test::TempFolder;

using geodesy::kRadiansPerDegree;

// Every route file of the examples and the real-host test.
std::vector<std::string> ExampleRoutes() {
  std::vector<std::string> found;
  for (const char* folder : {"/examples/routes", "/examples/demo/Config/TKMFD/routes", "/tests/real_host/routes"})
    for (const auto& entry : std::filesystem::directory_iterator(kSource + folder))
      if (entry.path().extension() == ".route") found.push_back(entry.path().string());
  std::sort(found.begin(), found.end());
  return found;
}

void ExpectSameRoute(const RouteSource& expected, const RouteSource& actual) {
  EXPECT_FALSE(actual.errorFlag) << actual.errorText;
  ASSERT_EQ(actual.waypoints.size(), expected.waypoints.size());
  for (std::size_t i = 0; i < expected.waypoints.size(); ++i) {
    SCOPED_TRACE("waypoint " + std::to_string(i));
    const Waypoint& want = expected.waypoints[i];
    const Waypoint& got = actual.waypoints[i];
    EXPECT_EQ(got.latitude, want.latitude);
    EXPECT_EQ(got.longitude, want.longitude);
    EXPECT_EQ(got.altitude, want.altitude);
    EXPECT_EQ(got.acceptRadius, want.acceptRadius);
    EXPECT_EQ(got.speed, want.speed);
    EXPECT_EQ(got.task, want.task);
    EXPECT_EQ(got.loopTarget, want.loopTarget);
    EXPECT_EQ(got.description, want.description);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(actual.references[i].onRunway, expected.references[i].onRunway);
    EXPECT_EQ(actual.references[i].index, expected.references[i].index);
  }
  ASSERT_EQ(actual.runways.size(), expected.runways.size());
  for (std::size_t i = 0; i < expected.runways.size(); ++i) {
    SCOPED_TRACE("runway " + std::to_string(i));
    EXPECT_EQ(actual.runways[i].end1Latitude, expected.runways[i].end1Latitude);
    EXPECT_EQ(actual.runways[i].end1Longitude, expected.runways[i].end1Longitude);
    EXPECT_EQ(actual.runways[i].end2Latitude, expected.runways[i].end2Latitude);
    EXPECT_EQ(actual.runways[i].end2Longitude, expected.runways[i].end2Longitude);
    EXPECT_EQ(actual.runways[i].centerLatitude, expected.runways[i].centerLatitude);
    EXPECT_EQ(actual.runways[i].centerLongitude, expected.runways[i].centerLongitude);
  }
}

class GpxTest : public testing::Test {
 protected:
  void SetUp() override { simhost::host().Reset(); }
  TempFolder folder_;
};

TEST_F(GpxTest, EveryCleanExampleRouteComesBackAsTheSameRoute) {
  std::set<std::string> faulty;
  std::size_t roundTrips = 0;
  for (const std::string& route : ExampleRoutes()) {
    SCOPED_TRACE(route);
    const RouteSource original = ReadRouteSource(route);
    if (original.errorFlag) {
      faulty.insert(std::filesystem::path(route).filename().string());
      continue;
    }
    const std::string gpx = folder_.File("route.gpx");
    const std::string imported = folder_.File("route.route");
    const auto exported = RunTool("export --format gpx '" + route + "' -o '" + gpx + "'");
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(exported.out, "");
    const auto read = RunTool("import '" + gpx + "' -o '" + imported + "'");
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_EQ(read.err, "");
    ExpectSameRoute(original, ReadRouteSource(imported));
    ++roundTrips;
  }
  // The one file that is faulty on purpose; every other file went round.
  EXPECT_EQ(faulty, std::set<std::string>{"Faulty.route"});
  EXPECT_EQ(roundTrips, 7u);
}

TEST_F(GpxTest, ExportWritesStandardOutputWhenNoFileIsGiven) {
  const std::string route = kSource + "/examples/routes/circuit.route";
  const std::string gpx = folder_.File("circuit.gpx");
  ASSERT_EQ(RunTool("export --format gpx " + route + " -o " + gpx).exitCode, 0);
  const auto run = RunTool("export --format gpx " + route);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, ReadBytes(gpx));
}

// A waypoint moved in another tool keeps its fields at its new place.
TEST_F(GpxTest, AWaypointMovedElsewhereBecomesAPointOfItsOwn) {
  const std::string gpx = folder_.File("example.gpx");
  ASSERT_EQ(RunTool("export --format gpx " + kSource + "/examples/routes/example.route -o " + gpx).exitCode, 0);
  std::string text = ReadBytes(gpx);
  const std::string turn = "<rtept lat=\"28.4\" lon=\"-80.5\">";
  ASSERT_NE(text.find(turn), std::string::npos) << text;
  text.replace(text.find(turn), turn.size(), "<rtept lat=\"28.45\" lon=\"-80.5\">");
  tools_test::WriteBytes(gpx, text);

  const std::string imported = folder_.File("example.route");
  const auto run = RunTool("import " + gpx + " -o " + imported);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const RouteSource route = ReadRouteSource(imported);
  ASSERT_FALSE(route.errorFlag) << route.errorText;
  ASSERT_EQ(route.waypoints.size(), 3u);
  ASSERT_EQ(route.points.size(), 4u);
  EXPECT_FALSE(route.references[1].onRunway);
  EXPECT_EQ(route.references[1].index, 3);
  EXPECT_EQ(route.waypoints[1].latitude, 28.45 * kRadiansPerDegree);
  EXPECT_EQ(route.waypoints[1].acceptRadius, 2000.0);
  EXPECT_EQ(route.waypoints[1].altitude, 3000.0);
  EXPECT_EQ(route.waypoints[1].speed, 250.0);
  EXPECT_EQ(route.waypoints[1].description, "Turn over the point");
  EXPECT_TRUE(route.references[0].onRunway);
  EXPECT_TRUE(route.references[2].onRunway);
}

struct PlainPoint {
  double latitudeDeg;
  double longitudeDeg;
  const char* description;
};

struct OtherToolCase {
  const char* file;
  std::vector<PlainPoint> points;
};

TEST_F(GpxTest, AnotherToolsRouteTrackOrWaypointsImportAsTurnsWithTheGivenRadius) {
  const std::vector<OtherToolCase> cases = {
      // The first route with points, not the marks beside it.
      {"other_route.gpx",
       {{50.7, -1.25, "Fairway buoy"}, {50.712345678901234, -1.3, ""}, {50.75, -1.333333333333333,
                                                                         "Inner & outer 'mark'"}}},
      // GPX 1.0, both segments of the track in order.
      {"other_track.gpx", {{-33.9, 151.2, "Start"}, {-33.91, 151.21, ""}, {-33.92, 151.22, "End"}}},
      // A prefixed GPX namespace.
      {"waypoints_only.gpx", {{0.5, -179.5, "West"}, {-0.5, 179.5, "East"}}},
  };
  for (const OtherToolCase& test : cases) {
    SCOPED_TRACE(test.file);
    const std::string imported = folder_.File("imported.route");
    const auto run = RunTool("import " + kSource + "/tests/data/gpx/" + test.file + " -o " + imported +
                             " --radius 250.5");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const RouteSource route = ReadRouteSource(imported);
    ASSERT_FALSE(route.errorFlag) << route.errorText;
    ASSERT_EQ(route.waypoints.size(), test.points.size());
    EXPECT_TRUE(route.runways.empty());
    for (std::size_t i = 0; i < test.points.size(); ++i) {
      SCOPED_TRACE(i);
      const Waypoint& waypoint = route.waypoints[i];
      EXPECT_EQ(waypoint.latitude, test.points[i].latitudeDeg * kRadiansPerDegree);
      EXPECT_EQ(waypoint.longitude, test.points[i].longitudeDeg * kRadiansPerDegree);
      EXPECT_EQ(waypoint.task, Turn);
      EXPECT_EQ(waypoint.acceptRadius, 250.5);
      EXPECT_EQ(waypoint.altitude, 0.0);
      EXPECT_EQ(waypoint.speed, 0.0);
      EXPECT_EQ(waypoint.description, test.points[i].description);
    }
  }
}

TEST_F(GpxTest, AnotherToolsRouteWithoutRadiusIsAUsageError) {
  const std::string gpx = kSource + "/tests/data/gpx/other_route.gpx";
  const std::string imported = folder_.File("imported.route");
  const auto run = RunTool("import " + gpx + " -o " + imported);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "tarvik-route: " + gpx +
                         ":15:5: this point has no acceptance radius of ours; give one with --radius METRES\n"
                         "Usage: tarvik-route import FILE.gpx -o FILE.route [--radius METRES]\n");
  EXPECT_FALSE(std::filesystem::exists(imported));
}

std::string Attribute(pugi::xml_node node, const char* name) { return node.attribute(name).value(); }

TEST_F(GpxTest, ExportIsGpx11WithOurFieldsAndOpenCpnArrivalRadius) {
  const auto run = RunTool("export --format gpx " + kSource + "/examples/demo/Config/TKMFD/routes/kestrel.route");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(run.out.c_str()));
  const pugi::xml_node gpx = document.document_element();
  EXPECT_STREQ(gpx.name(), "gpx");
  EXPECT_EQ(Attribute(gpx, "xmlns"), "http://www.topografix.com/GPX/1/1");
  EXPECT_EQ(Attribute(gpx, "xmlns:tarvik"), "urn:tarvik-mfd:route:1");
  EXPECT_EQ(Attribute(gpx, "xmlns:opencpn"), "http://www.opencpn.org");
  EXPECT_EQ(Attribute(gpx, "version"), "1.1");
  EXPECT_EQ(Attribute(gpx, "creator"), "tarvik-route");

  const pugi::xml_node rte = gpx.child("rte");
  std::vector<std::string> order;
  for (const pugi::xml_node child : rte.children()) order.push_back(child.name());
  // The GPX 1.1 order: name, extensions, then the points.
  EXPECT_EQ(order, (std::vector<std::string>{"name", "extensions", "rtept", "rtept", "rtept", "rtept", "rtept",
                                             "rtept", "rtept"}));
  EXPECT_STREQ(rte.child_value("name"), "kestrel");

  const pugi::xml_node ours = rte.child("extensions").child("tarvik:route");
  std::vector<std::string> points;
  for (const pugi::xml_node point : ours.children("tarvik:point"))
    points.push_back(Attribute(point, "lon") + " " + Attribute(point, "lat"));
  EXPECT_EQ(points, (std::vector<std::string>{"9.978089 52", "10.021911 52", "10.037979 51.989208",
                                              "10.037979 52.010792", "10.131467 52.008993", "10.175289 52.098925",
                                              "10.029215 52.125905", "9.912356 52.053959", "10.037979 52.089932"}));
  std::vector<std::string> runways;
  for (const pugi::xml_node runway : ours.children("tarvik:runway"))
    runways.push_back(Attribute(runway, "end1Point") + " " + Attribute(runway, "end2Point") + " " +
                      Attribute(runway, "end1Lat") + " " + Attribute(runway, "end1Lon") + " " +
                      Attribute(runway, "end2Lat") + " " + Attribute(runway, "end2Lon"));
  EXPECT_EQ(runways, (std::vector<std::string>{"0 1 52 9.978089 52 10.021911",
                                               "2 3 51.989208 10.037979 52.010792 10.037979"}));

  std::vector<pugi::xml_node> rtepts;
  for (const pugi::xml_node rtept : rte.children("rtept")) rtepts.push_back(rtept);
  // A point waypoint: the point as written; the hold fix loops to waypoint 1.
  const pugi::xml_node hold = rtepts[4];
  EXPECT_EQ(Attribute(hold, "lat"), "52.053959");
  EXPECT_EQ(Attribute(hold, "lon"), "9.912356");
  EXPECT_STREQ(hold.child_value("name"), "Hold fix");
  const pugi::xml_node holdFields = hold.child("extensions").child("tarvik:waypoint");
  EXPECT_EQ(Attribute(holdFields, "reference"), "POINT");
  EXPECT_EQ(Attribute(holdFields, "index"), "7");
  EXPECT_EQ(Attribute(holdFields, "task"), "LOOP");
  EXPECT_EQ(Attribute(holdFields, "loopTarget"), "1");
  EXPECT_EQ(Attribute(holdFields, "acceptRadiusMetres"), "1500");
  EXPECT_EQ(Attribute(holdFields, "altitudeMetres"), "1000");
  EXPECT_EQ(Attribute(holdFields, "speedMetresPerSecond"), "120");
  EXPECT_EQ(hold.child("extensions").child("opencpn:arrival_radius").text().as_double(), 1500.0 / 1852.0);

  // A runway waypoint: the runway's centre in degrees.
  const pugi::xml_node landing = rtepts[6];
  const RouteSource source = ReadRouteSource(kSource + "/examples/demo/Config/TKMFD/routes/kestrel.route");
  EXPECT_EQ(landing.attribute("lat").as_double(), source.runways[1].centerLatitude * geodesy::kDegreesPerRadian);
  EXPECT_EQ(landing.attribute("lon").as_double(), source.runways[1].centerLongitude * geodesy::kDegreesPerRadian);
  const pugi::xml_node landingFields = landing.child("extensions").child("tarvik:waypoint");
  EXPECT_EQ(Attribute(landingFields, "reference"), "RUNWAY");
  EXPECT_EQ(Attribute(landingFields, "index"), "1");
  EXPECT_EQ(Attribute(landingFields, "task"), "LAND");
  EXPECT_EQ(landing.child("extensions").child("opencpn:arrival_radius").text().as_double(), 1200.0 / 1852.0);
  // Every point has its position as lat and lon attributes and no other.
  for (const pugi::xml_node rtept : rtepts) {
    std::vector<std::string> names;
    for (const pugi::xml_attribute attribute : rtept.attributes()) names.push_back(attribute.name());
    EXPECT_EQ(names, (std::vector<std::string>{"lat", "lon"}));
  }
}

}  // namespace
