// The built module library as the host loads it: its exports, its string
// resources, and a whole run from loading a route to unloading the library.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "geodesy/body_constants.h"
#include "platform/platform.h"
#include "mfd/tarvik_mfd.h"
#include "simhost/module_loader.h"
#include "simhost/sim_host.h"

#include "tests/support/program_run.h"
#include "tests/support/standard_world.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_sketchpad.h"

namespace {

const std::string kModulePath = TARVIK_MODULE_PATH;
using test_support::kEarthRadiusMetres;
constexpr double kDegree = 0.017453292519943295;

// Standard output of a command line; a command that cannot run gives none.
std::string CommandOutput(const std::string& command) { return test_support::RunCommand(command).out; }

bool LibraryIsLoaded() {
  void* handle = dlopen(kModulePath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  dlclose(handle);
  return true;
}

TEST(ModuleLibraryTest, ExportsOnlyTheEntryPoints) {
  std::set<std::string> exported;
  char name[256];
  const std::string table = CommandOutput("nm -D --defined-only " + kModulePath);
  for (const char* line = table.c_str(); std::sscanf(line, "%*s %*s %255s", name) == 1;) {
    exported.insert(name);
    line = std::strchr(line, '\n');
    if (line == nullptr) break;
    ++line;
  }
  EXPECT_EQ(exported, (std::set<std::string>{"ExitModule", "GetModuleVersion", "InitModule", "ModuleDate", "opcDLLExit"}));
}

// Needing no constructor, the registry exists before the attach step runs.
TEST(ModuleLibraryTest, RegistryIsZeroInitialisedData) {
  const std::string symbols = CommandOutput("nm " + kModulePath);
  EXPECT_NE(symbols.find(" b vesselRoutes\n"), std::string::npos);
}

TEST(ModuleLibraryTest, StringResourcesAreReadFromTheFile) {
  const std::map<int, std::string> strings = simhost::ReadModuleStrings(kModulePath);
  EXPECT_EQ(strings, (std::map<int, std::string>{{1000, "TARVIK MFD:\r\n\rCan load and display a route of waypoints."},
                                                 {1001, "MFD modes"}}));
  EXPECT_TRUE(simhost::ReadModuleStrings(TARVIK_SOURCE_DIR "/CMakeLists.txt").empty());
}

TEST(ModuleLibraryTest, AMissingFileIsAClearError) {
  std::string error;
  EXPECT_EQ(simhost::LoadedModule::Load("/nonexistent/TarvikMFD.so", error), nullptr);
  EXPECT_NE(error.find("/nonexistent/TarvikMFD.so"), std::string::npos);
}

// A vessel flies north along three turn waypoints, 5 km apart.
class ModuleRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    earth = &test_support::StartStandardWorld();
    vessel = &test_support::AddGlider(*earth, {28.50 * kDegree, -80.60 * kDegree});
    vessel->altitudeMetres = 1000.0;
    vessel->airspeed = 100.0;
    folder.WriteRoute("a_short.route", test_support::kOneWaypointRoute);
    folder.WriteRoute("flight.route",
                      "BEGIN_POINTS\n-80.60 28.55\n-80.60 28.60\n-80.60 28.65\nEND_POINTS\n"
                      "BEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\n"
                      "BEGIN_WAYPOINTS\nPOINT 0 TURN 500 1000 100\nPOINT 1 TURN 500 1000 100\n"
                      "POINT 2 TURN 500 1000 100\nEND_WAYPOINTS\n");
  }

  // The number of the current waypoint as the List page shows it: the
  // bright row below the header; 0 when no row is bright.
  int ShownCurrentWaypoint(simhost::DisplaySlot& slot) {
    test_support::TextSketchpad surface;
    slot.Redraw(surface);
    const auto* display = dynamic_cast<TarvikMFD*>(slot.Display());
    const int firstRowY = static_cast<int>(slot.Height() / 20.0 * 5);
    for (const test_support::DrawnText& t : surface.texts)
      if (t.y >= firstRowY && t.colour == display->brightColor) return std::atoi(t.text.substr(0, 2).c_str());
    return 0;
  }

  // The module library as the host loads it; null, said why, when it fails.
  static std::unique_ptr<simhost::LoadedModule> LoadModule() {
    std::string error;
    std::unique_ptr<simhost::LoadedModule> module = simhost::LoadedModule::Load(kModulePath, error);
    EXPECT_NE(module, nullptr) << error;
    return module;
  }

