// The pilot flown in a simulated world, with its own copy of the sequencing
// standing in for the module's display: take-off, legs, landing, driving,
// waiting for the route, and leaving a loop.
#include "simulator/pilot.h"

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "simhost/sim_host.h"
#include "geodesy/angles.h"
#include "geodesy/body_constants.h"
#include "geodesy/great_circle.h"
#include "tests/support/standard_world.h"

namespace simulator {
namespace {

constexpr double kRadius = test_support::kEarthRadiusMetres;
constexpr double kDt = 0.1;
constexpr double kRadPerDeg = geodesy::kRadiansPerDegree;

geodesy::LatLon Geo(const simhost::LatLon& at) { return {at.latitudeRad, at.longitudeRad}; }

// A local plane around 52 N 10 E, in kilometres east and north.
simhost::LatLon At(double eastKm, double northKm) {
  const double lat = 52.0 * kRadPerDeg + northKm * 1000.0 / kRadius;
  return {lat, 10.0 * kRadPerDeg + eastKm * 1000.0 / (kRadius * std::cos(52.0 * kRadPerDeg))};
}

Waypoint Wp(TaskKind task, double eastKm, double northKm, double radius, double altitude = 0.0, double speed = 0.0) {
  Waypoint w;
  const simhost::LatLon p = At(eastKm, northKm);
  w.latitude = p.latitudeRad;
  w.longitude = p.longitudeRad;
  w.task = task;
  w.acceptRadius = radius;
  w.altitude = altitude;
  w.speed = speed;
  return w;
}

double HeightOf(const simhost::Vessel& v) {
  return v.altitudeMetres + std::min({v.touchdown[0].y, v.touchdown[1].y, v.touchdown[2].y});
}

bool Has(const Pilot& pilot, const std::string& milestone) {
  for (const auto& m : pilot.Milestones())
    if (m.second == milestone) return true;
  return false;
}

class PilotFlight : public ::testing::Test {
 protected:
  void SetUp() override {
    earth_ = &test_support::StartStandardWorld();
    field_ = &simhost::host().AddBase(*earth_, "Field", At(0.0, 0.0));
  }
  void TearDown() override { simhost::host().Reset(); }

  // Touchdown points 2 m below the centre; height 0 stands on the ground.
  simhost::Vessel& VesselAt(double eastKm, double northKm, double headingDeg, double heightMetres, double speed) {
    simhost::VesselSpec vesselSpec;
    vesselSpec.name = "V" + std::to_string(simhost::host().Vessels().size());
    vesselSpec.body = earth_;
    vesselSpec.position = At(eastKm, northKm);
    vesselSpec.headingRad = headingDeg * kRadPerDeg;
    vesselSpec.altitudeMetres = 2.0 + heightMetres;
    vesselSpec.airspeed = speed;
    return simhost::host().AddVessel(vesselSpec);
  }

  // The pilot's own copy plays the module: what it holds is what the
  // display shows.
  static ModuleRouteView OwnView(const Pilot& pilot) {
    return pilot.OwnHistory().empty() ? ModuleRouteView{} : pilot.OwnHistory().back().route;
  }

  void Start(Pilot& pilot) { pilot.Observe({pilot.Route().size(), 0}, 0.0); }

  // Flies step by step until `done` holds or the time is up; `each` sees
  // every step.
  void FlyUntil(Pilot& pilot, double seconds, const std::function<bool()>& done,
                const std::function<void()>& each = [] {}) {
    for (int step = 1; step <= static_cast<int>(seconds / kDt); ++step) {
      now_ += kDt;
      pilot.Fly(kDt, now_);
      pilot.SequenceOwnCopy(now_);
      pilot.Observe(OwnView(pilot), now_);
      each();
      if (done()) return;
    }
  }

