// The SDK side of the binding (bindings/orbiter_sdk/sdk_side.cpp), compiled
// against the port's SDK headers and linked with a stub of the host: each
// value it takes from the host or hands to it lands in its own place.
// Every value in the stub's world differs from the others, so that a
// swapped pair of arguments shows.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bindings/orbiter_sdk/sdk_bridge.h"
#include "sdk_side/stub_host.h"

using stub_host::Host;

// ---- The module side, as far as the SDK side calls it ------------------------

namespace {

struct Opened {
  void* modeContext = nullptr;
  std::uint32_t displayId = 0;
  int widthPx = 0;
  int heightPx = 0;
  sdk_bridge::Handle vessel = nullptr;
  sdk_bridge::Handle hostDisplay = nullptr;
  class RecordingDisplay* hooks = nullptr;
};
std::vector<Opened> opened;

class RecordingDisplay final : public sdk_bridge::DisplayHooks {
 public:
  bool Redraw(sdk_bridge::Handle sketchpad) override {
    redrawn = sketchpad;
    return true;
  }
  bool Key(int key) override {
    Host().calls.push_back("Key " + std::to_string(key));
    return true;
  }
  bool Button(int button, int event) override {
    Host().calls.push_back("Button " + std::to_string(button) + " " + std::to_string(event));
    return true;
  }
  const char* Label(int button) override { return button == 2 ? "ZM+" : nullptr; }
  int MenuSize() override { return 2; }
  void MenuLine(int index, const char*& line1, const char*& line2, char& key) override {
    line1 = index == 0 ? "Zoom in" : "Load";
    line2 = index == 0 ? nullptr : "route";
    key = index == 0 ? '+' : 'L';
  }
  sdk_bridge::Handle redrawn = nullptr;
};

class RecordingModule final : public sdk_bridge::ModuleHooks {
 public:
  void SimulationStart(int renderMode) override { Note("SimulationStart " + std::to_string(renderMode)); }
  void SimulationEnd() override { Note("SimulationEnd"); }
  void PreStep(double t, double dt, double mjd) override { Note("PreStep " + Numbers({t, dt, mjd})); }
  void PostStep(double t, double dt, double mjd) override { Note("PostStep " + Numbers({t, dt, mjd})); }
  void TimeJump(double t, double dt, int mode) override { Note("TimeJump " + Numbers({t, dt}) + " " + std::to_string(mode)); }
  void FocusChanged(sdk_bridge::Handle now, sdk_bridge::Handle before) override {
    Note(std::string("FocusChanged ") + Name(now) + " " + Name(before));
  }
  void TimeAccelerationChanged(double now, double before) override { Note("TimeAcc " + Numbers({now, before})); }
  void NewVessel(sdk_bridge::Handle vessel) override { Note(std::string("NewVessel ") + Name(vessel)); }
  void DeleteVessel(sdk_bridge::Handle vessel) override { Note(std::string("DeleteVessel ") + Name(vessel)); }
  void VesselJump(sdk_bridge::Handle vessel) override { Note(std::string("VesselJump ") + Name(vessel)); }
  void Pause(bool paused) override { Note(paused ? "Pause on" : "Pause off"); }

  stub_host::Object a, b;

 private:
  static void Note(std::string what) { Host().calls.push_back(std::move(what)); }
  static std::string Numbers(std::initializer_list<double> values) {
    std::string text;
    for (double v : values) text += (text.empty() ? "" : " ") + std::to_string(static_cast<int>(v));
    return text;
  }
  const char* Name(sdk_bridge::Handle handle) const { return handle == &a ? "a" : handle == &b ? "b" : "?"; }
};

}  // namespace

sdk_bridge::DisplayHooks* sdk_bridge::OpenDisplay(void* modeContext, std::uint32_t displayId, int widthPx,
                                                  int heightPx, Handle vessel, Handle hostDisplay) {
  auto* hooks = new RecordingDisplay;
  opened.push_back({modeContext, displayId, widthPx, heightPx, vessel, hostDisplay, hooks});
  return hooks;
}