  test_support::TempWorkingDirectory folder;
  simhost::Body* earth = nullptr;
  simhost::Vessel* vessel = nullptr;
};

TEST_F(ModuleRunTest, LoadFlyEndAndUnload) {
  std::unique_ptr<simhost::LoadedModule> module = LoadModule();
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(simhost::host().initLibCalls, 1);
  EXPECT_EQ(simhost::host().lastInitLib, module->Instance());
  EXPECT_NE(GetProcAddress(module->Instance(), "ExitModule"), nullptr);
  ASSERT_EQ(simhost::LoadedModules(), std::vector<const simhost::LoadedModule*>{module.get()});
  EXPECT_EQ(simhost::LoadedModules().front()->Strings().at(1001), "MFD modes");
  EXPECT_STREQ(module->Date(), "Aug 12 2012");
  EXPECT_EQ(module->Version(), module->Version());
  EXPECT_EQ(simhost::host().date2IntCalls, 1);
  ASSERT_EQ(simhost::host().Modes().size(), 1u);
  ASSERT_EQ(simhost::host().Modules().size(), 1u);

  {
    simhost::DisplaySlot slot(0, 256, 256);
    ASSERT_TRUE(slot.SelectMode(17, vessel->iface.get()));
    EXPECT_STREQ(slot.Label(4), "LDT");
    for (DWORD key : {keys::L, keys::N, keys::L}) slot.Key(key);
    EXPECT_STREQ(slot.Label(5), "GRA");  // the load left the List page
    EXPECT_STREQ(simhost::host().DebugLine(), "");

    std::vector<int> shown{ShownCurrentWaypoint(slot)};
    const double stepRad = 200.0 / kEarthRadiusMetres;
    for (int step = 0; step < 120; ++step) {
      vessel->position.latitudeRad += stepRad;
      simhost::host().StepModules(step * 2.0, 2.0, 51000.0);
      const int current = ShownCurrentWaypoint(slot);
      if (current != shown.back()) shown.push_back(current);
    }
    // 1, 2, 3 in turn, then the last turn waypoint ends the route.
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 0}));

    simhost::host().EndRun();
    test_support::TextSketchpad surface;
    slot.Redraw(surface);  // a fresh record: back on the map
    EXPECT_STREQ(slot.Label(5), "LST");
    slot.LeaveMode();
    EXPECT_FALSE(slot.Active());
  }

  module->Unload();
  EXPECT_TRUE(simhost::host().Modules().empty());
  EXPECT_TRUE(simhost::host().Modes().empty());
  EXPECT_FALSE(LibraryIsLoaded());
  EXPECT_TRUE(simhost::LoadedModules().empty());
  module->Unload();  // once is enough
}

// Unloading with a route still loaded: the registry goes with the library.
TEST_F(ModuleRunTest, UnloadWithARouteStillLoaded) {
  std::unique_ptr<simhost::LoadedModule> module = LoadModule();
  ASSERT_NE(module, nullptr);
  {
    simhost::DisplaySlot slot(3, 200, 200);
    ASSERT_TRUE(slot.SelectMode(17, vessel->iface.get()));
    for (DWORD key : {keys::L, keys::N, keys::L}) slot.Key(key);
    EXPECT_EQ(ShownCurrentWaypoint(slot), 1);
  }
  module.reset();
  EXPECT_FALSE(LibraryIsLoaded());
  EXPECT_TRUE(simhost::host().Modules().empty());
}

TEST_F(ModuleRunTest, ADisplayFindsOnlyRegisteredKeys) {
  std::unique_ptr<simhost::LoadedModule> module = LoadModule();
  ASSERT_NE(module, nullptr);
  simhost::DisplaySlot slot(0, 256, 256);
  EXPECT_FALSE(slot.SelectMode(18, vessel->iface.get()));
  EXPECT_FALSE(slot.Active());
  EXPECT_FALSE(slot.Key(keys::L));
  EXPECT_EQ(slot.Label(0), nullptr);
  EXPECT_EQ(slot.Menu(nullptr), 0);
  ASSERT_TRUE(slot.SelectMode(17, vessel->iface.get()));
  const MFDBUTTONMENU* menu = nullptr;
  EXPECT_EQ(slot.Menu(&menu), 12);
  EXPECT_STREQ(menu[4].line1, "Load Track");
  slot.LeaveMode();
}

}  // namespace
