// The binding's own rules, seen from the SDK's side of the bridge: what a
// display of the module's mode asks of the host, and what the host's
// sketchpad, pens and fonts look like after a redraw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "host/oapi.h"
#include "tests/bindings/orbiter_sdk/fake_sdk_side.h"

namespace {

// A display of a mode: draws what the test gives it.
class TestDisplay : public MFD2 {
 public:
  TestDisplay(DWORD w, DWORD h, VESSEL* v) : MFD2(w, h, v) {}
  bool UpdateSketchpad(oapi::Sketchpad* skp) override {
    if (draw) draw(skp);
    return true;
  }
  int MenuOfButtons(const MFDBUTTONMENU** menu) const override {
    static const MFDBUTTONMENU kMenu[] = {{"Previous", "waypoint", 'P'}, {"Load", nullptr, 'L'}};
    if (menu != nullptr) *menu = kMenu;
    return 2;
  }
  bool ConsumeKeyQueued(DWORD key) override {
    lastKey = key;
    InvalidateButtons();
    return true;
  }

  std::function<void(oapi::Sketchpad*)> draw;
  DWORD lastKey = 0;
};

struct Opened {
  UINT msg = 0;
  UINT mfd = 0;
  DWORD w = 0;
  DWORD h = 0;
  VESSEL* vessel = nullptr;
};
Opened opened;
TestDisplay* lastDisplay = nullptr;

OAPI_MSGTYPE ModeProc(UINT msg, UINT mfd, WPARAM wparam, LPARAM lparam) {
  if (msg != OAPI_MSG_MFD_OPENEDEX) return 0;
  const auto* open = reinterpret_cast<const MFDMODEOPENSPEC*>(wparam);
  opened = {msg, mfd, open->w, open->h, reinterpret_cast<VESSEL*>(lparam)};
  lastDisplay = new TestDisplay(open->w, open->h, opened.vessel);
  return reinterpret_cast<OAPI_MSGTYPE>(static_cast<MFD*>(lastDisplay));
}

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_sdk::Reset();
    MFDMODESPECEX modeSpec{"TestMode", 0x11, nullptr, ModeProc};
    modeId_ = oapiRegisterMFDMode(modeSpec);
    context_ = fake_sdk::host().lastModeContext;
  }
  void TearDown() override { oapiUnregisterMFDMode(modeId_); }

  // A display opened by the host in the mode, as the SDK side does it.
  std::unique_ptr<sdk_bridge::DisplayHooks> Open(sdk_bridge::Handle hostDisplay = fake_sdk::NewHandle()) {
    return std::unique_ptr<sdk_bridge::DisplayHooks>(
        sdk_bridge::OpenDisplay(context_, 3, 300, 200, vesselHandle_, hostDisplay));
  }

  bool Redraw(sdk_bridge::DisplayHooks& display) {
    fake_sdk::host().activeSketchpad = &pad_;
    const bool drawn = display.Redraw(&pad_);
    fake_sdk::host().activeSketchpad = nullptr;
    return drawn;
  }

  int modeId_ = 0;
  void* context_ = nullptr;
  sdk_bridge::Handle vesselHandle_ = fake_sdk::NewHandle();
  fake_sdk::Sketchpad pad_;
};

// ---- Opening a display --------------------------------------------------------

TEST_F(BindingTest, HostOpeningADisplayAsksTheModesProcedureWithItsSizeNumberAndVessel) {
  const auto display = Open();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(opened.msg, 4u);
  EXPECT_EQ(opened.mfd, 3u);
  EXPECT_EQ(opened.w, 300u);
  EXPECT_EQ(opened.h, 200u);
  ASSERT_NE(opened.vessel, nullptr);
  EXPECT_EQ(opened.vessel->GetHandle(), vesselHandle_);
}

TEST_F(BindingTest, AModeNotRegisteredOpensNothing) {
  int notAMode = 0;
  EXPECT_EQ(sdk_bridge::OpenDisplay(&notAMode, 3, 300, 200, vesselHandle_, fake_sdk::NewHandle()), nullptr);
}

TEST_F(BindingTest, KeysReachTheDisplayAndItsButtonRefreshReachesTheHostsDisplay) {
  const sdk_bridge::Handle hostDisplay = fake_sdk::NewHandle();
  const auto display = Open(hostDisplay);
  EXPECT_TRUE(display->Key(0x26));
  EXPECT_EQ(lastDisplay->lastKey, 0x26u);
  EXPECT_EQ(fake_sdk::host().invalidatedDisplays, std::vector<sdk_bridge::Handle>{hostDisplay});
}

TEST_F(BindingTest, MenuLinesAreTheDisplaysOwn) {
  const auto display = Open();
  ASSERT_EQ(display->MenuSize(), 2);
  const char* line1 = nullptr;
  const char* line2 = nullptr;
  char key = 0;
  display->MenuLine(0, line1, line2, key);
  EXPECT_STREQ(line1, "Previous");
  EXPECT_STREQ(line2, "waypoint");
  EXPECT_EQ(key, 'P');
  display->MenuLine(1, line1, line2, key);
  EXPECT_STREQ(line1, "Load");
  EXPECT_EQ(line2, nullptr);
  EXPECT_EQ(key, 'L');
}

// ---- Pens and fonts in a redraw -------------------------------------------------

