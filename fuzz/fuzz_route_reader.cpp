// libFuzzer target: the whole read of a route file of arbitrary bytes,
// from the file on disk to the waypoint and runway lists.
#include <cstdint>

#include "fuzz/route_file_input.h"
#include "route/route_file_reader.h"
#include "simhost/sim_host.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_input::Begin("tarvik_fuzz_route_");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz_input::WriteRouteFile(data, size)) return 0;
  const std::string& path = fuzz_input::RoutePath();

  simhost::host().ClearLog();
  RouteFileReader reader;
  reader.SetReportEcho(DiscardEcho);
  const WaypointList waypoints = reader.ParseRouteFile(path);
  const RunwayList runways = reader.GetRunways();
  // What the reader promises whatever the bytes: a clean read reports
  // nothing, and every result came from a line of the file.
  if (reader.errorFlag == reader.errorText.empty()) __builtin_trap();
  if (waypoints.size() > size || runways.size() > size) __builtin_trap();
  return 0;
}
