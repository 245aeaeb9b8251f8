// What export and import do with bad input: one message naming the file
// and the place, the exit status, and nothing written.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "simhost/sim_host.h"
#include "tests/support/tool_run.h"

namespace {

using tools_test::kSource;
using tools_test::RunTool;
using tools_test::TempFolder;

const std::string kImportUsage = "Usage: tarvik-route import FILE.gpx -o FILE.route [--radius METRES]\n";
const std::string kExportUsage = "Usage: tarvik-route export --format gpx|geojson FILE [-o OUT]\n";
// A GPX file up to its first point, which is on line 3.
const std::string kGpx = "<?xml version=\"1.0\"?>\n<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\">\n";
const std::string kRoute =
    "BEGIN_POINTS\n10 52\nEND_POINTS\nBEGIN_RUNWAYS\n-1 -1\nEND_RUNWAYS\nBEGIN_WAYPOINTS\nPOINT 0 TURN 5\n"
    "END_WAYPOINTS\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

struct BadInputCase {
  const char* name;
  std::optional<std::string> input;  // the bytes of {in}
  std::string arguments;             // {in} the input, {out} the output, {dir} the test's folder
  int exitCode;
  std::string message;  // after "tarvik-route: ", same placeholders
};

// Our own export of a one-point route with one field changed.
std::string OurPoint(const std::string& fields) {
  return kGpx + "<rte><extensions><tarvik:route xmlns:tarvik=\"urn:tarvik-mfd:route:1\">" +
         "<tarvik:point lat=\"52\" lon=\"10\"/></tarvik:route></extensions>\n" +
         "<rtept lat=\"52\" lon=\"10\"><extensions>\n<tarvik:waypoint xmlns:tarvik=\"urn:tarvik-mfd:route:1\" " +
         fields + "/></extensions></rtept></rte></gpx>\n";
}

const std::string kFields =
    "reference=\"POINT\" index=\"0\" task=\"TURN\" loopTarget=\"0\" acceptRadiusMetres=\"5\" altitudeMetres=\"0\" "
    "speedMetresPerSecond=\"0\"";

std::vector<BadInputCase> ImportCases() {
  const std::string data = kSource + "/tests/data/gpx/";
  return {
      {"missing GPX", std::nullopt, "import {dir}/none.gpx -o {out}", 2,
       "cannot read {dir}/none.gpx: No such file or directory\n"},
      {"folder", std::nullopt, "import {dir} -o {out}", 2, "cannot read {dir}: it is a folder\n"},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "import {in} -o {out}", 1,
       "{in}:3:1: not an XML file: a binary file (a NUL byte here)\n"},
      {"not XML", std::nullopt, "import " + data + "not_xml.gpx -o {out}", 1,
       data + "not_xml.gpx:3:1: not an XML file: No document element found\n"},
      {"tags that do not match", "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">\n  <rte>\n</gpx>\n",
       "import {in} -o {out}", 1, "{in}:3:3: not an XML file: Start-end tags mismatch\n"},
      {"not GPX", std::nullopt, "import " + data + "not_gpx.gpx -o {out}", 1,
       data + "not_gpx.gpx:2:1: not a GPX file: the root element is <kml> in namespace "
              "\"http://www.opengis.net/kml/2.2\", not <gpx> in the GPX 1.1 or 1.0 namespace\n"},
      {"gpx in no namespace", "<?xml version=\"1.0\"?>\n <gpx version=\"1.1\"/>", "import {in} -o {out}", 1,
       "{in}:2:2: not a GPX file: the root element is <gpx> in namespace \"\", not <gpx> in the GPX 1.1 or 1.0 "
       "namespace\n"},
      {"no points", "<?xml version=\"1.0\"?>\n<gpx xmlns=\"http://www.topografix.com/GPX/1/0\"><rte/><trk/></gpx>",
       "import {in} -o {out} --radius 5", 1, "{in}:2:1: the GPX file has no route, track or waypoint points\n"},
      {"latitude not a number", kGpx + "<wpt lat=\"52x\" lon=\"10\"/></gpx>", "import {in} -o {out} --radius 5", 1,
       "{in}:3:1: lat \"52x\" is not a number from -90 to 90\n"},
      {"latitude beyond the pole", kGpx + "<wpt lat=\"90.5\" lon=\"10\"/></gpx>",
       "import {in} -o {out} --radius 5", 1, "{in}:3:1: lat \"90.5\" is not a number from -90 to 90\n"},
      {"longitude out of range", kGpx + "<rte><rtept lat=\"0\" lon=\"-180.01\"/></rte></gpx>",
       "import {in} -o {out} --radius 5", 1, "{in}:3:6: lon \"-180.01\" is not a number from -180 to 180\n"},
      {"longitude not finite", kGpx + "<trk><trkseg><trkpt lat=\"0\" lon=\"inf\"/></trkseg></trk></gpx>",
       "import {in} -o {out} --radius 5", 1, "{in}:3:14: lon \"inf\" is not a number from -180 to 180\n"},
      {"no latitude", kGpx + "<wpt lon=\"10\"/></gpx>", "import {in} -o {out} --radius 5", 1,
       "{in}:3:1: <wpt> has no lat attribute\n"},
      {"our task unknown", OurPoint(Replaced(kFields, "TURN", "HOVER")), "import {in} -o {out}", 1,
       "{in}:5:1: task \"HOVER\" is not TURN, LOOP, TAKEOFF or LAND\n"},
      {"our loop target outside", OurPoint(Replaced(Replaced(kFields, "TURN", "LOOP"), "\"0\" acc", "\"1\" acc")),
       "import {in} -o {out}", 1, "{in}:5:1: loopTarget \"1\" is not a waypoint of the route, from 0 to 0\n"},
      {"our reference unknown", OurPoint(Replaced(kFields, "POINT", "RUNWAY")), "import {in} -o {out}", 1,
       "{in}:5:1: index \"0\" names no runway of the route\n"},
      {"our radius not a number", OurPoint(Replaced(kFields, "\"5\"", "\"five\"")), "import {in} -o {out}", 1,
       "{in}:5:1: acceptRadiusMetres \"five\" is not a number\n"},
      {"our exact description cut short", OurPoint(kFields + " description=\"100%2\""), "import {in} -o {out}", 1,
       "{in}:5:1: description has a '%' without two hex digits after it\n"},
      {"no radius for a plain point", kGpx + "<wpt lat=\"1\" lon=\"2\"/></gpx>", "import {in} -o {out}", 2,
       "{in}:3:1: this point has no acceptance radius of ours; give one with --radius METRES\n" + kImportUsage},
      {"radius not a number", kGpx + "<wpt lat=\"1\" lon=\"2\"/></gpx>", "import {in} -o {out} --radius 5m", 2,
       "--radius needs a number of metres from 0 up, not 5m\n" + kImportUsage},
      {"no output", kGpx + "<wpt lat=\"1\" lon=\"2\"/></gpx>", "import {in} --radius 5", 2,
       "expected -o FILE.route\n" + kImportUsage},
      {"output into a missing folder", kGpx + "<wpt lat=\"1\" lon=\"2\"/></gpx>",
       "import {in} -o {dir}/no/out.route --radius 5", 2,
       "cannot write {dir}/no/out.route: No such file or directory\n"},
      {"output onto a full device", kGpx + "<wpt lat=\"1\" lon=\"2\"/></gpx>", "import {in} -o /dev/full --radius 5",
       2, "cannot write /dev/full: No space left on device\n"},
      {"output onto the input", kGpx + "<wpt lat=\"1\" lon=\"2\"/></gpx>", "import {in} -o {in} --radius 5", 2,
       "cannot write {in}: it is the input file {in}\n"},
  };
}

