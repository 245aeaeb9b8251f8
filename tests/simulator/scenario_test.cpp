// Reading scenario files in-process: what a correct file gives, and the
// message for each kind of fault.
#include "simulator/scenario.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "mfd/tarvik_mfd.h"
#include "tests/support/temp_folder.h"

namespace simulator {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kShortDemo = TARVIK_SOURCE_DIR "/examples/demo/short.json";
const std::string kRouteFolder = TARVIK_SOURCE_DIR "/examples/demo/Config/TKMFD/routes";

json ShortDemo() {
  std::ifstream in(kShortDemo);
  return json::parse(in);
}

class ScenarioFile : public ::testing::Test {
 protected:
  ScenarioResult Read(const json& scenario) {
    const std::string path = folder_.File("s.json");
    std::ofstream(path) << scenario.dump();
    return ReadScenario(path);
  }
  std::string Path() const { return folder_.File("s.json"); }

  const test_support::TempFolder folder_;
};

TEST_F(ScenarioFile, ShortDemoReadsWithItsDefaultsAndTimelineInTimeOrder) {
  const ScenarioResult read = ReadScenario(kShortDemo);
  ASSERT_TRUE(read.scenario) << read.error;
  const Scenario& s = *read.scenario;
  EXPECT_EQ(s.routeFolder, fs::path(kRouteFolder).lexically_normal().string());
  EXPECT_DOUBLE_EQ(s.timeStepSeconds, 0.1);
  EXPECT_DOUBLE_EQ(s.durationSeconds, 960.0);
  EXPECT_DOUBLE_EQ(s.refreshIntervalSeconds, 1.0);
  EXPECT_DOUBLE_EQ(s.frameIntervalSeconds, 300.0);
  ASSERT_EQ(s.bodies.size(), 1u);
  EXPECT_EQ(s.bodies[0].bases[0].pads.size(), 4u);
  EXPECT_EQ(s.bodies[0].transmitters[2].type, TRANSMITTER_XPDR);
  ASSERT_EQ(s.vessels.size(), 2u);
  EXPECT_EQ(s.vessels[0].receivers, (std::vector<std::string>{"TVK", "BRN", "TVX", ""}));
  EXPECT_FALSE(s.vessels[0].altitudeMetres);  // stands on its gear
  EXPECT_EQ(s.vessels[1].touchdown[0].y, -1.0);
  EXPECT_DOUBLE_EQ(s.vessels[1].pilot.turnRateDegPerSecond, 20.0);
  EXPECT_EQ(s.vessels[1].pilot.loopLaps, 2);
  EXPECT_EQ(s.displays.size(), 3u);
  ASSERT_EQ(s.timeline.size(), 14u);
  EXPECT_EQ(s.timeline[4].kind, TimelineEvent::Kind::Key);
  EXPECT_EQ(s.timeline[4].code, keys::KeypadMinus);
  EXPECT_EQ(s.timeline[7].kind, TimelineEvent::Kind::Button);
  EXPECT_EQ(s.timeline[13].kind, TimelineEvent::Kind::Delete);
  for (std::size_t i = 1; i < s.timeline.size(); ++i) EXPECT_LE(s.timeline[i - 1].atSeconds, s.timeline[i].atSeconds);
}

TEST_F(ScenarioFile, EqualTimesKeepFileOrder) {
  json s = ShortDemo();
  s["routeFolder"] = kRouteFolder;
  s["timeline"].push_back(json::object({{"at", 0}, {"display", 0}, {"key", "S"}}));
  const ScenarioResult read = Read(s);
  ASSERT_TRUE(read.scenario) << read.error;
  // The new event at 0 s follows every earlier one at 0 s.
  EXPECT_EQ(read.scenario->timeline[7].place, "/timeline/14");
  EXPECT_EQ(read.scenario->timeline[7].code, keys::S);
}

TEST_F(ScenarioFile, MissingFileIsNamed) {
  const ScenarioResult read = ReadScenario(folder_.File("none.json"));
  EXPECT_FALSE(read.scenario);
  EXPECT_EQ(read.error, folder_.File("none.json") + ": file: cannot be opened (No such file or directory)");
}

struct Fault {
  const char* name;
  void (*spoil)(json& s);
  const char* place;
  const char* fault;
};

void PrintTo(const Fault& f, std::ostream* out) { *out << f.name; }

const Fault kFaults[] = {
    {"TopLevelNotAnObject", [](json& s) { s = json::array(); }, "/", "expected an object, found an array"},
    {"ZeroTimeStep", [](json& s) { s["timeStep"] = 0; }, "/timeStep", "must be greater than 0, found 0"},
    {"LatitudeOutOfRange", [](json& s) { s["bodies"][0]["bases"][0]["latitude"] = 91; },
     "/bodies/0/bases/0/latitude", "latitude must lie between -90 and 90 degrees"},
    {"TransmitterType", [](json& s) { s["bodies"][0]["transmitters"][0]["type"] = "NDB"; },
     "/bodies/0/transmitters/0/type", "unknown transmitter type \"NDB\" (VOR, VTOL, ILS, IDS or XPDR)"},
    {"SameVesselTwice", [](json& s) { s["vessels"][1]["name"] = "Kestrel"; }, "/vessels/1/name",
     "a vessel named \"Kestrel\" already exists"},
    {"UnknownBody", [](json& s) { s["vessels"][0]["body"] = "Mars"; }, "/vessels/0/body", "unknown body \"Mars\""},
    {"UnknownBase", [](json& s) { s["vessels"][0]["landedAt"] = "Nowhere"; }, "/vessels/0/landedAt",
     "no base \"Nowhere\" on body \"Earth\""},
    {"TwoTouchdownPoints", [](json& s) { s["vessels"][1]["touchdownPoints"].erase(2); },
     "/vessels/1/touchdownPoints", "expected three points, found 2"},
    {"TouchdownPointNotANumber", [](json& s) { s["vessels"][1]["touchdownPoints"][1][1] = "low"; },
     "/vessels/1/touchdownPoints/1/1", "expected a number, found a string"},
    {"FractionalLaps", [](json& s) { s["vessels"][0]["pilot"]["loopLaps"] = 1.5; }, "/vessels/0/pilot/loopLaps",
     "expected a whole number, found 1.5"},
    {"UnknownPilotSetting", [](json& s) { s["vessels"][0]["pilot"]["flaps"] = 2; }, "/vessels/0/pilot/flaps",
     "unknown field"},
    {"NotARouteFileName", [](json& s) { s["vessels"][0]["route"] = "../short.json"; }, "/vessels/0/route",
     "\"../short.json\" is not a route file name (a plain name ending in .route)"},
    {"TinyDisplay", [](json& s) { s["displays"][0]["width"] = 8; }, "/displays/0/width",
     "must lie between 16 and 4096 pixels"},
    {"EventAfterTheEnd", [](json& s) { s["timeline"][13]["at"] = 2000; }, "/timeline/13/at",
     "must lie between 0 and the duration"},
    {"UnknownKeyName", [](json& s) { s["timeline"][4]["key"] = "Q"; }, "/timeline/4/key",
     "unknown key \"Q\" (P, N, L, S, D, C, KeypadPlus, KeypadMinus or a scan code)"},
    {"ButtonTwelve", [](json& s) { s["timeline"][7]["button"] = 12; }, "/timeline/7/button",
     "a display has buttons 0 to 11"},
    {"FocusAfterDeletion", [](json& s) { s["timeline"].push_back(json::object({{"at", 800}, {"focus", "Tug"}})); },
     "/timeline/14/focus", "vessel \"Tug\" was deleted before"},
    {"LastVesselDeleted", [](json& s) { s["timeline"].push_back(json::object({{"at", 800}, {"delete", "Kestrel"}})); },
     "/timeline/14/delete", "the last vessel cannot be deleted"},
    {"KeyAfterLeavingTheMode",
     [](json& s) {
       s["timeline"].push_back(json::object({{"at", 5}, {"display", 2}, {"leaveMode", true}}));
       s["timeline"].push_back(json::object({{"at", 6}, {"display", 2}, {"key", "L"}}));
     },
     "/timeline/15", "display 2 shows no mode at this time (select one with modeKey first)"},
};

class ScenarioFault : public ScenarioFile, public ::testing::WithParamInterface<Fault> {};

TEST_P(ScenarioFault, NamesFilePlaceAndFault) {
  json s = ShortDemo();
  s["routeFolder"] = kRouteFolder;
  GetParam().spoil(s);
  const ScenarioResult read = Read(s);
  EXPECT_FALSE(read.scenario);
  EXPECT_EQ(read.error, Path() + ": " + GetParam().place + ": " + GetParam().fault);
}

INSTANTIATE_TEST_SUITE_P(Scenario, ScenarioFault, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScenarioFile, RouteFolderIsRelativeToTheScenarioFile) {
  json s = ShortDemo();
  s["routeFolder"] = "routes";
  ScenarioResult read = Read(s);
  EXPECT_EQ(read.error, Path() + ": /routeFolder: folder " + folder_.File("routes") + " not found");
  fs::create_directories(folder_ / "routes");
  std::ofstream(folder_ / "routes" / "short-kestrel.route") << "";
  std::ofstream(folder_ / "routes" / "tug.route") << "";
  read = Read(s);
  ASSERT_TRUE(read.scenario) << read.error;
  EXPECT_EQ(read.scenario->routeFolder, folder_.File("routes"));
}

}  // namespace
}  // namespace simulator
