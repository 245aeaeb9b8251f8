// tarvik-route from-base, run as a user runs it: the skeleton it writes,
// that the module's reader reads it back, and one message and nothing
// written for each fault.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/route_test_support.h"
#include "tests/support/tool_run.h"
#include "route_tool/core/route_file_writer.h"
#include "route_tool/core/route_source.h"

namespace {

using namespace route_tool;

using route_test::TempFile;

const std::string kBases = TARVIK_SOURCE_DIR "/tests/data/bases";
const std::string kTestField = kBases + "/test_field.cfg";

test_support::ProgramRun RunTool(const std::string& arguments) { return tools_test::RunTool("from-base " + arguments); }

using test_support::ReadBytes;

// A folder of its own for each test's output, removed afterwards.
class FromBase : public testing::Test {
 protected:
  std::string Out() const { return folder_.File("out.route"); }
  const test_support::TempFolder folder_;
};

constexpr char kTestFieldSkeleton[] =
    "# Test Field: a route skeleton from test_field.cfg (tarvik-route from-base).\n"
    "# Location -80.5 +28.5 (line 4); the base's metres turned into degrees as the host does,\n"
    "# on a sphere of radius 6371010 m (Earth's; no planet file beside the base's folder),\n"
    "# to 7 decimals (about 1 cm).\n"
    "# Take-off from and landing on runway 0; add the route's waypoints between them.\n"
    "\n"
    "BEGIN_POINTS\n"
    "# longitude latitude [deg]\n"
    "-80.5051167 28.4910068  # runway 1 end 1 (END1 1000 0 -500)\n"
    "-80.4948833 28.5089932  # runway 1 end 2 (END2 -1000 0 500)\n"
    "-80.49693 28.5017986  # pad 1 (lpad2a pos -200 0 300 NAV 130.5, line 23)\n"
    "-80.5 28.4964027  # pad 2 (MESH POS 400 0 0, line 27)\n"
    "END_POINTS\n"
    "\n"
    "BEGIN_RUNWAYS\n"
    "# point numbers of the two ends, from 0\n"
    "0 1  # the base's runway 1 (line 17)\n"
    "END_RUNWAYS\n"
    "\n"
    "BEGIN_WAYPOINTS\n"
    "# reference index task radius[m] altitude[m] speed[m/s] \"description\"\n"
    "RUNWAY 0 TAKEOFF 0 0 0 \"Take-off, runway 1 of Test Field\"  # radius 0: wherever the vessel is\n"
    "RUNWAY 0 LAND 1119 0 0 \"Landing, runway 1 of Test Field\"  # radius: half the runway's length\n"
    "END_WAYPOINTS\n"
    "\n"
    "# The base's VOR beacons (identifier, frequency, longitude latitude):\n"
    "# VOR TFX 113.25 MHz -80.4 28.45 (line 9)\n";

TEST_F(FromBase, WritesTheSkeletonToStandardOutput) {
  const test_support::ProgramRun run = RunTool(kTestField);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kTestFieldSkeleton);
}

TEST_F(FromBase, WritesTheFileThatTheModulesReaderReadsWithoutError) {
  const test_support::ProgramRun run = RunTool(kTestField + " -o " + Out());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadBytes(Out()), kTestFieldSkeleton);
  EXPECT_FALSE(std::filesystem::exists(Out() + ".partial"));

  const RouteSource source = ReadRouteSource(Out());
  EXPECT_FALSE(source.errorFlag) << source.errorText;
  ASSERT_EQ(source.points.size(), 4u);
  EXPECT_EQ(source.points[0].longitude, -80.5051167);
  EXPECT_EQ(source.points[0].latitude, 28.4910068);
  EXPECT_EQ(source.points[3].longitude, -80.5);
  ASSERT_EQ(source.runways.size(), 1u);
  EXPECT_EQ(source.runwayEnds[0].end1Point, 0);
  EXPECT_EQ(source.runwayEnds[0].end2Point, 1);
  ASSERT_EQ(source.waypoints.size(), 2u);
  EXPECT_EQ(source.waypoints[0].task, Takeoff);
  EXPECT_EQ(source.waypoints[1].task, Land);
  EXPECT_EQ(source.waypoints[1].acceptRadius, 1119.0);
  for (const WaypointReference& reference : source.references) {
    EXPECT_TRUE(reference.onRunway);
    EXPECT_EQ(reference.index, 0);
  }
}

