// The eight keys on the three pages: page changes, zoom, colour schemes,
// waypoint and file stepping, clearing; each key pulls, works and pushes.
#include "mfd_test_support.h"

namespace mfdtest {
namespace {

class KeysTest : public MfdTest {
 protected:
  // A display whose vessel's record holds n waypoints, the current one at index.
  TarvikMFD& DisplayWithWaypoints(std::size_t n, std::uint32_t index) {
    display = std::make_unique<TarvikMFD>(256, 400, vessel->iface.get(), 7);
    vesselRoutes.front().waypoints.resize(n);
    vesselRoutes.front().currentIndex = index;
    return *display;
  }
  const DisplayState& Stored() const { return Record().displays.front(); }

  TempWorkingDirectory folder;  // listings look here, and find no route folder
  std::unique_ptr<TarvikMFD> display;
};

struct PageStep {
  DisplayPage from;
  DWORD key;
  DisplayPage to;
};

TEST_F(KeysTest, PagesFollowSAndL) {
  const PageStep steps[] = {
      {Graphical, keys::S, List},       {Graphical, keys::L, FileSelect}, {List, keys::S, Graphical},
      {List, keys::L, FileSelect},      {FileSelect, keys::S, List},      {FileSelect, keys::L, List},
      {Graphical, keys::P, Graphical},  {FileSelect, keys::N, FileSelect}, {List, keys::D, List},
      {List, keys::C, List},            {Graphical, 0x10, Graphical},     {FileSelect, keys::KeypadPlus, FileSelect},
  };
  for (const PageStep& step : steps) {
    SCOPED_TRACE(testing::Message() << "page " << step.from << " key " << step.key);
    TarvikMFD& d = DisplayWithWaypoints(0, 0);
    vesselRoutes.front().displays.front().page = step.from;
    const int invalidated = simhost::host().invalidateButtonsCalls;
    EXPECT_FALSE(d.ConsumeKeyQueued(step.key));
    EXPECT_EQ(Stored().page, step.to);
    EXPECT_EQ(simhost::host().invalidateButtonsCalls, invalidated + 1);
  }
}

TEST_F(KeysTest, NewDisplayStartsOnTheMapAt2000Metres) {
  TarvikMFD& d = DisplayWithWaypoints(0, 0);
  EXPECT_EQ(d.State().page, Graphical);
  EXPECT_EQ(d.State().range, 2000u);
  EXPECT_EQ(d.centerX, 128);
  EXPECT_EQ(d.centerY, 400 - 133);
  EXPECT_STREQ(d.fontFace, kFontFace);
  EXPECT_TRUE(d.routeFiles.empty());
  EXPECT_TRUE(d.errorText.empty());
}

TEST_F(KeysTest, ZoomHalvesDownTo250AndDoublesUpTo131072000) {
  TarvikMFD& d = DisplayWithWaypoints(0, 0);
  for (std::uint32_t expected : {1000u, 500u, 250u, 250u}) {
    d.ConsumeKeyQueued(keys::KeypadPlus);
    EXPECT_EQ(Stored().range, expected);
    EXPECT_DOUBLE_EQ(Stored().scale, 400.0 / expected);
  }
  vesselRoutes.front().displays.front().range = 65536000;
  for (std::uint32_t expected : {131072000u, 131072000u}) {
    d.ConsumeKeyQueued(keys::KeypadMinus);
    EXPECT_EQ(Stored().range, expected);
  }
}

TEST_F(KeysTest, ZoomKeysOnlyActOnTheMap) {
  for (DisplayPage page : {FileSelect, List}) {
    TarvikMFD& d = DisplayWithWaypoints(0, 0);
    vesselRoutes.front().displays.front().page = page;
    d.ConsumeKeyQueued(keys::KeypadPlus);
    d.ConsumeKeyQueued(keys::KeypadMinus);
    EXPECT_EQ(Stored().range, 2000u);
  }
}

TEST_F(KeysTest, ColourSchemesCycleThroughFive) {
  TarvikMFD& d = DisplayWithWaypoints(0, 0);
  for (std::int32_t expected : {1, 2, 3, 4, 0, 1}) {
    d.ConsumeKeyQueued(keys::C);
    EXPECT_EQ(Record().colorScheme, expected);
  }
}

struct WaypointStep {
  std::size_t count;
  std::uint32_t from;
  DWORD key;
  std::uint32_t to;
};

TEST_F(KeysTest, WaypointSteppingStopsAtBothEnds) {
  const WaypointStep steps[] = {
      {3, 1, keys::P, 0}, {3, 0, keys::P, 0}, {3, 1, keys::N, 2}, {3, 2, keys::N, 2}, {0, 0, keys::N, 0},
  };
  for (DisplayPage page : {Graphical, List}) {
    for (const WaypointStep& step : steps) {
      SCOPED_TRACE(testing::Message() << "page " << page << " from " << step.from << " key " << step.key);
      TarvikMFD& d = DisplayWithWaypoints(step.count, step.from);
      vesselRoutes.front().displays.front().page = page;
      d.ConsumeKeyQueued(step.key);
      EXPECT_EQ(Record().currentIndex, step.to);
    }
  }
}

TEST_F(KeysTest, ClearRouteEmptiesTheWaypointsOnly) {
  TarvikMFD& d = DisplayWithWaypoints(3, 2);
  vesselRoutes.front().runways.resize(1);
  d.ConsumeKeyQueued(keys::D);
  EXPECT_TRUE(Record().waypoints.empty());
  EXPECT_EQ(Record().currentIndex, 2u);
  EXPECT_EQ(Record().runways.size(), 1u);
  d.ConsumeKeyQueued(keys::D);  // nothing left to clear
  EXPECT_TRUE(Record().waypoints.empty());
}

TEST_F(KeysTest, ListingStartsAtTheFirstWaypointEvenWhenTheBrowserIsLeft) {
  TarvikMFD& d = DisplayWithWaypoints(3, 2);
  d.ConsumeKeyQueued(keys::L);
  d.ConsumeKeyQueued(keys::S);
  EXPECT_EQ(Record().currentIndex, 0u);
  EXPECT_EQ(Record().waypoints.size(), 3u);
  EXPECT_EQ(Stored().page, List);
}

TEST_F(KeysTest, UnknownKeyChangesNothingButStillPushes) {
  TarvikMFD& d = DisplayWithWaypoints(3, 1);
  vesselRoutes.front().colorScheme = 2;  // registry changed behind the display's copy
  d.ConsumeKeyQueued(0x10);
  EXPECT_EQ(d.route.colorScheme, 2);
  EXPECT_EQ(Record().currentIndex, 1u);
  EXPECT_EQ(Record().waypoints.size(), 3u);
  EXPECT_EQ(Stored().range, 2000u);
}

TEST_F(KeysTest, ChangesAreDroppedWhenTheRegistryWasClearedMeanwhile) {
  TarvikMFD& d = DisplayWithWaypoints(3, 1);
  ClearRoutes();
  d.ConsumeKeyQueued(keys::C);  // pulls a fresh record and pushes the change into it
  ASSERT_EQ(vesselRoutes.size(), 1u);
  EXPECT_EQ(Record().colorScheme, 1);
  EXPECT_TRUE(Record().waypoints.empty());
}

TEST_F(KeysTest, LabelsFollowThePageTheLastKeyLeft) {
  TarvikMFD& d = DisplayWithWaypoints(0, 0);
  EXPECT_STREQ(d.LabelOfButton(5), "LST");
  d.ConsumeKeyQueued(keys::S);
  EXPECT_STREQ(d.LabelOfButton(5), "GRA");
  // Changing the stored page behind the display's back shows only after its next pull.
  vesselRoutes.front().displays.front().page = Graphical;
  EXPECT_STREQ(d.LabelOfButton(5), "GRA");
}

}  // namespace
}  // namespace mfdtest
