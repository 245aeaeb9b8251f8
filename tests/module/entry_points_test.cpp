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
#include "tests/support/standard_world.h"

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
    vessel = &test_support::AddGlider(test_support::StartStandardWorld());
  }
  void TearDown() override {
    ExitModule(kInstance);
    opcDLLExit(kInstance);
    ClearRoutes();
  }
  Mymod* RegisteredModule() const {
    return simhost::host().Modules().empty() ? nullptr : dynamic_cast<Mymod*>(simhost::host().Modules().front());
  }
  int Calls(const std::string& name) const {
    return static_cast<int>(std::count(simhost::host().calls.begin(), simhost::host().calls.end(), name));
  }

  simhost::Vessel* vessel = nullptr;
};

TEST_F(EntryPointsTest, InitModuleRegistersTheModeAndTheModuleObject) {
  InitModule(kInstance);
  ASSERT_EQ(simhost::host().Modes().size(), 1u);
  const simhost::ModeRegistration& mode = simhost::host().Modes().front();
  EXPECT_EQ(mode.name, "TarvikMFD");
  EXPECT_EQ(mode.key, 17u);
  EXPECT_EQ(mode.context, nullptr);
  EXPECT_EQ(mode.msgproc, &ModeMessageProc);
  ASSERT_EQ(simhost::host().Modules().size(), 1u);
  ASSERT_NE(RegisteredModule(), nullptr);
  EXPECT_EQ(RegisteredModule()->GetModule(), kInstance);
}

TEST_F(EntryPointsTest, ModeRegistersEvenWithoutMemoryForTheModuleObject) {
  refuseNothrowNew = true;
  InitModule(kInstance);
  refuseNothrowNew = false;
  EXPECT_EQ(simhost::host().Modes().size(), 1u);
  EXPECT_TRUE(simhost::host().Modules().empty());
  ExitModule(kInstance);  // nothing to release
  EXPECT_TRUE(opcDLLExit(kInstance));
  EXPECT_TRUE(simhost::host().Modes().empty());
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
  simhost::host().throwIn = "oapiGetFocusInterface";
  OAPI_MSGTYPE result = 1;
  EXPECT_NO_THROW(result = ModeMessageProc(4, 5, reinterpret_cast<WPARAM>(&open),
                                           reinterpret_cast<LPARAM>(vessel->iface.get())));
  EXPECT_EQ(result, 0);
  simhost::host().throwIn.clear();
}

// The only caller of GetModuleVersion in this program: its first call asks.
TEST_F(EntryPointsTest, VersionIsAskedOfTheHostOnce) {
  const int first = GetModuleVersion();
  EXPECT_EQ(GetModuleVersion(), first);
  EXPECT_EQ(simhost::host().date2IntCalls, 1);
  EXPECT_EQ(first, Date2Int("Aug 30 2010"));
}

TEST_F(EntryPointsTest, ModuleDateIsOneConstantText) {
  const char* date = ModuleDate();
  EXPECT_STREQ(date, "Aug 12 2012");
  EXPECT_EQ(ModuleDate(), date);
}

TEST_F(EntryPointsTest, NeitherExitPathActsTwice) {
  InitModule(kInstance);
  simhost::host().traceCalls = true;
  ExitModule(kInstance);
  EXPECT_TRUE(simhost::host().Modules().empty());
  ExitModule(kInstance);  // no object left: nothing to destroy again
  EXPECT_TRUE(opcDLLExit(kInstance));
  EXPECT_TRUE(simhost::host().Modes().empty());
  EXPECT_FALSE(opcDLLExit(kInstance));
  EXPECT_EQ(Calls("oapiUnregisterMFDMode"), 1);
}

TEST_F(EntryPointsTest, ModuleObjectSequencesClearsAndForgets) {
  InitModule(kInstance);
  PullRoute(0, 256, *std::make_unique<VesselRoute>());
  Waypoint here;  // at the vessel's position, so reached at once
  here.acceptRadius = 100.0;
  vesselRoutes.front().waypoints = {here, here, here};
  simhost::host().StepModules(0.0, 0.1, 51000.0);
  EXPECT_EQ(vesselRoutes.front().currentIndex, 1u);

  simhost::host().EndRun();
  EXPECT_TRUE(vesselRoutes.empty());

  PullRoute(0, 256, *std::make_unique<VesselRoute>());
  simhost::host().DeleteVessel(*vessel);
  EXPECT_TRUE(vesselRoutes.empty());
}

}  // namespace
