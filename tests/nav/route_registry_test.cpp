#include "nav/route_registry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "nav/surface_geometry.h"
#include "nav_world.h"

namespace {

using namespace navtest;

class RouteRegistryTest : public NavWorld {
 protected:
  void SetUp() override {
    NavWorld::SetUp();
    plane = &simhost::host().AddVessel(Standing("Plane", *earth, {0.1, 0.2}));
    glider = &simhost::host().AddVessel(Standing("Glider", *earth, {0.3, 0.4}));
  }

  static OBJHANDLE HandleOf(simhost::Vessel* v) { return v->iface->GetHandle(); }

  // A whole route, as a load would leave it in a display's copy.
  static void LoadInto(VesselRoute& copy) {
    Waypoint w = WaypointAt({0.5, 0.6}, 1000.0, Land);
    w.description = "Threshold of runway two-seven, long enough to leave the small buffer";
    copy.waypoints = {w, WaypointAt({0.7, 0.8}, 0.0, Takeoff)};
    copy.runways = {Runway{0.1, 0.2, 0.3, 0.4, 0.2, 0.3}};
    copy.currentIndex = 1;
    copy.selectedFile = 3;
    copy.fileCount = 5;
    copy.colorScheme = 4;
  }

  simhost::Vessel* plane = nullptr;
  simhost::Vessel* glider = nullptr;
};

void ExpectDisplayState(const DisplayState& d, std::uint32_t id, std::int32_t page, double scale, std::uint32_t range) {
  EXPECT_EQ(d.displayId, id);
  EXPECT_EQ(d.page, page);
  EXPECT_EQ(d.scale, scale);
  EXPECT_EQ(d.range, range);
}

TEST_F(RouteRegistryTest, FirstPullCreatesAnEmptyRecordForTheFocusVessel) {
  VesselRoute copy;
  copy.colorScheme = 3;  // stale content of the private copy is replaced
  PullRoute(7, 400, copy);

  ASSERT_EQ(vesselRoutes.size(), 1u);
  for (const VesselRoute* r : {&vesselRoutes[0], &copy}) {
    EXPECT_TRUE(r->waypoints.empty());
    EXPECT_TRUE(r->runways.empty());
    EXPECT_EQ(r->currentIndex, 0u);
    EXPECT_EQ(r->vessel, plane->iface.get());
    EXPECT_EQ(r->vesselHandle, HandleOf(plane));
    EXPECT_EQ(r->selectedFile, 0u);
    EXPECT_EQ(r->fileCount, 0u);
    EXPECT_EQ(r->colorScheme, 0);
    ASSERT_EQ(r->displays.size(), 1u);
    ExpectDisplayState(r->displays[0], 7, 0, 0.2, 2000);
  }
}

TEST_F(RouteRegistryTest, TwoDisplaysShareTheRouteAndKeepTheirOwnPages) {
  VesselRoute first;
  VesselRoute second;
  PullRoute(1, 400, first);
  PullRoute(2, 300, second);
  ASSERT_EQ(vesselRoutes.size(), 1u);
  ASSERT_EQ(vesselRoutes[0].displays.size(), 2u);
  ExpectDisplayState(vesselRoutes[0].displays[0], 1, 0, 0.2, 2000);
  ExpectDisplayState(vesselRoutes[0].displays[1], 2, 0, 0.15, 2000);

  PullRoute(1, 400, first);  // a key on the first display: load and zoom
  LoadInto(first);
  first.displays[0].page = 2;
  first.displays[0].range = 4000;
  PushRoute(1, first);

  PullRoute(2, 300, second);  // the second display's next redraw
  EXPECT_EQ(second.waypoints.size(), 2u);
  EXPECT_EQ(second.waypoints[0].description, first.waypoints[0].description);
  EXPECT_EQ(second.colorScheme, 4);
  ExpectDisplayState(second.displays[0], 1, 2, 0.2, 4000);
  ExpectDisplayState(second.displays[1], 2, 0, 0.15, 2000);
}

TEST_F(RouteRegistryTest, ReopenedDisplayFindsItsOwnState) {
  VesselRoute copy;
  PullRoute(5, 400, copy);
  copy.displays[0].page = 1;
  PushRoute(5, copy);

  VesselRoute reopened;  // a new display object for the same display
  PullRoute(5, 400, reopened);
  ASSERT_EQ(reopened.displays.size(), 1u);
  EXPECT_EQ(reopened.displays[0].page, 1);
}

TEST_F(RouteRegistryTest, FocusChangeSwitchesEveryDisplayToTheNewVesselsRecord) {
  VesselRoute copy;
  PullRoute(1, 400, copy);
  LoadInto(copy);
  PushRoute(1, copy);

  simhost::host().SetFocus(*glider);
  PullRoute(1, 400, copy);
  ASSERT_EQ(vesselRoutes.size(), 2u);
  EXPECT_EQ(vesselRoutes[1].vesselHandle, HandleOf(glider));
  EXPECT_EQ(copy.vesselHandle, HandleOf(glider));
  EXPECT_TRUE(copy.waypoints.empty());

  simhost::host().SetFocus(*plane);
  PullRoute(1, 400, copy);
  EXPECT_EQ(copy.vesselHandle, HandleOf(plane));
  EXPECT_EQ(copy.waypoints.size(), 2u);
}

TEST_F(RouteRegistryTest, PushCopiesTheWholeRecordBack) {
  VesselRoute copy;
  PullRoute(1, 400, copy);
  LoadInto(copy);
  PushRoute(1, copy);

  const VesselRoute& stored = vesselRoutes[0];
  ASSERT_EQ(stored.waypoints.size(), 2u);
  EXPECT_EQ(stored.waypoints[0].description, copy.waypoints[0].description);
  EXPECT_EQ(stored.waypoints[1].task, Takeoff);
  ASSERT_EQ(stored.runways.size(), 1u);
  EXPECT_EQ(stored.runways[0].centerLongitude, 0.3);
  EXPECT_EQ(stored.currentIndex, 1u);
  EXPECT_EQ(stored.selectedFile, 3u);
  EXPECT_EQ(stored.fileCount, 5u);
  EXPECT_EQ(stored.colorScheme, 4);

  copy.waypoints[0].description = "changed";  // no sharing with the registry
  EXPECT_NE(stored.waypoints[0].description, "changed");
}

TEST_F(RouteRegistryTest, PushWithoutAStateForTheDisplayOrARecordChangesNothing) {
  VesselRoute copy;
  PullRoute(1, 400, copy);
  LoadInto(copy);
  PushRoute(2, copy);  // display 2 never pulled this vessel's record
  EXPECT_TRUE(vesselRoutes[0].waypoints.empty());

  simhost::host().SetFocus(*glider);  // no record for the glider
  PushRoute(1, copy);
  ASSERT_EQ(vesselRoutes.size(), 1u);
  EXPECT_TRUE(vesselRoutes[0].waypoints.empty());
}

TEST_F(RouteRegistryTest, AfterClearRoutesTheNextPullStartsAfresh) {
  VesselRoute copy;
  PullRoute(1, 400, copy);
  LoadInto(copy);
  PushRoute(1, copy);
  ClearRoutes();
  EXPECT_TRUE(vesselRoutes.empty());

  PullRoute(1, 400, copy);
  ASSERT_EQ(vesselRoutes.size(), 1u);
  EXPECT_TRUE(copy.waypoints.empty());
  EXPECT_EQ(copy.colorScheme, 0);
}

TEST_F(RouteRegistryTest, ForgetVesselDropsOnlyThatVesselsRecord) {
  simhost::Vessel& rover = simhost::host().AddVessel(Standing("Rover", *moon, {0.0, 0.0}));
  AddRoute(*plane, {});
  AddRoute(*glider, {});
  AddRoute(rover, {});

  ForgetVessel(HandleOf(glider));
  ASSERT_EQ(vesselRoutes.size(), 2u);
  EXPECT_EQ(vesselRoutes[0].vesselHandle, HandleOf(plane));
  EXPECT_EQ(vesselRoutes[1].vesselHandle, HandleOf(&rover));

  ForgetVessel(HandleOf(glider));  // no record: nothing happens
  EXPECT_EQ(vesselRoutes.size(), 2u);
}

}  // namespace

