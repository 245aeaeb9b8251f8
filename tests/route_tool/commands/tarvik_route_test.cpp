// Runs the built tarvik-route program and reads back what it prints.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "route/route_file_reader.h"
#include "simhost/sim_host.h"
#include "tests/support/route_test_support.h"
#include "tests/support/tool_run.h"

namespace {

using route_test::TempFile;

using ToolRun = test_support::ProgramRun;
using tools_test::RunTool;

const std::string kExample = TARVIK_SOURCE_DIR "/examples/routes/example.route";

class TarvikRouteToolTest : public testing::Test {
 protected:
  void SetUp() override { simhost::host().Reset(); }
};

TEST_F(TarvikRouteToolTest, JsonOfExampleIsWhatTheReaderReads) {
  const ToolRun run = RunTool("parse --json " + kExample);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const nlohmann::json document = nlohmann::json::parse(run.out);

  RouteFileReader reader;
  const WaypointList waypoints = reader.ParseRouteFile(kExample);
  ASSERT_EQ(document["waypoints"].size(), 3u);
  for (std::size_t i = 0; i < waypoints.size(); ++i) {
    const nlohmann::json& w = document["waypoints"][i];
    std::vector<std::string> names;
    for (const auto& member : w.items()) names.push_back(member.key());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"acceptRadius", "altitude", "description", "latitude", "longitude",
                                               "loopTarget", "name", "speed", "task"}));
    // Numbers read back as the very same doubles.
    EXPECT_EQ(w["latitude"].get<double>(), waypoints[i].latitude);
    EXPECT_EQ(w["longitude"].get<double>(), waypoints[i].longitude);
    EXPECT_EQ(w["altitude"].get<double>(), waypoints[i].altitude);
    EXPECT_EQ(w["acceptRadius"].get<double>(), waypoints[i].acceptRadius);
    EXPECT_EQ(w["speed"].get<double>(), waypoints[i].speed);
    EXPECT_EQ(w["task"].get<int>(), waypoints[i].task);
    EXPECT_EQ(w["description"].get<std::string>(), waypoints[i].description);
    EXPECT_EQ(w["loopTarget"].get<int>(), 0);
  }
  ASSERT_EQ(document["runways"].size(), 1u);
  EXPECT_EQ(document["runways"][0]["centerLatitude"].get<double>(), reader.runways[0].centerLatitude);
  EXPECT_EQ(document["runways"][0]["end2Longitude"].get<double>(), reader.runways[0].end2Longitude);
  EXPECT_EQ(document["errorText"], "");
  EXPECT_EQ(document["errorFlag"], false);
  EXPECT_EQ(document["log"].get<std::vector<std::string>>(), simhost::host().LogLines());
}

TEST_F(TarvikRouteToolTest, JsonStaysCleanWhenErrorsAreEchoed) {
  const TempFile file("BEGIN_POINTS\n1 x\nEND_POINTS\n");
  const ToolRun run = RunTool("parse --json " + file.Path());
  EXPECT_EQ(run.exitCode, 1);
  const nlohmann::json document = nlohmann::json::parse(run.out);
  EXPECT_EQ(document["errorText"], "Error parsing file!\nEND_WAYPOINTS not found after BEGIN_WAYPOINTS?\n");
  EXPECT_EQ(document["errorFlag"], true);
  EXPECT_NE(run.err.find("error converting x to double."), std::string::npos);
}

TEST_F(TarvikRouteToolTest, JsonReplacesBytesThatAreNotUtf8AndWritesInfinityAsText) {
  const TempFile file(
      "BEGIN_POINTS\n1 2\nEND_POINTS\nBEGIN_RUNWAYS\n0 0\nEND_RUNWAYS\nBEGIN_WAYPOINTS\n"
      "POINT 0 TURN 1e999 -1e999 0 \"\xff\xc3\xa9\x01\\\"\nEND_WAYPOINTS\n");
  const ToolRun run = RunTool("parse --json " + file.Path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find(R"("acceptRadius":"inf","speed":0)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(R"("altitude":"-inf")"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(R"("description":")" "\xef\xbf\xbd\xc3\xa9" R"(\u0001\\")"), std::string::npos) << run.out;
}

// Every command writes a byte sequence that is not UTF-8 alike: one U+FFFD
// for each ill-formed sequence (a cut one, then a lone byte).
TEST_F(TarvikRouteToolTest, JsonOfEveryCommandReplacesEachIllFormedSequenceOnce) {
  const TempFile file("BEGIN_POINTS\n10 50\n11 \xe2\x82\xff\n12 52\nEND_POINTS\nBEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\n"
                      "BEGIN_WAYPOINTS\nPOINT 0 TURN 100\nEND_WAYPOINTS\n");
  const std::string replacement = "\xef\xbf\xbd";
  const std::string expected = "error converting " + replacement + replacement + " to double.";
  const nlohmann::json parsed = nlohmann::json::parse(RunTool("parse --json " + file.Path()).out);
  const nlohmann::json checked = nlohmann::json::parse(RunTool("check --json " + file.Path()).out);
  EXPECT_EQ(parsed["errorText"], expected);
  EXPECT_EQ(checked["files"][0]["module"]["errorText"], expected);
}

TEST_F(TarvikRouteToolTest, SummaryListsWaypointsAndRunways) {
  const ToolRun run = RunTool("parse " + kExample);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("  2  lat 28.400000  lon -80.500000 deg  TURN     radius 2000 m  alt 3000 m  speed 250 m/s  "
                         "\"Turn over the point\"\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("1 runway(s)\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Error text:"), std::string::npos);
}

TEST_F(TarvikRouteToolTest, SummaryOfAFaultyFileKeepsTheEchoApart) {
  const ToolRun run = RunTool("parse " TARVIK_SOURCE_DIR "/tests/data/bad_point.route");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("Route file ", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("Error text: error converting fifty to double.\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "error converting fifty to double.\n");
}

TEST_F(TarvikRouteToolTest, ExitStatusTwoForUsageAndUnopenableFiles) {
  struct Case {
    std::string arguments;
    std::string stderrHas;
  };
  const std::vector<Case> cases{
      {"", "expected a command"},
      {"frobnicate " + kExample, "unknown command"},
      {"parse", "expected one route file"},
      {"parse --json", "expected one route file"},
      {"parse /nonexistent/none.route", "cannot read /nonexistent/none.route"},
      {"parse --json /tmp", "cannot read /tmp: it is a folder"},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
    EXPECT_NE(run.err.find(c.stderrHas), std::string::npos) << c.arguments << ": " << run.err;
  }
  const ToolRun help = RunTool("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: tarvik-route check [--strict] [--json] FILE...\n", 0), 0u);
}

}  // namespace
