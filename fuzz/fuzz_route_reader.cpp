// libFuzzer target: the whole read of a route file of arbitrary bytes,
// from the file on disk to the waypoint and runway lists.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "route/route_file_reader.h"
#include "sim/host/sim_host.h"

namespace {

std::string g_routePath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Every report is echoed to standard output; keep the fuzzer's output readable.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
  g_routePath = "/tmp/tarvik_fuzz_route_" + std::to_string(getpid()) + ".route";
  std::atexit([] { std::remove(g_routePath.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(g_routePath.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  sim::host().ClearLog();
  RouteFileReader reader;
  const WaypointList waypoints = reader.ParseRouteFile(g_routePath);
  const RunwayList runways = reader.GetRunways();
  // What the reader promises whatever the bytes: a clean read reports
  // nothing, and every result came from a line of the file.
  if (reader.errorFlag == reader.errorText.empty()) __builtin_trap();
  if (waypoints.size() > size || runways.size() > size) __builtin_trap();
  return 0;
}
