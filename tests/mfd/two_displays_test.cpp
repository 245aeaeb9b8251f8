// Two displays of one vessel: each its own page and zoom, both one route,
// one current waypoint, one file selection and one colour scheme.
#include "mfd_test_support.h"

namespace mfdtest {
namespace {

class TwoDisplaysTest : public MfdTest {
 protected:
  TempWorkingDirectory folder;
  void SetUp() override {
    MfdTest::SetUp();
    leftDisplay = std::make_unique<TarvikMFD>(256, 256, vessel->iface.get(), 0);
    rightDisplay = std::make_unique<TarvikMFD>(256, 512, vessel->iface.get(), 1);
  }

  std::unique_ptr<TarvikMFD> leftDisplay;
  std::unique_ptr<TarvikMFD> rightDisplay;
  TarvikMFD& left() { return *leftDisplay; }
  TarvikMFD& right() { return *rightDisplay; }
  TextSketchpad surface;
};

TEST_F(TwoDisplaysTest, OneRecordKeepsAStateForEachDisplay) {
  ASSERT_EQ(vesselRoutes.size(), 1u);
  ASSERT_EQ(Record().displays.size(), 2u);
  EXPECT_EQ(Record().displays[0].displayId, 0u);
  EXPECT_DOUBLE_EQ(Record().displays[1].scale, 512 / 2000.0);

  left().ConsumeKeyQueued(keys::KeypadPlus);
  right().ConsumeKeyQueued(keys::S);
  EXPECT_EQ(Record().displays[0].range, 1000u);
  EXPECT_EQ(Record().displays[0].page, Graphical);
  EXPECT_EQ(Record().displays[1].range, 2000u);
  EXPECT_EQ(Record().displays[1].page, List);
}

TEST_F(TwoDisplaysTest, RouteSchemeAndWaypointAreShared) {
  folder.WriteRoute("a.route", kThreeWaypointRoute);
  left().ConsumeKeyQueued(keys::L);
  left().ConsumeKeyQueued(keys::L);
  right().ConsumeKeyQueued(keys::N);
  right().ConsumeKeyQueued(keys::C);
  left().UpdateSketchpad(&surface);
  EXPECT_EQ(left().route.waypoints.size(), 3u);
  EXPECT_EQ(left().route.currentIndex, 1u);
  EXPECT_EQ(left().brightColor, 0x00FFFFu);
}

TEST_F(TwoDisplaysTest, FileSelectionIsSharedButEachDisplayHasItsOwnNames) {
  folder.WriteRoute("a.route", kOneWaypointRoute);
  right().ConsumeKeyQueued(keys::L);  // right lists one name
  folder.WriteRoute("b.route", kThreeWaypointRoute);
  folder.WriteRoute("c.route", kThreeWaypointRoute);
  left().ConsumeKeyQueued(keys::L);  // left lists three
  for (std::uint32_t expected : {1u, 2u, 0u, 1u}) {
    right().ConsumeKeyQueued(keys::N);  // wraps at the count of left's listing
    EXPECT_EQ(Record().selectedFile, expected);
  }
  right().ConsumeKeyQueued(keys::L);  // selection 1 is not one of right's names
  EXPECT_TRUE(Record().waypoints.empty());
  EXPECT_EQ(right().route.runways.size(), 0u);
  left().ConsumeKeyQueued(keys::L);
  EXPECT_EQ(Record().waypoints.size(), 3u);
}

TEST_F(TwoDisplaysTest, AReopenedDisplayResumesItsPageAndZoom) {
  right().ConsumeKeyQueued(keys::KeypadMinus);
  right().ConsumeKeyQueued(keys::S);
  TarvikMFD reopened(256, 512, vessel->iface.get(), 1);
  EXPECT_EQ(reopened.State().page, List);
  EXPECT_EQ(reopened.State().range, 4000u);
  EXPECT_EQ(Record().displays.size(), 2u);
}

}  // namespace
}  // namespace mfdtest
