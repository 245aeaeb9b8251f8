// The module's entry points and its module object, called directly as the
// host calls them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <new>
#include <string>

#include "mfd/tarvik_mfd.h"
#include "module/entry_points.h"
#include "module/module_object.h"
#include "nav/route_registry.h"
#include "simhost/sim_host.h"

namespace {

// While set, allocations of the nothrow form fail: the way to meet a module
// object that cannot be made.
bool refuseNothrowNew = false;

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (refuseNothrowNew) return nullptr;
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}

namespace {

HINSTANCE const kInstance = reinterpret_cast<HINSTANCE>(0x7f0000400000);

class EntryPointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::host().Reset();
    ClearRoutes();
    sim::Body& earth = sim::host().AddBody("Earth", 6371000.0);
    sim::VesselSpec vesselSpec;
    vesselSpec.name = "GL-01";
    vesselSpec.body = &earth;
    vessel = &sim::host().AddVessel(vesselSpec);
  }
  void TearDown() override {
    ExitModule(kInstance);
    opcDLLExit(kInstance);
    ClearRoutes();
  }
  Mymod* RegisteredModule() const {
    return sim::host().Modules().empty() ? nullptr : dynamic_cast<Mymod*>(sim::host().Modules().front());
  }
  int Calls(const std::string& name) const {
    return static_cast<int>(std::count(sim::host().calls.begin(), sim::host().calls.end(), name));
  }

  sim::Vessel* vessel = nullptr;
};

TEST_F(EntryPointsTest, InitModuleRegistersTheModeAndTheModuleObject) {
  InitModule(kInstance);
  ASSERT_EQ(sim::host().Modes().size(), 1u);
  const sim::ModeRegistration& mode = sim::host().Modes().front();
  EXPECT_EQ(mode.name, "TarvikMFD");
  EXPECT_EQ(mode.key, 17u);
  EXPECT_EQ(mode.context, nullptr);
  EXPECT_EQ(mode.msgproc, &ModeMessageProc);
  ASSERT_EQ(sim::host().Modules().size(), 1u);
  ASSERT_NE(RegisteredModule(), nullptr);
  EXPECT_EQ(RegisteredModule()->GetModule(), kInstance);
}

TEST_F(EntryPointsTest, ModeRegistersEvenWithoutMemoryForTheModuleObject) {
  refuseNothrowNew = true;
  InitModule(kInstance);
  refuseNothrowNew = false;
  EXPECT_EQ(sim::host().Modes().size(), 1u);
  EXPECT_TRUE(sim::host().Modules().empty());
  ExitModule(kInstance);  // nothing to release
  EXPECT_TRUE(opcDLLExit(kInstance));
  EXPECT_TRUE(sim::host().Modes().empty());
}

TEST_F(EntryPointsTest, MessageFourOpensADisplayOfTheGivenSize) {
  MFDMODEOPENSPEC open{256, 256};
  const OAPI_MSGTYPE result =
      ModeMessageProc(4, 5, reinterpret_cast<WPARAM>(&open), reinterpret_cast<LPARAM>(vessel->iface.get()));
  auto* display = dynamic_cast<TarvikMFD*>(reinterpret_cast<MFD*>(result));
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->displayWidth, 256);
  EXPECT_EQ(display->displayHeight, 256);
  EXPECT_EQ(display->displayId, 5u);
  ASSERT_EQ(vesselRoutes.size(), 1u);
  EXPECT_EQ(vesselRoutes.front().vessel, vessel->iface.get());
  delete display;
}

TEST_F(EntryPointsTest, EveryOtherMessageCreatesNothing) {
  MFDMODEOPENSPEC open{256, 256};
  for (UINT msg : {0u, 1u, 2u, 3u, 5u, 6u, 100u}) {
    EXPECT_EQ(ModeMessageProc(msg, 0, reinterpret_cast<WPARAM>(&open), reinterpret_cast<LPARAM>(vessel->iface.get())),
              0)
        << "message " << msg;
  }
  EXPECT_TRUE(vesselRoutes.empty());
}

// A display that cannot be made (the host fails under it) is no display:
// the message answers 0 and nothing escapes to the host.
TEST_F(EntryPointsTest, DisplayThatCannotBeMadeAnswersZero) {
  MFDMODEOPENSPEC open{256, 256};
  sim::host().throwIn = "oapiGetFocusInterface";
  OAPI_MSGTYPE result = 1;
  EXPECT_NO_THROW(result = ModeMessageProc(4, 5, reinterpret_cast<WPARAM>(&open),
                                           reinterpret_cast<LPARAM>(vessel->iface.get())));
  EXPECT_EQ(result, 0);
  sim::host().throwIn.clear();
}

// The only caller of GetModuleVersion in this program: its first call asks.
TEST_F(EntryPointsTest, VersionIsAskedOfTheHostOnce) {
  const int first = GetModuleVersion();
  EXPECT_EQ(GetModuleVersion(), first);
  EXPECT_EQ(sim::host().date2IntCalls, 1);
  EXPECT_EQ(first, Date2Int("Aug 30 2010"));
}

TEST_F(EntryPointsTest, ModuleDateIsOneConstantText) {
  const char* date = ModuleDate();
  EXPECT_STREQ(date, "Aug 12 2012");
  EXPECT_EQ(ModuleDate(), date);
}

TEST_F(EntryPointsTest, NeitherExitPathActsTwice) {
  InitModule(kInstance);
  sim::host().traceCalls = true;
  ExitModule(kInstance);
  EXPECT_TRUE(sim::host().Modules().empty());
  ExitModule(kInstance);  // no object left: nothing to destroy again
  EXPECT_TRUE(opcDLLExit(kInstance));
  EXPECT_TRUE(sim::host().Modes().empty());
  EXPECT_FALSE(opcDLLExit(kInstance));
  EXPECT_EQ(Calls("oapiUnregisterMFDMode"), 1);
}

TEST_F(EntryPointsTest, ModuleObjectSequencesClearsAndForgets) {
  InitModule(kInstance);
  PullRoute(0, 256, *std::make_unique<VesselRoute>());
  Waypoint here;  // at the vessel's position, so reached at once
  here.acceptRadius = 100.0;
  vesselRoutes.front().waypoints = {here, here, here};
  sim::host().StepModules(0.0, 0.1, 51000.0);
  EXPECT_EQ(vesselRoutes.front().currentIndex, 1u);

  sim::host().EndRun();
  EXPECT_TRUE(vesselRoutes.empty());

  PullRoute(0, 256, *std::make_unique<VesselRoute>());
  sim::host().DeleteVessel(*vessel);
  EXPECT_TRUE(vesselRoutes.empty());
}

}  // namespace
