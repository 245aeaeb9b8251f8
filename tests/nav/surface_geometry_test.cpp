#include "nav/surface_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "host/oapi.h"
#include "nav_world.h"

namespace {

using namespace navtest;
using std::numbers::pi;

// Haversine: a second, independent way to the central angle.
double Haversine(double lat1, double lon1, double lat2, double lon2, double radius) {
  const double h = std::pow(std::sin((lat2 - lat1) / 2), 2) +
                   std::cos(lat1) * std::cos(lat2) * std::pow(std::sin((lon2 - lon1) / 2), 2);
  return 2.0 * radius * std::asin(std::sqrt(std::min(1.0, h)));
}

struct DistanceCase {
  std::string name;
  double lat1, lon1, lat2, lon2;
  double expectedMetres;
  double toleranceMetres;
};

class SphereDistanceTest : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(SphereDistanceTest, MatchesTheGreatCircleBothWays) {
  const DistanceCase& c = GetParam();
  const double there = SphereDistance(c.lat1, c.lon1, c.lat2, c.lon2, kEarthRadiusMetres);
  EXPECT_NEAR(there, c.expectedMetres, c.toleranceMetres);
  EXPECT_EQ(there, SphereDistance(c.lat2, c.lon2, c.lat1, c.lon1, kEarthRadiusMetres));
}

const double kHalfCircle = pi * kEarthRadiusMetres;

INSTANTIATE_TEST_SUITE_P(
    Cases, SphereDistanceTest,
    ::testing::Values(DistanceCase{"SamePoint", 0.7, -1.2, 0.7, -1.2, 0.0, 0.0},
                      DistanceCase{"QuarterOfTheEquator", 0.0, 0.0, 0.0, pi / 2, kEarthRadiusMetres * pi / 2, 0.001},
                      DistanceCase{"AntipodesOnTheEquator", 0.0, 0.0, 0.0, pi, kHalfCircle, 1e-6},
                      DistanceCase{"AntipodesOffTheEquator", 0.6, 0.25, -0.6, 0.25 + pi, kHalfCircle, 1e-6},
                      DistanceCase{"AcrossPlusMinusPi", 0.0, -pi + 0.1, 0.0, pi - 0.1, 0.2 * kEarthRadiusMetres,
                                   1e-6},
                      DistanceCase{"LongitudesTwoPiApart", 0.3, -pi, 0.3, pi, 0.0, 1e-6},
                      DistanceCase{"PoleToPole", pi / 2, 0.3, -pi / 2, 2.0, kHalfCircle, 1e-6},
                      DistanceCase{"OnePoleTwoLongitudes", pi / 2, 0.0, pi / 2, 1.0, 0.0, 1e-6},
                      DistanceCase{"Oblique", 0.7, -1.2, -0.3, 2.5, Haversine(0.7, -1.2, -0.3, 2.5, kEarthRadiusMetres),
                                   1e-6}),
    [](const auto& info) { return info.param.name; });

TEST(SphereDistance, IsANumberEverywhereIncludingEveryAntipode) {
  for (double lat = -pi / 2; lat <= pi / 2 + 1e-9; lat += pi / 12) {
    for (double lon = -2 * pi; lon <= 2 * pi + 1e-9; lon += pi / 6) {
      const double toAntipode = SphereDistance(lat, lon, -lat, lon + pi, kEarthRadiusMetres);
      EXPECT_NEAR(toAntipode, kHalfCircle, 1e-6) << lat << " " << lon;
      EXPECT_EQ(SphereDistance(lat, lon, lat, lon, kEarthRadiusMetres), 0.0) << lat << " " << lon;
      const double oblique = SphereDistance(lat, lon, 0.4, -0.9, kEarthRadiusMetres);
      EXPECT_NEAR(oblique, Haversine(lat, lon, 0.4, -0.9, kEarthRadiusMetres), 1e-4) << lat << " " << lon;
    }
  }
}

class FocusDistanceTest : public NavWorld {
 protected:
  void SetUp() override {
    NavWorld::SetUp();
    simhost::VesselSpec vesselSpec = Standing("Plane", *earth, {0.0, 0.0});
    vesselSpec.altitudeMetres = 8000.0;  // plays no part in surface distances
    plane = &simhost::host().AddVessel(vesselSpec);
    rover = &simhost::host().AddVessel(Standing("Rover", *moon, {-0.2, 1.3}));
  }
  simhost::Vessel* plane = nullptr;
  simhost::Vessel* rover = nullptr;
};

TEST_F(FocusDistanceTest, DistanceFromFocusQueriesTheFocusVesselInOrder) {
  simhost::host().traceCalls = true;
  EXPECT_NEAR(DistanceFromFocus(0.0, pi / 2), pi / 2 * kEarthRadiusMetres, 0.001);  // a quarter circle
  EXPECT_EQ(simhost::host().calls, (std::vector<std::string>{"oapiGetFocusInterface", "VESSEL::GetEquPos",
                                                         "VESSEL::GetStatus", "oapiGetSize"}));
}

TEST_F(FocusDistanceTest, SurfaceDistanceUsesOnlyTheFocusBodyRadius) {
  simhost::host().traceCalls = true;
  const double onEarth = SurfaceDistance(0.1, 0.2, 0.3, 0.4);
  EXPECT_EQ(simhost::host().calls,
            (std::vector<std::string>{"oapiGetFocusInterface", "VESSEL::GetStatus", "oapiGetSize"}));
  EXPECT_DOUBLE_EQ(onEarth, Haversine(0.1, 0.2, 0.3, 0.4, kEarthRadiusMetres));

  simhost::host().SetFocus(*rover);
  EXPECT_DOUBLE_EQ(SurfaceDistance(0.1, 0.2, 0.3, 0.4), onEarth * kMoonRadiusMetres / kEarthRadiusMetres);
}

TEST_F(FocusDistanceTest, FocusOnAnotherBodyMeasuresFromThereOnItsRadius) {
  simhost::host().SetFocus(*rover);
  EXPECT_NEAR(DistanceFromFocus(0.1, -0.3), Haversine(-0.2, 1.3, 0.1, -0.3, kMoonRadiusMetres), 1e-6);
}

TEST_F(FocusDistanceTest, DistanceFromVesselUsesThatVesselAndItsBody) {
  simhost::host().traceCalls = true;
  EXPECT_NEAR(DistanceFromVessel(*rover->iface, 0.1, -0.3), Haversine(-0.2, 1.3, 0.1, -0.3, kMoonRadiusMetres),
              1e-6);
  EXPECT_EQ(simhost::host().calls,
            (std::vector<std::string>{"VESSEL::GetEquPos", "VESSEL::GetStatus", "oapiGetSize"}));
}

struct HeightCase {
  double altitudeMetres;
  double y1, y2, y3;
  double expectedMetres;
};

class HeightAboveGroundTest : public NavWorld, public ::testing::WithParamInterface<HeightCase> {};

TEST_P(HeightAboveGroundTest, AddsTheLowestTouchdownPointToTheAltitude) {
  const HeightCase& c = GetParam();
  simhost::VesselSpec vesselSpec = Standing("Plane", *earth, {0.0, 0.0});
  vesselSpec.altitudeMetres = c.altitudeMetres;
  vesselSpec.touchdown = {{{0.0, c.y1, 5.0}, {-2.0, c.y2, -1.0}, {2.0, c.y3, -1.0}}};
  simhost::Vessel& plane = simhost::host().AddVessel(vesselSpec);
  simhost::host().traceCalls = true;
  EXPECT_DOUBLE_EQ(HeightAboveGround(*plane.iface), c.expectedMetres);
  EXPECT_EQ(simhost::host().calls, (std::vector<std::string>{"VESSEL::GetAltitude", "VESSEL::GetTouchdownPoints"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, HeightAboveGroundTest,
                         ::testing::Values(HeightCase{10.0, -2.0, -3.5, -2.0, 6.5},   // gear below the centre
                                           HeightCase{10.0, 1.0, 2.0, 3.0, 11.0},     // points above raise it
                                           HeightCase{0.0, -1.0, -1.0, -1.0, -1.0}));  // no sign is changed

}  // namespace