namespace {

class SdkSide : public ::testing::Test {
 protected:
  SdkSide() {
    stub_host::Reset();
    opened.clear();
    Host().vessels[&vesselObject] = &vessel;
    Host().focus = &vessel;
  }

  // The mode's message procedure, as the host gets it on registration.
  MFD* OpenDisplay(MfdId id, int widthPx, int heightPx) {
    EXPECT_EQ(sdk_bridge::RegisterMode("TarvikMFD", OAPI_KEY_T, &modeContext), Host().nextMode);
    MFDMODESPECEX* record = Host().lastModeRecord;
    MFDMODEOPENSPEC open{widthPx, heightPx, record};
    return static_cast<MFD*>(record->msgproc(OAPI_MSG_MFD_OPENEDEX, id, &open, &vessel));
  }

  stub_host::Object vesselObject, earth, cape, otherBase;
  stub_host::Vessel vessel{vesselObject};
  int modeContext = 0;
};

// ---- Vessels, bodies, bases, radio ---------------------------------------------

TEST_F(SdkSide, VesselStatusAndPositionKeepTheirPlaces) {
  vessel.equPosBody = &earth;
  vessel.longitudeRad = -1.408;
  vessel.latitudeRad = 0.499;
  vessel.radiusMetres = 6.371e6;
  vessel.status.rbody = &earth;
  vessel.status.base = &cape;
  vessel.status.status = 1;
  vessel.altitudeMetres = 312.5;
  vessel.airspeedMetresPerSecond = 87.25;
  vessel.touchdown[0] = {1, 2, 3};
  vessel.touchdown[1] = {4, 5, 6};
  vessel.touchdown[2] = {7, 8, 9};

  EXPECT_EQ(sdk_bridge::FocusVessel(), &vesselObject);
  double longitudeRad = 0, latitudeRad = 0, radiusMetres = 0;
  EXPECT_EQ(sdk_bridge::VesselEquPos(&vesselObject, longitudeRad, latitudeRad, radiusMetres), &earth);
  EXPECT_EQ(longitudeRad, -1.408);
  EXPECT_EQ(latitudeRad, 0.499);
  EXPECT_EQ(radiusMetres, 6.371e6);
  sdk_bridge::Handle body = nullptr, base = nullptr;
  int status = 0;
  sdk_bridge::VesselStatus(&vesselObject, body, base, status);
  EXPECT_EQ(body, &earth);
  EXPECT_EQ(base, &cape);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(sdk_bridge::VesselAltitude(&vesselObject), 312.5);
  EXPECT_EQ(sdk_bridge::VesselAirspeed(&vesselObject), 87.25);
  double points[3][3] = {};
  sdk_bridge::VesselTouchdownPoints(&vesselObject, points);
  for (int i = 0; i < 3; ++i)
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(points[i][axis], 3 * i + axis + 1) << i << " " << axis;
}

TEST_F(SdkSide, BaseAndPadPositionsKeepLongitudeLatitudeAndRadius) {
  Host().basesOfBody[&earth] = {&otherBase, &cape};
  Host().bases[&cape] = {{-1.4081, 0.4991, 6371010.0}, {{-1.4070, 0.4980, 6371020.0}, {-1.4060, 0.4970, 6371030.0}}};
  ASSERT_EQ(sdk_bridge::BaseCount(&earth), 2);
  ASSERT_EQ(sdk_bridge::BaseByIndex(&earth, 1), &cape);
  double longitudeRad = 0, latitudeRad = 0, radiusMetres = 0;
  sdk_bridge::BaseEquPos(&cape, &longitudeRad, &latitudeRad, &radiusMetres);
  EXPECT_EQ(longitudeRad, -1.4081);
  EXPECT_EQ(latitudeRad, 0.4991);
  EXPECT_EQ(radiusMetres, 6371010.0);
  ASSERT_EQ(sdk_bridge::BasePadCount(&cape), 2);
  ASSERT_TRUE(sdk_bridge::BasePadEquPos(&cape, 1, &longitudeRad, &latitudeRad, &radiusMetres));
  EXPECT_EQ(longitudeRad, -1.4060);
  EXPECT_EQ(latitudeRad, 0.4970);
  EXPECT_EQ(radiusMetres, 6371030.0);
  EXPECT_FALSE(sdk_bridge::BasePadEquPos(&cape, 2, &longitudeRad, &latitudeRad, &radiusMetres));
}

TEST_F(SdkSide, VorDataGivesItsBodyAndPlaceOtherTransmittersNone) {
  static char vorSource, padSource;
  NAVDATA vor{};
  vor.type = TRANSMITTER_VOR;
  vor.descr = "VOR KSCX";
  vor.vor.hPlanet = &earth;
  vor.vor.lng = -1.40466;
  vor.vor.lat = 0.49626;
  NAVDATA pad{};
  pad.type = TRANSMITTER_VTOL;
  pad.descr = "VTOL Pad01";
  pad.vtol.hBase = &cape;
  pad.vtol.npad = 3;
  Host().transmitters = {{&vorSource, vor}, {&padSource, pad}};
  vessel.navSources = {&padSource, &vorSource};

  ASSERT_EQ(sdk_bridge::VesselNavCount(&vesselObject), 2);
  const sdk_bridge::NavSummary summary = sdk_bridge::NavData(sdk_bridge::VesselNavSource(&vesselObject, 1));
  EXPECT_EQ(summary.type, TRANSMITTER_VOR);
  EXPECT_STREQ(summary.identifier, "VOR KSCX");
  EXPECT_EQ(summary.body, &earth);
  EXPECT_EQ(summary.longitudeRad, -1.40466);
  EXPECT_EQ(summary.latitudeRad, 0.49626);
  // A pad's record shares the VOR's storage: none of it may pass as a place.
  const sdk_bridge::NavSummary other = sdk_bridge::NavData(sdk_bridge::VesselNavSource(&vesselObject, 0));
  EXPECT_EQ(other.type, TRANSMITTER_VTOL);
  EXPECT_STREQ(other.identifier, "VTOL Pad01");
  EXPECT_EQ(other.body, nullptr);
  EXPECT_EQ(other.longitudeRad, 0.0);
  EXPECT_EQ(other.latitudeRad, 0.0);
}

TEST_F(SdkSide, BodySizeNameAndFocusHeading) {
  Host().sizesMetres = {{&earth, 6.371e6}, {&cape, 2.5e3}};
  Host().names[&earth] = "Earth";
  Host().hasFocusHeading = true;
  Host().focusHeadingRad = 5.777;
  EXPECT_EQ(sdk_bridge::ObjectSize(&earth), 6.371e6);
  char name[16] = "x";
  sdk_bridge::ObjectName(&earth, name, sizeof name);
  EXPECT_STREQ(name, "Earth");
  double headingRad = 0;
  EXPECT_TRUE(sdk_bridge::FocusHeading(headingRad));
  EXPECT_EQ(headingRad, 5.777);
}

// ---- Displays, keys, messages -------------------------------------------------

TEST_F(SdkSide, DisplaysOpenWithTheirNumberSizeAndVessel) {
  static char externalA, externalB;
  const std::unique_ptr<MFD> right(OpenDisplay(MfdId(MFD_RIGHT), 300, 200));
  const std::unique_ptr<MFD> outsideA(OpenDisplay(MfdId(reinterpret_cast<ExternMFD*>(&externalA)), 260, 250));
  const std::unique_ptr<MFD> outsideB(OpenDisplay(MfdId(reinterpret_cast<ExternMFD*>(&externalB)), 240, 230));
  const std::unique_ptr<MFD> outsideAAgain(OpenDisplay(MfdId(reinterpret_cast<ExternMFD*>(&externalA)), 260, 250));
  ASSERT_EQ(opened.size(), 4u);
  EXPECT_EQ(opened[0].modeContext, &modeContext);
  EXPECT_EQ(opened[0].displayId, static_cast<std::uint32_t>(MFD_RIGHT));
  EXPECT_EQ(opened[0].widthPx, 300);
  EXPECT_EQ(opened[0].heightPx, 200);
  EXPECT_EQ(opened[0].vessel, &vesselObject);
  EXPECT_EQ(opened[0].hostDisplay, static_cast<void*>(right.get()));
  // Displays outside the panel are numbered after the panel's own, each
  // keeping its number.
  const std::uint32_t a = opened[1].displayId;
  EXPECT_GE(a, static_cast<std::uint32_t>(MAXMFD));
  EXPECT_NE(opened[2].displayId, a);
  EXPECT_GE(opened[2].displayId, static_cast<std::uint32_t>(MAXMFD));
  EXPECT_EQ(opened[3].displayId, a);
  EXPECT_EQ(Host().calls, (std::vector<std::string>(4, "oapiRegisterMFDMode TarvikMFD " +
                                                         std::to_string(OAPI_KEY_T))));
}

TEST_F(SdkSide, OnlyTheOpenedMessageOpensADisplay) {
  EXPECT_EQ(sdk_bridge::RegisterMode("TarvikMFD", OAPI_KEY_T, &modeContext), Host().nextMode);
  MFDMODESPECEX* record = Host().lastModeRecord;
  EXPECT_EQ(record->context, &modeContext);
  MFDMODEOPENSPEC open{300, 200, record};
  for (MFD_msg msg : {OAPI_MSG_MFD_CLOSED, OAPI_MSG_MFD_UPDATE})
    EXPECT_EQ(record->msgproc(msg, MfdId(MFD_LEFT), &open, &vessel), nullptr) << msg;
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(sdk_bridge::UnregisterMode(Host().nextMode));
  EXPECT_EQ(Host().calls.back(), "oapiUnregisterMFDMode " + std::to_string(Host().nextMode));
}

TEST_F(SdkSide, KeysButtonsLabelsAndMenuReachTheDisplay) {
  const std::unique_ptr<MFD> display(OpenDisplay(MfdId(MFD_LEFT), 300, 200));
  Host().calls.clear();
  EXPECT_TRUE(display->ConsumeKeyBuffered(OAPI_KEY_L));
  EXPECT_TRUE(display->ConsumeButton(4, PANEL_MOUSE_LBDOWN));
  EXPECT_TRUE(display->ConsumeButton(5, PANEL_MOUSE_LBPRESSED));
  EXPECT_EQ(Host().calls, (std::vector<std::string>{"Key " + std::to_string(OAPI_KEY_L),
                                                     "Button 4 " + std::to_string(PANEL_MOUSE_LBDOWN),
                                                     "Button 5 " + std::to_string(PANEL_MOUSE_LBPRESSED)}));
  EXPECT_STREQ(display->ButtonLabel(2), "ZM+");
  const MFDBUTTONMENU* menu = nullptr;
  ASSERT_EQ(display->ButtonMenu(&menu), 2);
  EXPECT_STREQ(menu[0].line1, "Zoom in");
  EXPECT_EQ(menu[0].line2, nullptr);
  EXPECT_EQ(menu[0].selchar, '+');
  EXPECT_STREQ(menu[1].line2, "route");
  EXPECT_EQ(menu[1].selchar, 'L');
  stub_host::RecordingSketchpad pad;
  EXPECT_TRUE(display->Update(&pad));
  EXPECT_EQ(opened.at(0).hooks->redrawn, &pad);
  sdk_bridge::InvalidateButtons(opened.at(0).hostDisplay);
  EXPECT_EQ(Host().invalidatedDisplays, (std::vector<const MFD*>{display.get()}));
}

TEST_F(SdkSide, LogAndDebugLineAreTheHostsOwn) {
  sdk_bridge::WriteLog("TarvikMFD: route loaded");
  EXPECT_EQ(Host().calls, (std::vector<std::string>{"oapiWriteLog TarvikMFD: route loaded"}));
  EXPECT_EQ(sdk_bridge::DebugString(), Host().debugString);
}

TEST_F(SdkSide, ModuleCallbacksForwardTheirArgumentsInOrder) {
  RecordingModule hooks;
  static char moduleHandle;
  sdk_bridge::RegisterModule(&hooks, &moduleHandle);
  ASSERT_EQ(Host().modules.size(), 1u);
  oapi::Module& module = *Host().modules[0];
  module.clbkSimulationStart(oapi::Module::RENDER_WINDOW);
  module.clbkPreStep(10, 2, 51000);
  module.clbkPostStep(11, 3, 51001);
  module.clbkTimeJump(12, 4, 51002);
  module.clbkFocusChanged(reinterpret_cast<OBJHANDLE>(&hooks.a), reinterpret_cast<OBJHANDLE>(&hooks.b));
  module.clbkTimeAccChanged(10, 1);
  module.clbkNewVessel(&hooks.a);
  module.clbkDeleteVessel(&hooks.b);
  module.clbkVesselJump(&hooks.a);
  module.clbkPause(true);
  module.clbkSimulationEnd();
  EXPECT_EQ(Host().calls,
            (std::vector<std::string>{"SimulationStart " + std::to_string(oapi::Module::RENDER_WINDOW),
                                      "PreStep 10 2 51000", "PostStep 11 3 51001", "TimeJump 12 4 0",
                                      "FocusChanged a b", "TimeAcc 10 1", "NewVessel a", "DeleteVessel b",
                                      "VesselJump a", "Pause on", "SimulationEnd"}));
  sdk_bridge::UnregisterModule(&hooks);
}

// ---- Drawing --------------------------------------------------------------------

TEST_F(SdkSide, PensFontsAndShapesReachTheHostAndComeBack) {
  const std::unique_ptr<MFD> display(OpenDisplay(MfdId(MFD_LEFT), 300, 200));
  Host().calls.clear();
  stub_host::RecordingSketchpad pad;
  const sdk_bridge::Handle skp = &pad;

  const sdk_bridge::Handle pen = sdk_bridge::CreatePen(2, 3, 0x00ff40);
  const sdk_bridge::Handle font = sdk_bridge::CreateFont(14, true, "Sans", FONT_BOLD);
  EXPECT_EQ(pen, stub_host::PenHandle(1));
  EXPECT_EQ(font, stub_host::FontHandle(1));
  EXPECT_EQ(sdk_bridge::SelectPen(skp, pen), nullptr);
  EXPECT_EQ(sdk_bridge::SelectPen(skp, stub_host::PenHandle(5)), pen);
  EXPECT_EQ(sdk_bridge::SelectFont(skp, font), nullptr);
  EXPECT_EQ(sdk_bridge::SelectFont(skp, stub_host::FontHandle(5)), font);
  EXPECT_EQ(sdk_bridge::SetTextColour(skp, 0x00ff00), 0u);
  EXPECT_EQ(sdk_bridge::SetTextColour(skp, 0x005500), 0x00ff00u);
  EXPECT_TRUE(sdk_bridge::Text(skp, 11, 12, "KSCX 112.70", 4));
  sdk_bridge::MoveTo(skp, 13, 14);
  sdk_bridge::LineTo(skp, 15, 16);
  sdk_bridge::Line(skp, 17, 18, 19, 20);
  sdk_bridge::Rectangle(skp, 21, 22, 23, 24);
  sdk_bridge::Ellipse(skp, 25, 26, 27, 28);
  sdk_bridge::ReleasePen(pen);
  sdk_bridge::ReleaseFont(font);
  EXPECT_EQ(Host().calls, (std::vector<std::string>{
                              "oapiCreatePen 2 3 0x00ff40", "oapiCreateFont 14 proportional Sans 1 antialiased",
                              "SetPen pen1", "SetPen pen5", "SetFont font1", "SetFont font5",
                              "SetTextColor 0x00ff00", "SetTextColor 0x005500", "Text 11 12 KSCX", "MoveTo 13 14",
                              "LineTo 15 16", "Line 17 18 19 20", "Rectangle 21 22 23 24", "Ellipse 25 26 27 28",
                              "oapiReleasePen pen1", "oapiReleaseFont font1"}));
  // The display's own fonts, asked of the display that opened.
  EXPECT_EQ(sdk_bridge::DefaultFont(opened.at(0).hostDisplay, 1),
            stub_host::DefaultFontOf(static_cast<const MFD2*>(display.get()), 1));
  EXPECT_NE(sdk_bridge::DefaultFont(opened.at(0).hostDisplay, 1),
            stub_host::DefaultFontOf(static_cast<const MFD2*>(display.get()), 0));
}

}  // namespace
