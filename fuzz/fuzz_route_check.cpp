// libFuzzer target: tarvik-route's check of a route file of arbitrary
// bytes, read on past every error, against the module's own read.
#include <cstdint>

#include "fuzz/route_file_input.h"
#include "route/route_file_reader.h"
#include "simhost/sim_host.h"
#include "route_tool/core/route_check.h"

using namespace route_tool;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_input::Begin("tarvik_fuzz_check_");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz_input::WriteRouteFile(data, size)) return 0;
  const std::string& path = fuzz_input::RoutePath();

  const RouteCheck check = CheckRouteFile(path);
  simhost::host().ClearLog();
  RouteFileReader module;
  module.SetReportEcho(DiscardEcho);
  const WaypointList waypoints = module.ParseRouteFile(path);
  // The verdict is the module's read, and the check finds an error exactly
  // when the module does.
  if (check.verdict.errorFlag != module.errorFlag || check.verdict.errorText != module.errorText) __builtin_trap();
  if (check.verdict.waypoints != waypoints.size()) __builtin_trap();
  if ((check.ErrorCount() > 0) != module.errorFlag) __builtin_trap();
  // Every place is inside the file: a line of it (or the one after a
  // last line without its line end) and a column from 1.
  std::size_t lineCount = 1;
  for (std::size_t i = 0; i < size; ++i) lineCount += data[i] == '\n' ? 1 : 0;
  for (const Diagnostic& d : check.diagnostics) {
    if (d.place.line > lineCount) __builtin_trap();
    if (d.place.line > 0 && (d.place.column == 0 || d.place.column > size + 1)) __builtin_trap();
  }
  return 0;
}