// Config/Mars/Base/Red_Strip.cfg belongs to Config/Mars.cfg, Size 3.39e6:
// 1000 m east at 20 degrees south is 0.0179861 degrees there, not Earth's
// 0.0095706.
TEST_F(FromBase, TakesThePlanetsRadiusFromThePlanetFile) {
  const test_support::ProgramRun run = RunTool(kBases + "/Config/Mars/Base/Red_Strip.cfg -o " + Out());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string text = ReadBytes(Out());
  EXPECT_NE(text.find("# on a sphere of radius 3390000 m (Size in Mars.cfg),\n"), std::string::npos) << text;
  const RouteSource source = ReadRouteSource(Out());
  ASSERT_FALSE(source.errorFlag) << source.errorText;
  ASSERT_EQ(source.points.size(), 2u);
  EXPECT_EQ(source.points[0].longitude, 9.9820139);
  EXPECT_EQ(source.points[1].longitude, 10.0179861);
  EXPECT_EQ(source.points[1].latitude, -20.0);
}

struct Fault {
  const char* name;
  std::string baseText;   // the bytes of the file {base} names
  std::string arguments;  // {base}: the base file, {out}: the output file, {dir}: the test's folder
  int exitCode;
  std::string message;  // with {base} and {dir} as in `arguments`
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

class FromBaseFault : public FromBase, public testing::WithParamInterface<Fault> {};

TEST_P(FromBaseFault, SaysWhatAndWhereAndWritesNothing) {
  const Fault& fault = GetParam();
  const TempFile base(fault.baseText);
  const auto filled = [&](const std::string& text) {
    return Replaced(Replaced(Replaced(text, "{base}", base.Path()), "{out}", Out()), "{dir}", folder_.Path());
  };
  const test_support::ProgramRun run = RunTool(filled(fault.arguments));
  EXPECT_EQ(run.exitCode, fault.exitCode);
  EXPECT_EQ(run.err, "tarvik-route: " + filled(fault.message) + "\n");
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(std::filesystem::exists(Out()));
  EXPECT_FALSE(std::filesystem::exists(Out() + ".partial"));
}

const std::string kRunwayList = "BEGIN_OBJECTLIST\nRUNWAY\nEND1 1 2 3\nEND2 4 5 6\nEND\nEND_OBJECTLIST\n";
const std::string kUsageLine = "\nUsage: tarvik-route from-base BASE.cfg [-o FILE.route]";

INSTANTIATE_TEST_SUITE_P(
    Faults, FromBaseFault,
    testing::Values(
        Fault{"MissingFile", "", "/no/such/base.cfg -o {out}", 2,
              "cannot read /no/such/base.cfg: No such file or directory"},
        Fault{"Folder", "", kBases + " -o {out}", 2, "cannot read " + kBases + ": it is a folder"},
        Fault{"BinaryFile", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\n", 11), "{base} -o {out}", 1,
              "{base}:1: not a text file: a NUL byte"},
        Fault{"NoLocation", "BASE-V2.0\n" + kRunwayList, "{base} -o {out}", 1,
              "{base}: no Location (the base's longitude and latitude in degrees)"},
        Fault{"NoRunway", "Location = 1 2\nBEGIN_OBJECTLIST\nLPAD2\nPOS 1 2 3\nEND\nEND_OBJECTLIST\n", "{base} -o {out}", 1,
              "{base}: no RUNWAY in the base's object list"},
        Fault{"BadRunwayNumber", "Location = 1 2\nBEGIN_OBJECTLIST\nRUNWAY\nEND1 1 2 3\nEND2 4 5 six\nEND\n",
              "{base} -o {out}", 1, "{base}:5: END2: expected three numbers in metres, not '4 5 six'"},
        Fault{"BadPadNumber",
              "Location = 1 2\nBEGIN_OBJECTLIST\nRUNWAY\nEND1 1 2 3\nEND2 4 5 6\nEND\nLPAD2A\n  POS 1 2 x\nEND\n",
              "{base} -o {out}", 1, "{base}:8: POS: expected three numbers in metres, not '1 2 x'"},
        Fault{"WriteToFullDevice", "Location = 1 2\n" + kRunwayList, "{base} -o /dev/full", 2,
              "cannot write /dev/full: No space left on device"},
        Fault{"WriteIntoMissingFolder", "Location = 1 2\n" + kRunwayList, "{base} -o {dir}/missing/x.route", 2,
              "cannot write {dir}/missing/x.route: No such file or directory"},
        Fault{"StandardOutputFull", "Location = 1 2\n" + kRunwayList, "{base} > /dev/full", 2,
              "cannot write standard output: No space left on device"},
        Fault{"NoArguments", "", "", 2, "expected a base file" + kUsageLine},
        Fault{"TwoBases", "", "a.cfg b.cfg", 2, "expected one base file" + kUsageLine},
        Fault{"OutWithoutName", "", "a.cfg -o", 2, "-o needs a value" + kUsageLine},
        Fault{"UnknownOption", "", "a.cfg --radius 5", 2, "unknown option --radius" + kUsageLine}),
    [](const testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

}  // namespace
