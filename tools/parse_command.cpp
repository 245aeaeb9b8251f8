// tarvik-route parse: what the module reads from a route file, as a
// summary or as one JSON document with the host log lines of the read.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "route/route_file_reader.h"
#include "sim/host/sim_host.h"
#include "tools/json_writer.h"
#include "tools/route_commands.h"

namespace route_tool {
namespace {

constexpr char kUsage[] = "tarvik-route parse [--json] FILE";
constexpr double kDegreesPerRadian = 57.29577951308232;

// The reader echoes its reports to standard output; they go to standard
// error, so that standard output holds only the summary or the document.
RouteParseResult ParseWithEchoOnStderr(RouteInput input) {
  std::fflush(stdout);
  const int savedStdout = dup(STDOUT_FILENO);
  if (savedStdout >= 0) dup2(STDERR_FILENO, STDOUT_FILENO);
  sim::host().ClearLog();
  RouteFileReader reader;
  RouteParseResult result;
  result.waypoints = reader.ParseRouteBytes(std::move(input.bytes), input.tooLarge);
  result.runways = reader.GetRunways();
  result.errorText = reader.errorText;
  result.errorFlag = reader.errorFlag;
  result.log = sim::host().LogLines();
  std::fflush(stdout);
  if (savedStdout >= 0) {
    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);
  }
  if (result.errorFlag) std::fputc('\n', stderr);
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

}  // namespace

int RunParse(const Arguments& arguments) {
  Arguments files = arguments;
  const bool json = !files.empty() && files.front() == "--json";
  if (json) files.erase(files.begin());
  RouteInput input;
  int status = kExitOk;
  if (!OneRouteFileRead(files, kUsage, input, status)) return status;
  const std::string path = input.path;

  const RouteParseResult result = ParseWithEchoOnStderr(std::move(input));
  if (json) {
    const std::string document = RouteJson(result);
    std::fwrite(document.data(), 1, document.size(), stdout);
  } else {
    PrintSummary(path, result);
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail(kExitUsage, "cannot write the output");
  return result.errorFlag ? kExitFailed : kExitOk;
}

}  // namespace route_tool