  simhost::Body* earth_ = nullptr;
  simhost::Base* field_ = nullptr;
  double now_ = 0.0;
};

TEST_F(PilotFlight, TakeOffRollLiftsOffAtRotateSpeedAndClimbsPastTheTakeoffHeight) {
  simhost::Vessel& plane = VesselAt(-1.5, 0.0, 90.0, 0.0, 0.0);
  const simhost::LatLon start = plane.position;
  Pilot pilot(plane, {Wp(Takeoff, 0.0, 0.0, 0.0), Wp(Turn, 10.0, 0.0, 1500.0, 900.0, 110.0)}, PilotSettings{});
  Start(pilot);

  FlyUntil(pilot, 60.0, [&] { return Has(pilot, "lifted off"); });
  ASSERT_TRUE(Has(pilot, "lifted off"));
  // 70 m/s at 2.5 m/s^2: v^2 / 2a = 980 m, straight along the runway.
  EXPECT_NEAR(geodesy::DistanceMetres(Geo(start), Geo(plane.position), kRadius), 980.0, 10.0);
  EXPECT_DOUBLE_EQ(plane.headingRad, 90.0 * kRadPerDeg);
  EXPECT_EQ(plane.landedBase, nullptr);

  FlyUntil(pilot, 60.0, [&] { return OwnView(pilot).current == 1u; });
  ASSERT_EQ(OwnView(pilot).current, 1u);
  // The take-off waypoint (radius 0) passes in the first step above 20 m.
  EXPECT_GT(HeightOf(plane), 20.0);
  EXPECT_LE(HeightOf(plane), 20.0 + PilotSettings{}.climbRate * kDt + 1e-9);
}

TEST_F(PilotFlight, LegsTurnNoFasterThanTheTurnRateAndEndTheRoute) {
  simhost::Vessel& plane = VesselAt(0.0, 0.0, 0.0, 1000.0, 120.0);
  // The first point lies behind on the right: a long turn.
  Pilot pilot(plane, {Wp(Turn, 6.0, -6.0, 1500.0, 1200.0, 120.0), Wp(Turn, 14.0, 6.0, 1500.0, 800.0, 100.0)},
              PilotSettings{});
  Start(pilot);
  double heading = plane.headingRad;
  double fastestTurnRad = 0.0;
  FlyUntil(
      pilot, 600.0, [&] { return OwnView(pilot).waypointCount == 0; },
      [&] {
        fastestTurnRad = std::max(fastestTurnRad, std::abs(geodesy::WrapToPi(plane.headingRad - heading)));
        heading = plane.headingRad;
      });
  EXPECT_EQ(OwnView(pilot).waypointCount, 0u);  // the last TURN ends the route
  EXPECT_LE(fastestTurnRad, 3.0 * kRadPerDeg * kDt + 1e-9);
  EXPECT_GT(fastestTurnRad, 3.0 * kRadPerDeg * kDt * 0.99);  // and it did turn at the rate
  EXPECT_NEAR(plane.altitudeMetres, 2.0 + 800.0, 50.0);
}

TEST_F(PilotFlight, LandingTouchesDownAndRollsToRestWithHeightAndAirspeedExactlyZero) {
  simhost::Vessel& plane = VesselAt(0.0, 10.0, 180.0, 600.0, 80.0);
  const Waypoint landing = Wp(Land, 0.0, 0.0, 1200.0);
  Pilot pilot(plane, {landing}, PilotSettings{});
  Start(pilot);
  double lowestInFlight = 1e9;
  FlyUntil(
      pilot, 400.0, [&] { return Has(pilot, "at rest"); },
      [&] {
        if (!Has(pilot, "touched down")) lowestInFlight = std::min(lowestInFlight, HeightOf(plane));
      });
  ASSERT_TRUE(Has(pilot, "touched down"));
  ASSERT_TRUE(Has(pilot, "at rest"));
  EXPECT_GT(lowestInFlight, 0.0);
  EXPECT_EQ(HeightOf(plane), 0.0);
  EXPECT_EQ(plane.airspeed, 0.0);
  EXPECT_LE(geodesy::DistanceMetres(Geo(plane.position), {landing.latitude, landing.longitude}, kRadius), landing.acceptRadius);
  EXPECT_EQ(plane.landedBase, field_);
  EXPECT_EQ(OwnView(pilot).current, 0u);  // a last LAND waypoint holds
}

TEST_F(PilotFlight, GroundVesselDrivesToItsTurnPointsAndStopsWhenTheRouteEnds) {
  simhost::Vessel& tug = VesselAt(0.0, 0.0, 90.0, 0.0, 0.0);
  PilotSettings settings;
  settings.turnRateDegPerSecond = 20.0;
  Pilot pilot(tug, {Wp(Turn, 0.5, 0.0, 50.0, 0.0, 10.0), Wp(Turn, 0.5, 0.5, 50.0, 0.0, 10.0)}, settings);
  Start(pilot);
  FlyUntil(pilot, 300.0, [&] { return Has(pilot, "at rest"); });
  EXPECT_EQ(OwnView(pilot).waypointCount, 0u);
  EXPECT_EQ(tug.airspeed, 0.0);
  EXPECT_EQ(HeightOf(tug), 0.0);  // never left the ground
  EXPECT_FALSE(Has(pilot, "lifted off"));
}

TEST_F(PilotFlight, WaitsOnTheGroundUntilTheModuleShowsItsRoute) {
  simhost::Vessel& plane = VesselAt(-1.5, 0.0, 90.0, 0.0, 0.0);
  const simhost::LatLon start = plane.position;
  Pilot pilot(plane, {Wp(Takeoff, 0.0, 0.0, 0.0), Wp(Turn, 10.0, 0.0, 1500.0, 900.0, 110.0)}, PilotSettings{});
  for (double t = kDt; t < 30.0; t += kDt) {
    pilot.Fly(kDt, t);
    pilot.Observe({0, std::nullopt}, t);  // the display shows no route yet
  }
  EXPECT_FALSE(pilot.Started());
  EXPECT_EQ(plane.position.latitudeRad, start.latitudeRad);
  EXPECT_EQ(plane.position.longitudeRad, start.longitudeRad);
  pilot.Observe({2, 0}, 30.0);
  EXPECT_TRUE(pilot.Started());
}

TEST_F(PilotFlight, LeavesALoopWithNOnceItsLapsAreFlown) {
  simhost::Vessel& plane = VesselAt(0.0, 0.0, 0.0, 1000.0, 120.0);
  const WaypointList route = {Wp(Takeoff, 0, 0, 0), Wp(Turn, 5, 0, 1000), Wp(Turn, 5, 5, 1000), Wp(Loop, 0, 5, 1000),
                              Wp(Turn, 0, 9, 1000), Wp(Land, 0, 0, 1000)};
  Pilot pilot(plane, route, PilotSettings{});  // two laps
  double t = 0.0;
  auto show = [&](std::size_t current) { pilot.Observe({route.size(), current}, t += 1.0); };
  for (int lap = 0; lap < 2; ++lap) {
    for (std::size_t i : {0u, 1u, 2u, 3u}) {
      show(i);
      EXPECT_FALSE(pilot.WantsNextWaypoint()) << "lap " << lap << " at " << i;
    }
  }
  show(0);  // the second jump back
  show(1);
  show(2);
  EXPECT_FALSE(pilot.WantsNextWaypoint());
  show(3);
  EXPECT_TRUE(pilot.WantsNextWaypoint());
  const double pressedAt = t;
  pilot.NextWaypointPressed(pressedAt);
  EXPECT_FALSE(pilot.WantsNextWaypoint());
  show(4);  // N moved on: no lap
  EXPECT_EQ(pilot.Laps().at(3), 2);
  EXPECT_EQ(pilot.NextPresses(), std::vector<double>{pressedAt});
}

}  // namespace
}  // namespace simulator