std::vector<BadInputCase> ExportCases() {
  const std::string data = kSource + "/tests/data/";
  return {
      {"missing route", std::nullopt, "export --format gpx {dir}/none.route -o {out}", 2,
       "cannot read {dir}/none.route: No such file or directory\n"},
      {"folder", std::nullopt, "export --format geojson {dir} -o {out}", 2, "cannot read {dir}: it is a folder\n"},
      {"route read with an error", std::nullopt, "export --format gpx " + data + "bad_point.route -o {out}", 1,
       data + "bad_point.route: the module reads this file with an error; see tarvik-route check " + data +
           "bad_point.route\n"},
      {"binary route", std::string("\x7f" "ELF\2\1\1\0\0\0", 10), "export --format geojson {in} -o {out}", 1,
       "{in}: the module reads this file with an error; see tarvik-route check {in}\n"},
      {"latitude GPX cannot hold", Replaced(kRoute, "10 52", "10 95"), "export --format gpx {in} -o {out}", 1,
       "{in}:2: point 0 has latitude 95, not a number from -90 to 90, which GPX cannot hold\n"},
      // The line as the file counts it: blank and comment lines are not points.
      {"latitude GeoJSON cannot hold, on a later line", Replaced(kRoute, "10 52\n", "10 52\r\n\n# north\n10 -90.5\n"),
       "export --format geojson {in} -o {out}", 1,
       "{in}:5: point 1 has latitude -90.5, not a number from -90 to 90, which GeoJSON cannot hold\n"},
      {"unknown format", kRoute, "export --format kml {in} -o {out}", 2,
       "unknown format kml; expected gpx or geojson\n" + kExportUsage},
      {"no format", kRoute, "export {in} -o {out}", 2, "expected --format gpx or --format geojson\n" + kExportUsage},
      {"output into a missing folder", kRoute, "export --format gpx {in} -o {dir}/no/out.gpx", 2,
       "cannot write {dir}/no/out.gpx: No such file or directory\n"},
      {"standard output full", kRoute, "export --format geojson {in} >/dev/full", 2,
       "cannot write standard output: No space left on device\n"},
      {"output onto the input", kRoute, "export --format gpx {in} -o {in}", 2,
       "cannot write {in}: it is the input file {in}\n"},
  };
}

