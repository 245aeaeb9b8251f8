// tarvik-route on a route file of 200,000 waypoints under a capped address
// space: memory follows the file, and memory running out is a message and
// a status, never an abort.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/tool_run.h"
#include "route_tool/commands/route_commands.h"

namespace {

using namespace route_tool;

using tools_test::TempFolder;

// The sanitizers reserve terabytes of address space for their shadow
// memory, so a capped address space says nothing about our memory there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
#define SKIP_WHEN_SANITIZED() \
  if (kSanitized) GTEST_SKIP() << "an address-space limit cannot hold a sanitized program; the plain build runs this"

constexpr int kWaypoints = 200'000;

std::string LargeRoute() {
  std::string text = "BEGIN_POINTS\n-80.6 28.6\n-80.7 28.5\nEND_POINTS\nBEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\nBEGIN_WAYPOINTS\n";
  for (int i = 0; i < kWaypoints; ++i) text += "POINT 0 TURN 100\n";
  return text + "END_WAYPOINTS\n";
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

// Ten times the file, and 16 MiB for the program and its libraries.
TEST(LargeInput, ParseNeedsAboutTenTimesTheFile) {
  SKIP_WHEN_SANITIZED();
  const TempFolder folder;
  const std::string route = LargeRoute();
  tools_test::WriteBytes(folder.File("large.route"), route);
  const std::string limit = "prlimit --as=" + std::to_string(10 * route.size() + (std::size_t{16} << 20)) + " ";
  const auto json = test_support::RunCommand(limit + tools_test::kTool + " parse --json " + folder.File("large.route"));
  EXPECT_EQ(json.exitCode, 0) << json.err;
  EXPECT_EQ(Count(json.out, "\"task\":0"), static_cast<std::size_t>(kWaypoints));
  EXPECT_TRUE(json.out.ends_with(",\"Tarvik MFD: Parsing completed!\"]}\n"));
  const auto summary =
      test_support::RunCommand(limit + tools_test::kTool + " parse " + folder.File("large.route"));
  EXPECT_EQ(summary.exitCode, 0) << summary.err;
  EXPECT_NE(summary.out.find("\n200000 waypoint(s)\n"), std::string::npos);
}

// Too little memory for the file at each step of a command: the reader's
// message (status 1) or the tool's (status 2), never a signal.
TEST(LargeInput, TooLittleMemoryIsAMessageAndAStatus) {
  SKIP_WHEN_SANITIZED();
  const TempFolder folder;
  tools_test::WriteBytes(folder.File("large.route"), LargeRoute());
  for (const std::string command : {"parse --json", "parse", "check"}) {
    for (const int mebibytes : {20, 28}) {
      const auto run = test_support::RunCommand("prlimit --as=" + std::to_string(mebibytes << 20) + " " +
                                                    tools_test::kTool + " " + command + " " + folder.File("large.route"));
      const std::string what = command + " in " + std::to_string(mebibytes) + " MiB";
      EXPECT_TRUE(run.exitCode == 1 || run.exitCode == 2) << what << ": " << run.exitCode;
      EXPECT_NE((run.out + run.err).find("not enough memory"), std::string::npos) << what;
    }
  }
}

// A reader that runs out of memory is not a fault of the file: the
// commands that need the route say so, not "see tarvik-route check".
TEST(LargeInput, ReaderOutOfMemoryIsSaidAsSuch) {
  SKIP_WHEN_SANITIZED();
  const TempFolder folder;
  tools_test::WriteBytes(folder.File("large.route"), LargeRoute());
  const std::string expected = std::string("tarvik-route: ") + route_tool::kNotEnoughMemory + "\n";
  for (const std::string& command :
       {std::string("legs"), "draw -o " + folder.File("plan.svg"), std::string("export --format gpx")}) {
    for (const int mebibytes : {20, 28}) {
      const auto run = test_support::RunCommand("prlimit --as=" + std::to_string(mebibytes << 20) + " " +
                                                    tools_test::kTool + " " + command + " " + folder.File("large.route"));
      const std::string what = command + " in " + std::to_string(mebibytes) + " MiB";
      EXPECT_EQ(run.exitCode, route_tool::kExitUsage) << what;
      EXPECT_EQ(run.err, expected) << what;
    }
  }
}

}  // namespace
