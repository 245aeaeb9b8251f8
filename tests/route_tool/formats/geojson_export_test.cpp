// GeoJSON export through the built program, read back with nlohmann_json.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "simhost/sim_host.h"
#include "tests/support/tool_run.h"
#include "route_tool/core/route_source.h"
#include "geodesy/angles.h"

namespace {

using namespace route_tool;

using nlohmann::json;
using tools_test::kSource;
using tools_test::RunTool;

using geodesy::kDegreesPerRadian;

class GeoJsonTest : public testing::Test {
 protected:
  void SetUp() override { simhost::host().Reset(); }
};

TEST_F(GeoJsonTest, CircuitIsWaypointsLegsAndRunwayInDegrees) {
  const std::string route = kSource + "/examples/routes/circuit.route";
  const auto run = RunTool("export --format geojson " + route);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json document = json::parse(run.out);
  const RouteSource source = ReadRouteSource(route);
  ASSERT_FALSE(source.errorFlag);
  const double centreLon = source.runways[0].centerLongitude * kDegreesPerRadian;
  const double centreLat = source.runways[0].centerLatitude * kDegreesPerRadian;

  const auto waypoint = [](json coordinates, int number, const char* task, double radius, double altitude,
                           double speed, const char* description, json loopTarget, const char* reference, int index) {
    return json{{"type", "Feature"},
                {"geometry", {{"type", "Point"}, {"coordinates", coordinates}}},
                {"properties",
                 {{"kind", "waypoint"},
                  {"number", number},
                  {"task", task},
                  {"acceptRadiusMetres", radius},
                  {"altitudeMetres", altitude},
                  {"speedMetresPerSecond", speed},
                  {"description", description},
                  {"loopTarget", loopTarget},
                  {"reference", {{"type", reference}, {"index", index}}}}}};
  };
  const auto leg = [](json from, json to, int fromNumber, int toNumber, bool loop) {
    return json{{"type", "Feature"},
                {"geometry", {{"type", "LineString"}, {"coordinates", {from, to}}}},
                {"properties", {{"kind", "leg"}, {"from", fromNumber}, {"to", toNumber}, {"loop", loop}}}};
  };
  const json centre = {centreLon, centreLat};
  const json downwind = {-117.800, 34.960};
  const json base = {-117.900, 34.960};
  const json threshold = {-117.885, 34.905};
  const json expected = {
      {"type", "FeatureCollection"},
      {"features",
       {waypoint(centre, 1, "TAKEOFF", 800, 0, 0, "Rolling from the strip", nullptr, "RUNWAY", 0),
        waypoint(downwind, 2, "TURN", 1500, 600, 90, "Crosswind to downwind", nullptr, "POINT", 2),
        waypoint(base, 3, "TURN", 1500, 600, 90, "Downwind to base", nullptr, "POINT", 3),
        waypoint(threshold, 4, "LOOP", 1000, 300, 80, "Short final: go round again", 1, "POINT", 0),
        waypoint(centre, 5, "LAND", 600, 0, 0, "Touch down", nullptr, "RUNWAY", 0),
        leg(centre, downwind, 1, 2, false), leg(downwind, base, 2, 3, false), leg(base, threshold, 3, 4, false),
        leg(threshold, centre, 4, 5, false),
        // The plain LOOP goes back to the route's first waypoint.
        leg(threshold, centre, 4, 1, true),
        {{"type", "Feature"},
         {"geometry", {{"type", "LineString"}, {"coordinates", {threshold, {-117.815, 34.915}}}}},
         {"properties", {{"kind", "runway"}, {"index", 0}, {"end1Point", 0}, {"end2Point", 1}}}}}}};
  EXPECT_EQ(document, expected) << document.dump(2);
}

TEST_F(GeoJsonTest, LoopTargetCountsFromOneLikeTheWaypointNumbers) {
  const auto run = RunTool("export --format geojson " + kSource + "/examples/demo/Config/TKMFD/routes/kestrel.route");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json document = json::parse(run.out);
  const json& hold = document["features"][4]["properties"];
  EXPECT_EQ(hold["description"], "Hold fix");
  EXPECT_EQ(hold["task"], "LOOP");
  EXPECT_EQ(hold["loopTarget"], 2);  // LOOP:1 in the file
  const json& loopLeg = document["features"][13]["properties"];
  EXPECT_EQ(loopLeg, (json{{"kind", "leg"}, {"from", 5}, {"to", 2}, {"loop", true}}));
  EXPECT_EQ(document["features"].size(), 7u + 6u + 1u + 2u);
}

}  // namespace
