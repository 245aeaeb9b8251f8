#include "route/route_file_reader.h"

#include <gtest/gtest.h>

#include <numbers>
#include <utility>
#include <vector>

#include "tests/route/route_file_reader_fixture.h"

namespace {

using namespace route_reader_test;  // NOLINT(google-build-using-namespace)

// Runway centres across the 180 degree meridian lie halfway along the ends'
// difference taken the shorter way round, within (-180, 180] degrees, for
// ends any number of turns apart; elsewhere they are the plain midpoints to
// the bit.
TEST(RunwayCentreLongitude, TakesTheShorterWayRound) {
  struct Case {
    double end1Deg, end2Deg, centreDeg;
  };
  const std::vector<Case> crossing{
      {179.99, -179.99, 180.0}, {-179.99, 179.99, 180.0}, {350.0, 10.0, 0.0}, {10.0, 350.0, 0.0},
      {-100.0, 460.0, 180.0},   {0.0, 600.0, -60.0},      {-10.0, 700.0, -15.0}, {100.0, -100.0, 180.0},
  };
  for (const Case& c : crossing) {
    const double centre = RunwayCentreLongitude(c.end1Deg * kRad, c.end2Deg * kRad);
    EXPECT_NEAR(centre, c.centreDeg * kRad, 1e-12) << c.end1Deg << " " << c.end2Deg;
    EXPECT_TRUE(centre > -std::numbers::pi && centre <= std::numbers::pi) << centre;
  }
  const std::vector<std::pair<double, double>> notCrossingDeg{
      {-80.6, -80.7}, {179.0, -1.0} /* exactly half round */, {12.5, 12.5}, {400.0, 410.0}, {-190.0, -170.0}};
  for (const auto& [end1Deg, end2Deg] : notCrossingDeg)
    EXPECT_EQ(RunwayCentreLongitude(end1Deg * kRad, end2Deg * kRad), RunwayCentre(end1Deg * kRad, end2Deg * kRad))
        << end1Deg << " " << end2Deg;
}

TEST(RunwayCentreLongitude, ReaderPutsAWaypointOnARunwayAcrossTheMeridianBetweenItsEnds) {
  simhost::host().Reset();
  const TempFile file(Route("179.99 -16.7\n-179.99 -16.8\n", "0 1\n", "RUNWAY 0 LAND 500\n"));
  RouteFileReader reader;
  testing::internal::CaptureStdout();
  const WaypointList route = reader.ParseRouteFile(file.Path());
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(route.size(), 1u);
  EXPECT_EQ(route[0].longitude, std::numbers::pi);
  EXPECT_EQ(reader.GetRunways()[0].centerLongitude, std::numbers::pi);
  EXPECT_EQ(reader.errorText, "");
}

}  // namespace