TEST_F(BindingTest, TheHostGetsItsOwnPenAndFontBackAfterARedraw) {
  const sdk_bridge::Handle hostFont = fake_sdk::NewHandle();
  const sdk_bridge::Handle hostPen = fake_sdk::NewHandle();
  pad_.font = hostFont;
  pad_.pen = hostPen;
  const auto display = Open();
  oapi::Pen* pen = oapiCreatePen(1, 1, 0x00FF00);
  lastDisplay->draw = [&](oapi::Sketchpad* skp) {
    skp->SetFont(lastDisplay->GetDefaultFont(0));
    skp->SetPen(pen);
    skp->Text(0, 0, "WP: 1", 5);
  };
  EXPECT_TRUE(Redraw(*display));
  EXPECT_EQ(pad_.font, hostFont);
  EXPECT_EQ(pad_.pen, hostPen);
  ASSERT_EQ(pad_.texts.size(), 1u);
  EXPECT_NE(pad_.texts[0].second, hostFont);  // drawn in the display's default font
  oapiReleasePen(pen);
}

// A map label's font is released while it is still selected.
TEST_F(BindingTest, AFontReleasedWhileSelectedIsDeselectedFirst) {
  const sdk_bridge::Handle hostFont = fake_sdk::NewHandle();
  pad_.font = hostFont;
  const auto display = Open();
  lastDisplay->draw = [](oapi::Sketchpad* skp) {
    oapi::Font* label = oapiCreateFont(12, true, "DejaVu Sans", oapi::FONT_NORMAL);
    skp->SetFont(label);
    skp->Text(0, 0, "3", 1);
    oapiReleaseFont(label);
    skp->Text(0, 20, "after", 5);
  };
  Redraw(*display);
  ASSERT_EQ(fake_sdk::host().releasedFonts.size(), 1u);
  EXPECT_EQ(fake_sdk::host().selectedAtFontRelease[0], hostFont);
  ASSERT_EQ(pad_.texts.size(), 2u);
  EXPECT_EQ(pad_.texts[0].second, fake_sdk::host().releasedFonts[0]);
  EXPECT_EQ(pad_.texts[1].second, hostFont);
  EXPECT_EQ(pad_.font, hostFont);
}

TEST_F(BindingTest, ADisplaysDefaultFontIsNeverReleased) {
  const auto display = Open();
  oapi::Font* font = lastDisplay->GetDefaultFont(0);
  ASSERT_NE(font, nullptr);
  oapiReleaseFont(font);
  EXPECT_TRUE(fake_sdk::host().releasedFonts.empty());
  EXPECT_EQ(lastDisplay->GetDefaultFont(0), font);  // still the same, still usable
}

// ---- Vessels, radio, the module object --------------------------------------------

TEST_F(BindingTest, EachVesselHasOneObjectWhileItLives) {
  fake_sdk::host().focus = vesselHandle_;
  VESSEL* focus = oapiGetFocusInterface();
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(oapiGetFocusInterface(), focus);
  EXPECT_EQ(focus->GetHandle(), vesselHandle_);
  fake_sdk::host().focus = nullptr;
  EXPECT_EQ(oapiGetFocusInterface(), nullptr);
}

TEST_F(BindingTest, ATransmittersIdentifierIsCopiedCutToTheRecordsLength) {
  fake_sdk::host().navIdentifier = std::string(40, 'K');
  NAVDATA nav;
  oapiGetNavData(fake_sdk::NewHandle(), &nav);
  EXPECT_EQ(nav.type, TRANSMITTER_VOR);
  EXPECT_EQ(std::string(nav.id), std::string(NAVDATA_ID_LENGTH - 1, 'K'));
}

class RecordingModule : public oapi::Module {
 public:
  RecordingModule() : oapi::Module(reinterpret_cast<HINSTANCE>(0x1234)) {}
  void clbkStepDone(double simt, double, double) override { stepAt = simt; }
  void clbkRunEnd() override { ++runEnds; }
  void clbkDeleteVessel(OBJHANDLE vessel) override {
    deleted = vessel;
    VESSEL* v = oapiGetFocusInterface();
    handleDuringDeletion = v != nullptr ? v->GetHandle() : nullptr;
  }
  double stepAt = -1.0;
  int runEnds = 0;
  OBJHANDLE deleted = nullptr;
  OBJHANDLE handleDuringDeletion = nullptr;
};

TEST_F(BindingTest, TheModuleHearsTheHostsCallbacksUnderItsOwnNames) {
  auto module = std::make_unique<RecordingModule>();
  oapiRegisterModule(module.get());
  sdk_bridge::ModuleHooks* hooks = fake_sdk::host().registeredModule;
  ASSERT_NE(hooks, nullptr);
  EXPECT_EQ(fake_sdk::host().registeredModuleHandle, reinterpret_cast<void*>(0x1234));
  hooks->PostStep(12.5, 0.1, 55000.0);
  EXPECT_EQ(module->stepAt, 12.5);
  hooks->SimulationEnd();
  EXPECT_EQ(module->runEnds, 1);
  module.reset();
  EXPECT_EQ(fake_sdk::host().unregisteredModule, hooks);
}

// The vessel's object is still there while the module hears of its deletion.
TEST_F(BindingTest, ADeletedVesselsObjectLastsThroughTheModulesCallback) {
  auto module = std::make_unique<RecordingModule>();
  oapiRegisterModule(module.get());
  fake_sdk::host().focus = vesselHandle_;
  ASSERT_NE(oapiGetFocusInterface(), nullptr);
  fake_sdk::host().registeredModule->DeleteVessel(vesselHandle_);
  EXPECT_EQ(module->deleted, vesselHandle_);
  EXPECT_EQ(module->handleDuringDeletion, vesselHandle_);
}

}  // namespace
