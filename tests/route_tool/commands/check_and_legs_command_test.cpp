// tarvik-route check and legs as a user runs them: output, exit status,
// and one clear message for input that is no route file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/route_test_support.h"
#include "tests/support/tool_run.h"

namespace {

using route_test::TempFile;

using tools_test::RunTool;

const std::string kData = TARVIK_SOURCE_DIR "/tests/data/";
const std::string kCircuit = TARVIK_SOURCE_DIR "/examples/routes/circuit.route";
const std::string kRover = TARVIK_SOURCE_DIR "/examples/routes/rover.route";

TEST(CheckCommand, ExitStatusSaysCleanErrorsOrWarningsUnderStrict) {
  struct Case {
    std::string arguments;
    int exitCode;
  };
  const std::vector<Case> cases{
      {"check " + kCircuit, 0},
      {"check " + kRover, 0},  // a warning only
      {"check --strict " + kRover, 1},
      {"check --strict " + kCircuit, 0},
      {"check " + kData + "bad_point.route", 1},
      {"check " + kCircuit + " " + kData + "bad_point.route", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(RunTool(c.arguments).exitCode, c.exitCode) << c.arguments;
}

TEST(CheckCommand, PrintsEachFilesDiagnosticsThenItsVerdict) {
  const auto run = RunTool("check " + kRover + " " + kData + "bad_point.route");
  EXPECT_EQ(run.out, kRover + ":3:1: warning: no waypoint uses runway 0\n" + kRover +
                         ": the module loads 4 points, 1 runway, 3 waypoints; no error\n" + kData +
                         "bad_point.route:3:4: error: error converting fifty to double.\n" + kData +
                         "bad_point.route: the module loads 1 point, 0 runways, 0 waypoints; error text \"error "
                         "converting fifty to double.\"\n");
  EXPECT_EQ(run.err, "");  // the reader's echo does not leak
}

TEST(CheckCommand, JsonHoldsTheSameDiagnosticsAsData) {
  const auto run = RunTool("check --json " + kData + "runway_not_found.route " + kRover);
  ASSERT_EQ(run.exitCode, 1);
  const nlohmann::json document = nlohmann::json::parse(run.out);
  ASSERT_EQ(document["files"].size(), 2u);
  const nlohmann::json& bad = document["files"][0];
  EXPECT_EQ(bad["path"], kData + "runway_not_found.route");
  EXPECT_EQ(bad["diagnostics"], nlohmann::json::parse(R"([{"line": 13, "column": 8, "severity": "error",
                                                          "message": "Runway in route not found!"}])"));
  EXPECT_EQ(bad["module"], nlohmann::json::parse(R"({"points": 3, "runways": 1, "waypoints": 2, "errorFlag": true,
                                                     "errorText": "Error: Runway in route not found!"})"));
  EXPECT_EQ(document["files"][1]["diagnostics"][0]["severity"], "warning");
}

TEST(CheckCommand, InputThatIsNoRouteFileGetsOneMessageAndStatusTwo) {
  struct Case {
    std::string arguments;
    std::string err;
  };
  const std::vector<Case> cases{
      {"check /nonexistent/a.route", "tarvik-route: cannot read /nonexistent/a.route: No such file or directory\n"},
      {"check /tmp", "tarvik-route: cannot read /tmp: it is a folder\n"},
      {"check", "tarvik-route: expected one or more route files\nUsage: tarvik-route check [--strict] [--json] FILE...\n"},
      {"check --fast " + kCircuit,
       "tarvik-route: unknown option --fast\nUsage: tarvik-route check [--strict] [--json] FILE...\n"},
  };
  for (const Case& c : cases) {
    const auto run = RunTool(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
    EXPECT_EQ(run.err, c.err) << c.arguments;
  }
  // The readable file of several is still checked.
  const auto mixed = RunTool("check /nonexistent/a.route " + kCircuit);
  EXPECT_EQ(mixed.exitCode, 2);
  EXPECT_EQ(mixed.out, kCircuit + ": the module loads 4 points, 1 runway, 5 waypoints; no error\n");
}

TEST(CheckCommand, BinaryFileIsSaidToBeOneAtItsFirstZeroByte) {
  const TempFile binary(std::string("BEGIN_POINTS\n1 2\x00\x01", 17));
  const auto run = RunTool("check " + binary.Path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("\n" + binary.Path() + ":2:4: warning: a zero byte: this does not look like a text file\n"), std::string::npos)
      << run.out;
}

TEST(CheckCommand, EndlessFileIsTooLargeForTheModuleAndTheCheck) {
  const auto run = RunTool("check /dev/zero");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out,
            "/dev/zero: error: the route file is larger than 256 MiB and is not read!\n"
            "/dev/zero: the module loads 0 points, 0 runways, 0 waypoints; error text \"Error: the route file is "
            "larger than 256 MiB and is not read!\"\n");
  const auto import = RunTool("import /dev/zero -o /tmp/never-written.route --radius 5");
  EXPECT_EQ(import.exitCode, 2);
  EXPECT_EQ(import.err, "tarvik-route: cannot read /dev/zero: it is larger than 256 MiB\n");
}

// A pipe or a FIFO can be read only once: every command reads its input
// once and says what it says of the file itself.
TEST(RouteCommands, InputThatCanBeReadOnlyOnceIsReadOnce) {
  const test_support::TempFolder folder;
  const std::string fifo = folder.File("route.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string kTool = tools_test::kTool + " ";
  const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
    return text;
  };
  for (const std::string command : {"check", "check --json", "legs", "parse --json", "export --format geojson"}) {
    const auto fromFile = RunTool(command + " " + kCircuit);
    ASSERT_EQ(fromFile.exitCode, 0) << command;
    const auto fromPipe = test_support::RunCommand("cat " + kCircuit + " | " + kTool + command + " /dev/stdin");
    EXPECT_EQ(fromPipe.exitCode, 0) << command;
    EXPECT_EQ(replaced(fromPipe.out, "/dev/stdin", kCircuit), fromFile.out) << command;
    // The writer and the command give up after a while, should the FIFO be
    // opened twice.
    const auto fromFifo = test_support::RunCommand(
        "timeout 10 sh -c 'cat " + kCircuit + " >" + fifo + "' & timeout 10 " + kTool + command + " " + fifo);
    EXPECT_EQ(fromFifo.exitCode, 0) << command;
    EXPECT_EQ(replaced(fromFifo.out, fifo, kCircuit), fromFile.out) << command;
  }
}

TEST(CheckCommand, FailedOutputFailsTheRun) {
  EXPECT_EQ(RunTool("check " + kCircuit + " >/dev/full").exitCode, 2);
  EXPECT_EQ(RunTool("legs " + kCircuit + " >/dev/full").exitCode, 2);
  EXPECT_EQ(RunTool("parse " + kCircuit + " >/dev/full").exitCode, 2);
  EXPECT_EQ(RunTool("parse --json " + kCircuit + " >/dev/full").exitCode, 2);
}

TEST(LegsCommand, TableOfTheCircuitWithItsLoopNote) {
  const auto run = RunTool("legs " + kCircuit);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "Legs of " + kCircuit + " (body radius 6371010 m)\n"
            "leg  from    to  distance km  course deg  cumulative km  speed m/s     time\n"
            "  1     1     2        7.189        39.3          7.189         90  0:01:20\n"
            "  2     2     3        9.113       270.0         16.302         90  0:01:41\n"
            "  3     3     4        6.267       167.4         22.569         80  0:01:18\n"
            "  -     4     1        3.240        80.1              -          0        -  loop back\n"
            "  4     4     5        3.240        80.1         25.809          0        -\n"
            "Total 25.809 km, 0:04:19 en route (1 leg toward a waypoint of speed 0 not timed)\n"
            "Loop at waypoint 4: the route continues at waypoint 1; one lap (1 to 4 and back) is 25.809 km, not "
            "timed. Laps are shown once: the total flies the route once and leaves the way back out.\n");
}

TEST(LegsCommand, RefusesARouteTheModuleReadsWithAnErrorAndBadRadii) {
  const auto bad = RunTool("legs " + kData + "bad_point.route");
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "tarvik-route: " + kData + "bad_point.route: the module reads this file with an error; see " +
                         "tarvik-route check " + kData + "bad_point.route\n");
  for (const std::string radius : {"0", "-5", "x", "1e400"}) {
    const auto run = RunTool("legs --body-radius " + radius + " " + kCircuit);
    EXPECT_EQ(run.exitCode, 2) << radius;
    EXPECT_EQ(run.out, "") << radius;
  }
  EXPECT_EQ(RunTool("legs --body-radius 1737400 " + kCircuit).exitCode, 0);
}

}  // namespace
