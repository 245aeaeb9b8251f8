// tarvik-route: checks a route file before it is flown. Runs the module's
// own reader through the simulated host's log and prints what it read,
// as a summary or as one JSON document.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "host/platform.h"
#include "route/route_file_reader.h"
#include "sim/host/sim_host.h"
#include "tools/json_writer.h"

namespace {

constexpr int kExitParsed = 0;
constexpr int kExitErrorsReported = 1;
constexpr int kExitUsage = 2;

constexpr double kDegreesPerRadian = 57.29577951308232;

constexpr char kUsage[] =
    "Usage: tarvik-route parse [--json] FILE\n"
    "       tarvik-route --help\n"
    "\n"
    "Reads a route file as the display module does and prints its waypoints,\n"
    "its runways and the error text, if any. With --json, prints one JSON\n"
    "document with the waypoints, runways, errorText, errorFlag and the host\n"
    "log lines of the read.\n"
    "\n"
    "Exit status: 0 read without error, 1 errors reported, 2 usage error or\n"
    "a file that cannot be opened.\n";

// Why the file cannot be read, or empty when it can.
std::string Unreadable(const std::string& path) {
  const int fd = open(NativePath(path).c_str(), O_RDONLY);
  if (fd < 0) return std::strerror(errno);
  struct stat status {};
  const bool folder = fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
  close(fd);
  return folder ? "it is a folder" : "";
}

RouteParseResult ParseRoute(const std::string& path) {
  sim::host().ClearLog();
  RouteFileReader reader;
  RouteParseResult result;
  result.waypoints = reader.ParseRouteFile(path);
  result.runways = reader.GetRunways();
  result.errorText = reader.errorText;
  result.errorFlag = reader.errorFlag;
  result.log = sim::host().LogLines();
  return result;
}

// The reader echoes its reports to standard output; in JSON mode they go
// to standard error so that standard output holds only the document.
RouteParseResult ParseRouteWithEchoOnStderr(const std::string& path) {
  std::fflush(stdout);
  const int savedStdout = dup(STDOUT_FILENO);
  if (savedStdout >= 0) dup2(STDERR_FILENO, STDOUT_FILENO);
  RouteParseResult result = ParseRoute(path);
  std::fflush(stdout);
  if (savedStdout >= 0) {
    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);
  }
  return result;
}

void PrintSummary(const std::string& path, const RouteParseResult& result) {
  std::printf("Route file %s\n", path.c_str());
  std::printf("%zu waypoint(s)\n", result.waypoints.size());
  for (std::size_t i = 0; i < result.waypoints.size(); ++i) {
    const Waypoint& w = result.waypoints[i];
    std::printf("  %zu  lat %.6f  lon %.6f deg  %-7s  radius %g m  alt %g m  speed %g m/s", i + 1,
                w.latitude * kDegreesPerRadian, w.longitude * kDegreesPerRadian, TaskKeyword(w.task), w.acceptRadius,
                w.altitude, w.speed);
    if (w.task == Loop) std::printf("  continues at %d", w.loopTarget + 1);
    if (!w.description.empty()) std::printf("  \"%s\"", w.description.c_str());
    std::printf("\n");
  }
  std::printf("%zu runway(s)\n", result.runways.size());
  for (std::size_t i = 0; i < result.runways.size(); ++i) {
    const Runway& r = result.runways[i];
    std::printf("  %zu  from lat %.6f lon %.6f  to lat %.6f lon %.6f  centre lat %.6f lon %.6f deg\n", i,
                r.end1Latitude * kDegreesPerRadian, r.end1Longitude * kDegreesPerRadian,
                r.end2Latitude * kDegreesPerRadian, r.end2Longitude * kDegreesPerRadian,
                r.centerLatitude * kDegreesPerRadian, r.centerLongitude * kDegreesPerRadian);
  }
  if (result.errorFlag) std::printf("Error text: %s\n", result.errorText.c_str());
}

int UsageError(const char* problem) {
  std::fprintf(stderr, "tarvik-route: %s\n%s", problem, kUsage);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return kExitParsed;
  }
  if (argc < 2 || std::string_view(argv[1]) != "parse") return UsageError("expected the command parse");
  bool json = false;
  int next = 2;
  if (next < argc && std::string_view(argv[next]) == "--json") {
    json = true;
    ++next;
  }
  if (next + 1 != argc) return UsageError("expected one route file");
  const std::string path = argv[next];
  if (const std::string why = Unreadable(path); !why.empty()) {
    std::fprintf(stderr, "tarvik-route: cannot open %s: %s\n", path.c_str(), why.c_str());
    return kExitUsage;
  }

  if (json) {
    const RouteParseResult result = ParseRouteWithEchoOnStderr(path);
    const std::string document = RouteJson(result);
    std::fwrite(document.data(), 1, document.size(), stdout);
    return result.errorFlag ? kExitErrorsReported : kExitParsed;
  }
  const RouteParseResult result = ParseRoute(path);
  std::fflush(stdout);  // the reader's echo, if any, before the summary
  PrintSummary(path, result);
  return result.errorFlag ? kExitErrorsReported : kExitParsed;
}
