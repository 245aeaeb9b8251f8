// The reader's reports, and files of any bytes and any size.
#include "route/route_file_reader.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "tests/route/route_file_reader_fixture.h"

namespace {

using namespace route_reader_test;  // NOLINT(google-build-using-namespace)

// The files of tests/data, which also seed the fuzzer, against the table
// of what an error leaves behind.
TEST_F(RouteFileReaderTest, DataFilesLeaveWhatTheirFirstErrorLeaves) {
  struct DataCase {
    const char* file;
    std::size_t waypoints;
    std::size_t runways;
    std::string errorText;
  };
  const std::vector<DataCase> cases{
      {"bad_point.route", 0, 0, "error converting fifty to double."},
      {"markers_on_one_line.route", 0, 0, kPointsMissing},
      {"missing_runways.route", 0, 0, kRunwaysMissing},
      {"odd_numbers.route", 0, 1, "error converting 1e-400 to double."},
      {"runway_not_found.route", 2, 1, "Error: Runway in route not found!"},
  };
  for (const DataCase& c : cases) {
    const Outcome out = ParsePath(std::string(TARVIK_SOURCE_DIR "/tests/data/") + c.file);
    EXPECT_EQ(out.waypoints.size(), c.waypoints) << c.file;
    EXPECT_EQ(out.runways.size(), c.runways) << c.file;
    EXPECT_EQ(out.errorText, c.errorText) << c.file;
  }
}

// --- ReportError ------------------------------------------------------------------

TEST_F(RouteFileReaderTest, ReportLogsMessagesUpTo498Characters) {
  const std::size_t lengths[] = {0, 498, 499, 600};
  for (const std::size_t length : lengths) {
    simhost::host().ClearLog();
    RouteFileReader reader;
    const std::string message(length, 'm');
    testing::internal::CaptureStdout();
    reader.ReportError(message);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), message);
    const std::string logged = length < 499 ? message : "Tarvik MFD: Error log to lonng!";
    EXPECT_EQ(simhost::host().LogLines(), (Log{"Tarvik MFD Log:", logged})) << length;
    EXPECT_EQ(reader.errorText, message);
    EXPECT_TRUE(reader.errorFlag);
  }
}

TEST_F(RouteFileReaderTest, ReportEchoesWithoutFormatting) {
  RouteFileReader reader;
  testing::internal::CaptureStdout();
  reader.ReportError("first %s %d\n");
  reader.ReportError("second");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "first %s %d\nsecond");
  EXPECT_EQ(reader.errorText, "second");
}

// A tool chooses where the echo goes; standard output then stays untouched.
TEST_F(RouteFileReaderTest, ReportEchoGoesOnlyToTheChosenEcho) {
  const TempFile file(Route("10 50\n11 x\n12 52\n", "0 1\n", "POINT 0 TURN 100\n"));
  std::string echoed;
  RouteFileReader reader;
  reader.SetReportEcho([&echoed](std::string_view message) { echoed += message; });
  testing::internal::CaptureStdout();
  reader.ParseRouteFile(file.Path());
  reader.SetReportEcho(DiscardEcho);
  reader.ReportError("dropped");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(echoed, "error converting x to double.");
  EXPECT_EQ(reader.errorText, "dropped");
}

// --- Files of any bytes --------------------------------------------------------------

TEST_F(RouteFileReaderTest, HundredMegabyteLineWithoutLineFeed) {
  std::string file = "BEGIN_POINTS 10 50 END_POINTS BEGIN_RUNWAYS 0 0 END_RUNWAYS BEGIN_WAYPOINTS POINT 0 LOOP 5 ";
  const std::string filler = "12.5\t  7 ";
  while (file.size() < 100'000'000) file += filler;
  file += "END_WAYPOINTS";
  const auto start = std::chrono::steady_clock::now();
  const Outcome out = Parse(file);
  std::printf("100 MB line read in %.2f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  EXPECT_EQ(out.errorText, "");
  ASSERT_EQ(out.waypoints.size(), 1u);
  EXPECT_EQ(out.waypoints[0].altitude, 12.5);
  EXPECT_EQ(out.waypoints[0].speed, 7);
  EXPECT_EQ(out.runways.size(), 1u);
}

TEST_F(RouteFileReaderTest, NulAndEightBitBytesAreTextLikeAnyOther) {
  std::string file = RouteWithWaypoints("POINT 0 TURN 100 0 0 \"\xe9t\xff\"\nPOINT 1 TURN 1\0x\n");
  file += std::string("\0\0\x80", 3);
  const Outcome out = Parse(file);
  EXPECT_EQ(out.errorText, "");
  ASSERT_EQ(out.waypoints.size(), 2u);
  EXPECT_EQ(out.waypoints[0].description, "\xe9t\xff");
}

// A file larger than the memory the process may use: sparse, so it costs
// no disk. The read runs in a child whose address space is capped.
// A file larger than any route, an endless device: read no further than
// the limit, and said so in one message.
TEST_F(RouteFileReaderTest, FileLargerThanAnyRouteIsNotRead) {
  const TempFile large("");
  ASSERT_EQ(truncate(large.Path().c_str(), static_cast<off_t>(kLargestRouteFileBytes) + 1), 0);
  for (const std::string& path : {large.Path(), std::string("/dev/zero")}) {
    simhost::host().ClearLog();
    const Outcome out = ParsePath(path);
    EXPECT_EQ(out.errorText, "Error: the route file is larger than 256 MiB and is not read!") << path;
    EXPECT_EQ(out.log, Join({kStart, Report(out.errorText), kCompleted})) << path;
    EXPECT_TRUE(out.waypoints.empty());
  }
}

TEST_F(RouteFileReaderTest, FileLargerThanMemoryIsReportedNotThrown) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs an uncapped address space";
#else
  // Below the largest route file, above the memory left to the reader.
  const TempFile file("");
  ASSERT_EQ(truncate(file.Path().c_str(), 200L << 20), 0);
  std::size_t sizePages = 0;
  std::ifstream("/proc/self/statm") >> sizePages;
  const rlim_t limit = sizePages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (128L << 20);
  const pid_t child = fork();
  if (child == 0) {
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_AS, &cap);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(2);
    RouteFileReader reader;
    reader.ParseRouteFile(file.Path());
    _exit(reader.errorText == "Error: not enough memory to read the route file!" &&
                  simhost::host().LogLines().back() == "Tarvik MFD: Parsing completed!"
              ? 0
              : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
#endif
}

}  // namespace
