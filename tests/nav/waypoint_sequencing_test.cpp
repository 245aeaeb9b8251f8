#include "nav/waypoint_sequencing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "host/oapi.h"
#include "nav/surface_geometry.h"
#include "nav_world.h"

namespace {

using namespace navtest;

constexpr simhost::LatLon kOrigin{0.0, 0.0};
constexpr double kFarMetres = 500000.0;

class SequencingTest : public NavWorld {
 protected:
  void SetUp() override {
    NavWorld::SetUp();
    plane = &simhost::host().AddVessel(Standing("Plane", *earth, kOrigin));
  }

  // A point on the plane's body, metres north of the origin.
  static simhost::LatLon North(double metres) { return Destination(kOrigin, kNorth, metres, kEarthRadiusMetres); }
  static Waypoint Far() { return WaypointAt(North(kFarMetres), 1000.0); }

  simhost::Vessel* plane = nullptr;
};

// The number of the first 100 m step that has flown at least metres.
int FirstStepWithin(double metres) { return static_cast<int>(std::ceil(metres / 100.0)); }

// Fly it and see it sequence: north through three turns 5 km apart.
TEST_F(SequencingTest, TurnsSequenceAsTheVesselFliesThroughThem) {
  const std::size_t at = AddRoute(*plane, {WaypointAt(North(5000), 1050.0), WaypointAt(North(10000), 1050.0),
                                           WaypointAt(North(15000), 1050.0)});
  std::vector<int> stepOfIndexChange;
  std::uint32_t lastIndex = 0;
  for (int step = 1; step <= 200 && !vesselRoutes[at].waypoints.empty(); ++step) {
    FlyStep(*plane, 100.0);
    if (vesselRoutes[at].currentIndex != lastIndex) stepOfIndexChange.push_back(step);
    lastIndex = vesselRoutes[at].currentIndex;
  }
  // A turn is reached on the first 100 m step that ends within its 1050 m;
  // the last one empties the route there and leaves the index on it.
  EXPECT_EQ(stepOfIndexChange, (std::vector<int>{FirstStepWithin(5000.0 - 1050.0), FirstStepWithin(10000.0 - 1050.0)}));
  EXPECT_TRUE(vesselRoutes[at].waypoints.empty());
  EXPECT_EQ(vesselRoutes[at].currentIndex, 2u);
  const double flown = SphereDistance(0.0, 0.0, plane->position.latitudeRad, plane->position.longitudeRad,
                                      kEarthRadiusMetres);
  EXPECT_NEAR(flown, 100.0 * FirstStepWithin(15000.0 - 1050.0), 1e-3);
}

TEST_F(SequencingTest, DistanceEqualToTheRadiusCountsAsReached) {
  const simhost::LatLon target = North(777.0);
  const double d = DistanceFromFocus(target.latitudeRad, target.longitudeRad);
  for (const auto& [radius, expectedIndex] : {std::pair{d, 1u}, std::pair{std::nextafter(d, 0.0), 0u}}) {
    ClearRoutes();
    const std::size_t at = AddRoute(*plane, {WaypointAt(target, radius), Far()});
    StepRoutes();
    EXPECT_EQ(vesselRoutes[at].currentIndex, expectedIndex) << "radius " << radius;
  }
}

struct TaskCase {
  std::string name;
  std::int32_t task;
  double radiusMetres;
  double distanceMetres;  // from the vessel to the waypoint
  double heightMetres;
  double airspeed;
  std::uint32_t expectedIndex;
};

class TaskConditionTest : public SequencingTest, public ::testing::WithParamInterface<TaskCase> {};

TEST_P(TaskConditionTest, MovesOnOnlyWhenTheTaskIsDone) {
  const TaskCase& c = GetParam();
  plane->altitudeMetres = c.heightMetres;  // touchdown points at the centre
  plane->airspeed = c.airspeed;
  const std::size_t at = AddRoute(*plane, {WaypointAt(North(c.distanceMetres), c.radiusMetres, c.task), Far()});
  StepRoutes();
  EXPECT_EQ(vesselRoutes[at].currentIndex, c.expectedIndex);
  EXPECT_EQ(vesselRoutes[at].waypoints.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TaskConditionTest,
    ::testing::Values(TaskCase{"TakeoffInsideAbove20", Takeoff, 5000, 4000, 20.5, 80, 1},
                      TaskCase{"TakeoffInsideAtExactly20", Takeoff, 5000, 4000, 20.0, 80, 0},
                      TaskCase{"TakeoffOutsideAbove20", Takeoff, 5000, 6000, 500, 80, 0},
                      TaskCase{"TakeoffRadius0AnywhereAbove20", Takeoff, 0, kFarMetres, 20.001, 80, 1},
                      TaskCase{"TakeoffRadius0AtExactly20", Takeoff, 0, kFarMetres, 20.0, 80, 0},
                      TaskCase{"LandInsideLowAtRest", Land, 5000, 4000, 19.9, 0, 1},
                      TaskCase{"LandInsideAtExactly20", Land, 5000, 4000, 20.0, 0, 0},
                      TaskCase{"LandInsideStillRolling", Land, 5000, 4000, 0, 0.0001, 0},
                      TaskCase{"LandOutsideAtRest", Land, 5000, 6000, 0, 0, 0},
                      TaskCase{"LandRadius0TouchingDownAnywhere", Land, 0, kFarMetres, 0.00009, 0, 1},
                      TaskCase{"LandRadius0HoveringLow", Land, 0, kFarMetres, 0.0001, 0, 0},
                      TaskCase{"LandRadius0StillRolling", Land, 0, kFarMetres, 0, 0.0001, 0},
                      TaskCase{"TurnRadius0NotExactlyThere", Turn, 0, 0.001, 0, 0, 0},
                      TaskCase{"TurnRadius0ExactlyThere", Turn, 0, 0, 0, 0, 1},
                      TaskCase{"UnknownTaskInside", 7, 5000, 0, 0, 0, 0},
                      TaskCase{"UnknownTaskRadius0", 7, 0, 0, 0, 0, 0}),
    [](const auto& info) { return info.param.name; });

TEST_F(SequencingTest, TakeoffWithRadius0MovesOnOnceClimbedAbove20Metres) {
  plane->touchdown = {{{0.0, -2.0, 5.0}, {-2.0, -2.0, -1.0}, {2.0, -2.0, -1.0}}};
  plane->airspeed = 60.0;
  const std::size_t at = AddRoute(*plane, {WaypointAt(North(kFarMetres), 0.0, Takeoff), Far()});
  int climbedTo = 0;
  for (int altitude = 0; altitude <= 40 && vesselRoutes[at].currentIndex == 0; ++altitude) {
    climbedTo = altitude;
    plane->altitudeMetres = altitude;
    StepRoutes();
  }
  EXPECT_EQ(climbedTo, 23);  // the gear is 2 m down: 21 m above ground, not 20
}

TEST_F(SequencingTest, ZeroRadiusTestAppliesToTheWaypointCurrentAfterTheRadiusTest) {
  // Standing exactly on a zero-radius turn followed by a zero-radius landing:
  // both are passed in one step.
  const std::size_t at =
      AddRoute(*plane, {WaypointAt(kOrigin, 0.0, Turn), WaypointAt(North(kFarMetres), 0.0, Land), Far()});
  StepRoutes();
  EXPECT_EQ(vesselRoutes[at].currentIndex, 2u);

  // With a radius the first turn is passed, but the landing waits a step.
  vesselRoutes[at].currentIndex = 0;
  vesselRoutes[at].waypoints[0].acceptRadius = 10.0;
  StepRoutes();
  EXPECT_EQ(vesselRoutes[at].currentIndex, 1u);
}

TEST_F(SequencingTest, LastTakeoffOrLandHoldsForEver) {
  for (std::int32_t task : {Takeoff, Land}) {
    ClearRoutes();
    plane->altitudeMetres = task == Takeoff ? 100.0 : 0.0;
    const std::size_t at = AddRoute(*plane, {Far(), WaypointAt(kOrigin, 0.0, task)});
    vesselRoutes[at].currentIndex = 1;
    for (int step = 0; step < 5; ++step) StepRoutes();
    EXPECT_EQ(vesselRoutes[at].currentIndex, 1u) << task;
    EXPECT_EQ(vesselRoutes[at].waypoints.size(), 2u) << task;
  }
}

// Fly it: north through two turns to a loop back to the first, then south
// again into the first turn.
TEST_F(SequencingTest, LoopSendsTheRouteBackToItsTarget) {
  const std::size_t at = AddRoute(*plane, {WaypointAt(North(5000), 1050.0), WaypointAt(North(10000), 1050.0),
                                           WaypointAt(North(15000), 1050.0, Loop, 0)});
  for (int step = 0; step < 140; ++step) FlyStep(*plane, 100.0);
  EXPECT_EQ(vesselRoutes[at].currentIndex, 0u);
  EXPECT_EQ(vesselRoutes[at].waypoints.size(), 3u);

  plane->headingRad = kSouth;
  int steps = 0;
  while (vesselRoutes[at].currentIndex == 0 && steps < 200) {
    FlyStep(*plane, 100.0);
    ++steps;
  }
  // Back from 140 steps north to within 1050 m of the first turn.
  EXPECT_EQ(steps, FirstStepWithin(140 * 100.0 - (5000.0 + 1050.0)));
  EXPECT_EQ(vesselRoutes[at].currentIndex, 1u);
}

TEST_F(SequencingTest, LoopTargetOutsideTheListHoldsAtTheLoop) {
  for (std::int32_t target : {-1, 3, 100, INT_MIN, 2}) {
    ClearRoutes();
    const std::size_t at = AddRoute(*plane, {Far(), Far(), WaypointAt(kOrigin, 1000.0, Loop, target)});
    vesselRoutes[at].currentIndex = 2;
    StepRoutes();
    EXPECT_EQ(vesselRoutes[at].currentIndex, 2u) << target;
  }
}

TEST_F(SequencingTest, IndexOutsideTheListLeavesTheRouteAlone) {
  const std::size_t at = AddRoute(*plane, {WaypointAt(kOrigin, 1000.0), Far()});
  vesselRoutes[at].currentIndex = 2;
  simhost::host().traceCalls = true;
  StepRoutes();
  EXPECT_EQ(vesselRoutes[at].currentIndex, 2u);
  EXPECT_TRUE(simhost::host().calls.empty());
}

// The host calls of a step are named, not ordered: what counts is that a
// step asks for the route vessel's height and airspeed and the distance,
// and nothing else.
TEST_F(SequencingTest, OneStepAsksOnlyForHeightAirspeedAndDistance) {
  const std::vector<std::string> distance{"oapiGetFocusInterface", "VESSEL::GetEquPos", "VESSEL::GetStatus",
                                          "oapiGetSize"};
  std::vector<std::string> focusRoute{"VESSEL::GetAltitude", "VESSEL::GetTouchdownPoints", "VESSEL::GetAirspeed"};
  focusRoute.insert(focusRoute.end(), distance.begin(), distance.end());

  AddRoute(*plane, {});  // empty: nothing is asked
  simhost::host().traceCalls = true;
  StepRoutes();
  EXPECT_TRUE(simhost::host().calls.empty());

  vesselRoutes[0].waypoints = {Far()};
  StepRoutes();
  EXPECT_THAT(simhost::host().calls, ::testing::UnorderedElementsAreArray(focusRoute));

  simhost::host().calls.clear();
  vesselRoutes[0].vessel = nullptr;
  StepRoutes();
  EXPECT_THAT(simhost::host().calls, ::testing::UnorderedElementsAreArray(distance));
}

class VesselRoutesTest : public SequencingTest {
 protected:
  void SetUp() override {
    SequencingTest::SetUp();
    // The focus stays on the plane at the origin, far from the others.
    glider = &simhost::host().AddVessel(Standing("Glider", *earth, {0.3, 0.3}));
    rover = &simhost::host().AddVessel(Standing("Rover", *moon, {-0.2, 1.0}));
  }
  simhost::Vessel* glider = nullptr;
  simhost::Vessel* rover = nullptr;
};

TEST_F(VesselRoutesTest, EachRouteMeasuresFromItsOwnVesselOnItsOwnBody) {
  const auto near = [](simhost::Vessel& v, double metres) {
    return WaypointAt(Destination(v.position, kEast, metres, v.body->radiusMetres), 1000.0);
  };
  const std::size_t planeAt = AddRoute(*plane, {near(*plane, 900), Far()});
  const std::size_t gliderAt = AddRoute(*glider, {near(*glider, 900), near(*plane, 0)});
  // 900 m on the Moon is 0.00052 rad: 3300 m at the Earth's radius.
  const std::size_t roverAt = AddRoute(*rover, {near(*rover, 900), near(*rover, 5000)});
  const std::size_t noVesselAt = AddRoute(*plane, {near(*plane, 500), Far()});
  vesselRoutes[noVesselAt].vessel = nullptr;

  StepRoutes();
  EXPECT_EQ(vesselRoutes[planeAt].currentIndex, 1u);
  EXPECT_EQ(vesselRoutes[gliderAt].currentIndex, 1u);
  EXPECT_EQ(vesselRoutes[roverAt].currentIndex, 1u);
  EXPECT_EQ(vesselRoutes[noVesselAt].currentIndex, 1u);  // from the focus

  // The glider's next waypoint is where the focus vessel stands, far from
  // the glider itself: not reached.
  StepRoutes();
  EXPECT_EQ(vesselRoutes[gliderAt].currentIndex, 1u);
  EXPECT_EQ(vesselRoutes[gliderAt].waypoints.size(), 2u);
}

TEST_F(VesselRoutesTest, RecordsAdvanceInTheSameStepEachWithItsOwnHeight) {
  glider->altitudeMetres = 300.0;
  const Waypoint takeoff = WaypointAt(kOrigin, 0.0, Takeoff);
  const std::size_t planeAt = AddRoute(*plane, {takeoff, Far()});
  const std::size_t gliderAt = AddRoute(*glider, {takeoff, Far()});
  StepRoutes();
  EXPECT_EQ(vesselRoutes[planeAt].currentIndex, 0u);  // still on the ground
  EXPECT_EQ(vesselRoutes[gliderAt].currentIndex, 1u);
}

TEST_F(VesselRoutesTest, RecordWithoutAVesselLandsInTheFirstStep) {
  const std::size_t at = AddRoute(*plane, {WaypointAt(North(kFarMetres), 0.0, Land), Far()});
  vesselRoutes[at].vessel = nullptr;
  StepRoutes();
  EXPECT_EQ(vesselRoutes[at].currentIndex, 1u);
}

// The module's deletion callback, as the host calls it before destroying a vessel.
struct DeletionListener : oapi::Module {
  DeletionListener() : oapi::Module(nullptr) { oapiRegisterModule(this); }
  void clbkDeleteVessel(OBJHANDLE vessel) override { ForgetVessel(vessel); }
};

TEST_F(VesselRoutesTest, DeletedVesselIsNeverTouchedAgainAndTheOthersFlyOn) {
  DeletionListener listener;
  const Waypoint takeoff = WaypointAt(kOrigin, 0.0, Takeoff);
  AddRoute(*glider, {takeoff, Far()});
  AddRoute(*plane, {WaypointAt(North(5000), 1000.0), Far()});
  AddRoute(*rover, {takeoff, Far()});
  const OBJHANDLE roverHandle = rover->iface->GetHandle();

  simhost::host().DeleteVessel(*glider);  // its interface is freed: any use shows under ASan
  simhost::host().DeleteVessel(*plane);   // the focus passes to the rover
  ASSERT_EQ(vesselRoutes.size(), 1u);
  EXPECT_EQ(vesselRoutes[0].vesselHandle, roverHandle);

  rover->altitudeMetres = 50.0;
  simhost::host().traceCalls = true;
  StepRoutes();
  EXPECT_EQ(vesselRoutes[0].currentIndex, 1u);
  EXPECT_EQ(simhost::host().calls.size(), 7u);  // one route's height, airspeed and distance
}

}  // namespace
