// The legs of a route: distance, course, time and loops, on a sphere.
#include "route_tool/core/route_legs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "geodesy/body_constants.h"

using namespace route_tool;

namespace {

// A route along the equator: a degree of longitude is R pi / 180 exactly.
Waypoint At(double latitudeDeg, double longitudeDeg, std::int32_t task, double speedMetresPerSecond) {
  Waypoint w;
  w.latitude = latitudeDeg * std::numbers::pi / 180.0;
  w.longitude = longitudeDeg * std::numbers::pi / 180.0;
  w.task = task;
  w.speed = speedMetresPerSecond;
  return w;
}

TEST(RouteLegs, DistanceCourseCumulativeAndTimeOfEachLeg) {
  const double degreeMetres = geodesy::kEarthRadiusMetres * std::numbers::pi / 180.0;
  const WaypointList route{At(0, 0, Turn, 0), At(0, 1, Turn, 100), At(1, 1, Turn, 0), At(1, 0, Turn, 50)};
  const RouteLegs legs = LegsOf(route, geodesy::kEarthRadiusMetres);
  ASSERT_EQ(legs.legs.size(), 3u);
  EXPECT_NEAR(legs.legs[0].distanceMetres, degreeMetres, 1e-6);
  EXPECT_NEAR(legs.legs[0].courseDeg, 90.0, 1e-9);
  EXPECT_NEAR(legs.legs[0].timeSeconds, degreeMetres / 100.0, 1e-9);
  EXPECT_NEAR(legs.legs[1].courseDeg, 0.0, 1e-9);
  EXPECT_FALSE(legs.legs[1].timed);  // toward a waypoint of speed 0
  // A great circle westward at 1 degree north leaves a little north of west.
  EXPECT_GT(legs.legs[2].courseDeg, 270.0);
  EXPECT_LT(legs.legs[2].courseDeg, 270.01);
  EXPECT_NEAR(legs.legs[2].cumulativeMetres,
              legs.legs[0].distanceMetres + legs.legs[1].distanceMetres + legs.legs[2].distanceMetres, 1e-6);
  EXPECT_EQ(legs.untimedLegs, 1u);
  EXPECT_NEAR(legs.totalSeconds, legs.legs[0].timeSeconds + legs.legs[2].timeSeconds, 1e-9);
}

TEST(RouteLegs, LoopWayBackIsItsOwnLegOutsideTheTotalsAndMakesTheLap) {
  WaypointList route{At(0, 0, Turn, 10), At(0, 1, Turn, 10), At(0, 2, Loop, 10), At(0, 3, Land, 10)};
  route[2].loopTarget = 1;
  const RouteLegs legs = LegsOf(route, geodesy::kEarthRadiusMetres);
  ASSERT_EQ(legs.legs.size(), 4u);
  EXPECT_TRUE(legs.legs[2].loopBack);
  EXPECT_EQ(legs.legs[2].fromWaypoint, 2u);
  EXPECT_EQ(legs.legs[2].toWaypoint, 1u);
  EXPECT_NEAR(legs.legs[2].courseDeg, 270.0, 1e-9);
  EXPECT_EQ(legs.legs[3].fromWaypoint, 2u);
  const double degreeMetres = geodesy::kEarthRadiusMetres * std::numbers::pi / 180.0;
  EXPECT_NEAR(legs.totalMetres, 3 * degreeMetres, 1e-6);
  ASSERT_EQ(legs.loops.size(), 1u);
  EXPECT_TRUE(legs.loops[0].lap);
  EXPECT_NEAR(legs.loops[0].lapMetres, 2 * degreeMetres, 1e-6);
  EXPECT_NEAR(legs.loops[0].lapSeconds, 2 * degreeMetres / 10.0, 1e-6);
}

TEST(RouteLegs, DurationsRoundToTheSecond) {
  const std::vector<std::pair<double, std::string>> cases{
      {0.0, "0:00:00"}, {59.5, "0:01:00"}, {3599.4, "0:59:59"}, {86400.0, "24:00:00"}, {-1.0, "-"}, {NAN, "-"},
      {1e13, "more than 30,000 years"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(DurationText(seconds), text) << seconds;
}

}  // namespace
