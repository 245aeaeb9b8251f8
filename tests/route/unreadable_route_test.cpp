// A route file that exists but may not be read: the reader goes on as for a
// missing file, and one host log line says why.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "route/route_file_reader.h"
#include "simhost/sim_host.h"
#include "tests/support/route_test_support.h"
#include "tests/support/unprivileged.h"

namespace {

struct Parsed {
  std::vector<std::string> log;
  std::string errorText;
};

Parsed Parse(const std::string& path) {
  simhost::host().ClearLog();
  RouteFileReader reader;
  reader.ParseRouteFile(path);
  return {simhost::host().LogLines(), reader.errorText};
}

TEST(UnreadableRouteFile, LogsPermissionDeniedThenReadsAsAMissingFile) {
  simhost::host().Reset();
  const route_test::TempFile file("BEGIN_POINTS\n1 2\nEND_POINTS\nBEGIN_RUNWAYS\n-1 -1\nEND_RUNWAYS\n"
                                  "BEGIN_WAYPOINTS\nPOINT 0 TURN 100\nEND_WAYPOINTS\n");
  ASSERT_EQ(chmod(file.Path().c_str(), 0), 0);
  const int result = test_support::InUnprivilegedChild([&] {
    const Parsed missing = Parse(file.Path() + ".missing");
    const Parsed locked = Parse(file.Path());
    std::vector<std::string> expected = missing.log;
    expected.insert(expected.begin() + 1, "Tarvik MFD: permission denied: " + file.Path());
    const bool same = locked.log == expected && locked.errorText == missing.errorText && !missing.errorText.empty();
    if (!same)
      for (const std::string& line : locked.log) std::fprintf(stderr, "logged: %s\n", line.c_str());
    return same;
  });
  EXPECT_EQ(result, 0) << (result == 2 ? "could not run as nobody, so the case is not seen" : "see the log above");
}

}  // namespace