// What a failed command leaves: the input as it was given, and nothing else.
void RunCases(const std::vector<BadInputCase>& cases) {
  for (const BadInputCase& test : cases) {
    SCOPED_TRACE(test.name);
    const TempFolder folder;
    const std::string in = folder.File("in");
    if (test.input) tools_test::WriteBytes(in, *test.input);
    const auto fill = [&](const std::string& text) {
      return Replaced(Replaced(Replaced(text, "{in}", in), "{out}", folder.File("out")), "{dir}", folder.Path());
    };
    const auto run = RunTool(fill(test.arguments));
    EXPECT_EQ(run.exitCode, test.exitCode);
    EXPECT_EQ(run.err, "tarvik-route: " + fill(test.message));
    EXPECT_EQ(run.out, "");
    // Nothing beside the input: no output, no half-written file.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
      left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, test.input ? std::vector<std::string>{"in"} : std::vector<std::string>{});
    if (test.input) {
      EXPECT_EQ(tools_test::ReadBytes(in), *test.input);
    }
  }
}

TEST(ExportImportErrors, BadImportGivesOneMessageAndWritesNothing) {
  simhost::host().Reset();
  RunCases(ImportCases());
}

TEST(ExportImportErrors, BadExportGivesOneMessageAndWritesNothing) {
  simhost::host().Reset();
  RunCases(ExportCases());
}

// "-o -" is standard output for every command that takes -o, and no file
// named "-" is made.
TEST(OutputOption, DashIsStandardOutput) {
  const TempFolder folder;
  tools_test::WriteBytes(folder.File("in.gpx"), kGpx + "<wpt lat=\"1\" lon=\"2\"/></gpx>");
  tools_test::WriteBytes(folder.File("in.route"), kRoute);
  const std::string tool = "cd '" + folder.Path() + "' && " + tools_test::kTool;
  const auto imported = test_support::RunCommand(tool + " import in.gpx -o - --radius 5");
  EXPECT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_NE(imported.out.find("\nPOINT 0 TURN 5 0 0 \"\"\nEND_WAYPOINTS\n"), std::string::npos) << imported.out;
  const auto exported = test_support::RunCommand(tool + " export --format geojson in.route -o -");
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_EQ(exported.out, test_support::RunCommand(tool + " export --format geojson in.route").out);
  const auto drawn = test_support::RunCommand(tool + " draw in.route -o -");
  EXPECT_EQ(drawn.exitCode, 0) << drawn.err;
  EXPECT_TRUE(drawn.out.starts_with("\x89PNG\r\n\x1a\n"));
  EXPECT_FALSE(std::filesystem::exists(folder.File("-")));
}

}  // namespace
