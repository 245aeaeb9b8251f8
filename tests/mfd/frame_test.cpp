// The redraw frame around the pages: debug-line notice, title, colours,
// pens that live only during the redraw, and the display state it stores.
#include <cstring>

#include "mfd_test_support.h"

namespace mfdtest {
namespace {

constexpr const char* kNotice = "ERROR PARSING TARVIK MFD ROUTE FILE! SEE ORBITER LOG FILE...";

class FrameTest : public MfdTest {
 protected:
  void SetUp() override {
    MfdTest::SetUp();
    displayObject = std::make_unique<TarvikMFD>(256, 300, vessel->iface.get(), 3);
  }

  std::unique_ptr<TarvikMFD> displayObject;
  TarvikMFD& display() { return *displayObject; }
  TextSketchpad surface;
};

TEST_F(FrameTest, NoticeShowsOnlyForAnErrorOfTwoOrMoreCharacters) {
  struct Case {
    const char* errorText;
    const char* debugLine;
  };
  for (const Case& c : {Case{"", ""}, Case{"x", ""}, Case{"xy", kNotice}, Case{"Missing section", kNotice}}) {
    std::strcpy(oapiDebugString(), "left by someone else");
    display().errorText = c.errorText;
    EXPECT_TRUE(display().UpdateSketchpad(&surface));
    EXPECT_STREQ(simhost::host().DebugLine(), c.debugLine) << "error text \"" << c.errorText << "\"";
  }
}

TEST_F(FrameTest, TitleShowsTheRangeInKilometresOnEveryPage) {
  for (DisplayPage page : {Graphical, FileSelect, List}) {
    vesselRoutes.front().displays.front().page = page;
    vesselRoutes.front().displays.front().range = 4000;
    surface.texts.clear();
    display().UpdateSketchpad(&surface);
    ASSERT_FALSE(surface.texts.empty());
    EXPECT_EQ(surface.texts[0].text, "Tarvik MFD               4.00");
    EXPECT_EQ(surface.texts[0].x, 5);
    EXPECT_EQ(surface.texts[0].y, 0);
    EXPECT_EQ(surface.texts[0].colour, 0x00FF00u);
  }
}

TEST_F(FrameTest, ColoursFollowTheSchemeAndPensLiveOnlyDuringTheRedraw) {
  const DWORD expected[][2] = {{0x005500, 0x00FF00}, {0x005555, 0x00FFFF}, {0x550000, 0xFF0000},
                               {0x000055, 0x0000FF}, {0x555555, 0xFFFFFF}};
  vesselRoutes.front().displays.front().page = List;  // a page that creates no pens of its own
  for (std::int32_t scheme = 0; scheme < 5; ++scheme) {
    vesselRoutes.front().colorScheme = scheme;
    const int created = simhost::host().PensCreated();
    display().UpdateSketchpad(&surface);
    EXPECT_EQ(display().dimColor, expected[scheme][0]);
    EXPECT_EQ(display().brightColor, expected[scheme][1]);
    EXPECT_EQ(simhost::host().PensCreated(), created + 2);
    EXPECT_EQ(simhost::host().LivePens(), 0);
    EXPECT_EQ(display().dimPen, nullptr);
  }
  vesselRoutes.front().displays.front().page = Graphical;
  display().UpdateSketchpad(&surface);
  EXPECT_EQ(simhost::host().LivePens(), 0);
}

// The order is the redraw's stated convention: the route is pulled, the
// notice shown, the pens created at the start and released at the end, the
// route pushed.
TEST_F(FrameTest, StatedRedrawOrderPullNoticePensCreatedAtStartReleasedAtEndPush) {
  vesselRoutes.front().displays.front().page = List;  // no waypoints: the page asks the host nothing
  simhost::host().traceCalls = true;
  display().UpdateSketchpad(&surface);
  std::vector<std::string> frame;
  for (const std::string& call : simhost::host().calls)
    if (call == "oapiGetFocusInterface" || call == "oapiDebugString" || call.find("Pen") != std::string::npos)
      frame.push_back(call);
  EXPECT_EQ(frame, (std::vector<std::string>{"oapiGetFocusInterface", "oapiDebugString", "oapiCreatePen",
                                             "oapiCreatePen", "oapiReleasePen", "oapiReleasePen",
                                             "oapiGetFocusInterface"}));
}

TEST_F(FrameTest, RedrawStoresTheScaleOfTheRange) {
  vesselRoutes.front().displays.front().range = 1000;
  vesselRoutes.front().displays.front().scale = 0.0;
  display().UpdateSketchpad(&surface);
  EXPECT_DOUBLE_EQ(Record().displays.front().scale, 0.3);
}

}  // namespace
}  // namespace mfdtest