namespace navtest {
namespace {

// With no vessel left in the world the host has no focus to give: the
// registry, the distances and the per-step advance do without one.
class WithoutFocusVessel : public NavWorld {};

TEST_F(WithoutFocusVessel, DisplaysGetAnEmptyCopyThatBelongsToNoVessel) {
  VesselRoute copy;
  copy.waypoints.resize(2);
  PullRoute(7, 400, copy);
  EXPECT_TRUE(copy.waypoints.empty());
  EXPECT_EQ(copy.vessel, nullptr);
  ASSERT_EQ(copy.displays.size(), 1u);
  EXPECT_EQ(copy.displays[0].displayId, 7u);
  copy.waypoints.resize(3);
  PushRoute(7, copy);
  EXPECT_TRUE(vesselRoutes.empty());
}

TEST_F(WithoutFocusVessel, DistancesAreNoNumberAndNothingIsReached) {
  EXPECT_TRUE(std::isnan(DistanceFromFocus(0.1, 0.2)));
  EXPECT_TRUE(std::isnan(SurfaceDistance(0.1, 0.2, 0.3, 0.4)));
  VesselRoute orphan;  // a record whose vessel the host no longer has
  orphan.waypoints = {WaypointAt({0.1, 0.2}, 1.0e9), WaypointAt({0.3, 0.4}, 1.0e9)};
  vesselRoutes.push_back(orphan);
  StepRoutes();
  EXPECT_EQ(vesselRoutes[0].currentIndex, 0u);
}

}  // namespace
}  // namespace navtest
