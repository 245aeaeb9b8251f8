// What check and parse print of a file's bytes on a terminal.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/route_test_support.h"
#include "tests/support/tool_run.h"

namespace {

// check and parse show a file's escape sequences and zero bytes escaped in
// every line meant for a terminal.
TEST(TerminalOutput, CheckAndParseShowFileBytesEscaped) {
  constexpr char kRoute[] =
      "BEGIN_POINTS\n1 2\nEND_POINTS\nBEGIN_RUNWAYS\n-1 -1\nEND_RUNWAYS\nBEGIN_WAYPOINTS\n"
      "POINT 0 TURN 5 0 0 \"a\0b\x1b[2J\"\nPOINT \x1b]0;t\x07 TURN 5\nEND_WAYPOINTS\n";
  const route_test::TempFile file(std::string(kRoute, sizeof kRoute - 1));
  const std::string& path = file.Path();
  const std::string error = "error converting \\x1b]0;t\\x07 to int.";
  const auto check = tools_test::RunTool("check " + path);
  EXPECT_EQ(check.out, path + ":8:22: warning: a zero byte: this does not look like a text file\n" + path +
                           ":9:7: error: " + error + "\n" + path +
                           ": the module loads 1 point, 0 runways, 1 waypoint; error text \"" + error + "\"\n");
  const auto parse = tools_test::RunTool("parse " + path);
  EXPECT_NE(parse.out.find("  \"a\\0b\\x1b[2J\"\n"), std::string::npos) << parse.out;
  EXPECT_NE(parse.out.find("\nError text: " + error + "\n"), std::string::npos) << parse.out;
  EXPECT_EQ(parse.err, error + "\n");
}

}  // namespace
