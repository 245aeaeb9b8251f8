// What a key or a redraw leaves behind when something fails under it: no
// exception reaches the host, and no pen, font or folder search outlives
// the step.
#include <stdexcept>

#include "mfd_test_support.h"
#include "surfaces/recording_surface.h"

namespace mfdtest {
namespace {

// A drawing surface that fails at its n-th drawing call.
class FailingSurface final : public simhost::RecordingSurface {
 public:
  explicit FailingSurface(int failingCall) : failingCall_(failingCall) {}
  bool Text(int x, int y, const char* str, int len) override {
    Count();
    return RecordingSurface::Text(x, y, str, len);
  }
  void MoveTo(int x, int y) override {
    Count();
    RecordingSurface::MoveTo(x, y);
  }
  void LineTo(int x, int y) override {
    Count();
    RecordingSurface::LineTo(x, y);
  }
  void Line(int x0, int y0, int x1, int y1) override {
    Count();
    RecordingSurface::Line(x0, y0, x1, y1);
  }
  void Rectangle(int x0, int y0, int x1, int y1) override {
    Count();
    RecordingSurface::Rectangle(x0, y0, x1, y1);
  }
  void Ellipse(int x0, int y0, int x1, int y1) override {
    Count();
    RecordingSurface::Ellipse(x0, y0, x1, y1);
  }
  int Calls() const { return calls_; }

 private:
  void Count() {
    if (++calls_ == failingCall_) throw std::runtime_error("drawing failed");
  }
  int failingCall_;
  int calls_ = 0;
};

class FailureTest : public MfdTest {
 protected:
  void SetUp() override {
    MfdTest::SetUp();
    simhost::Body& earth = *simhost::host().Bodies().front();
    simhost::host().AddBase(earth, "Field", vessel->position, {vessel->position});
    display = std::make_unique<TarvikMFD>(256, 256, vessel->iface.get(), 1);
    folder.WriteRoute("circuit.route", kThreeWaypointRoute);
    display->ConsumeKeyQueued(keys::L);
    display->ConsumeKeyQueued(keys::L);  // loaded: three waypoints
  }
  void TearDown() override {
    display.reset();
    MfdTest::TearDown();
  }

  TempWorkingDirectory folder;
  std::unique_ptr<TarvikMFD> display;
};

// Failing at every drawing call of every page in turn: each redraw still
// ends as a redraw, with every pen and label font given back.
TEST_F(FailureTest, RedrawThatFailsAnywhereGivesBackEveryPenAndFont) {
  for (const DisplayPage page : {Graphical, List, FileSelect}) {
    display->State().page = page;
    display->PushRoute();
    FailingSurface whole(0);
    display->UpdateSketchpad(&whole);
    ASSERT_GT(whole.Calls(), 1) << page;
    for (int failing = 1; failing <= whole.Calls(); ++failing) {
      FailingSurface surface(failing);
      bool drawn = false;
      EXPECT_NO_THROW(drawn = display->UpdateSketchpad(&surface)) << page << " call " << failing;
      EXPECT_TRUE(drawn);
      ASSERT_EQ(simhost::host().LivePens(), 0) << page << " call " << failing;
      ASSERT_EQ(simhost::host().LiveFonts(), 0) << page << " call " << failing;
    }
  }
}

// A key under which the host fails is dropped: nothing escapes, the
// vessel's record keeps what it had, and the display goes on with the next
// key.
TEST_F(FailureTest, KeyThatFailsIsDroppedAndTheNextOneWorks) {
  const auto page = [this] { return Record().displays.front().page; };
  ASSERT_EQ(page(), List);
  simhost::host().throwIn = "MFD::InvalidateButtons";
  EXPECT_NO_THROW(display->ConsumeKeyQueued(keys::S));
  EXPECT_EQ(page(), List);
  simhost::host().throwIn.clear();
  display->ConsumeKeyQueued(keys::S);
  EXPECT_EQ(page(), Graphical);
}

}  // namespace
}  // namespace mfdtest

namespace mfdtest {
namespace {

// Once the last vessel is gone the host has no focus vessel: a display
// still open redraws every page and takes keys without touching one.
TEST_F(FailureTest, DisplayOutlivingTheLastVesselDrawsAndTakesKeys) {
  simhost::host().DeleteVessel(*vessel);
  ASSERT_EQ(oapiGetFocusInterface(), nullptr);
  for (const DWORD key : {keys::S, keys::N, keys::P, keys::KeypadPlus, keys::L, keys::L, keys::S})
    EXPECT_NO_THROW(display->ConsumeKeyQueued(key));
  for (const DisplayPage page : {Graphical, List, FileSelect}) {
    display->State().page = page;
    simhost::RecordingSurface surface;
    EXPECT_TRUE(display->UpdateSketchpad(&surface));
    EXPECT_EQ(simhost::host().LivePens(), 0);
    EXPECT_EQ(surface.Lines().front(), "colour 0x00FF00");  // the title at least
  }
}

}  // namespace
}  // namespace mfdtest
