// tarvik-route legs: the legs of a route with distance, course and time,
// and the totals, as the module loads the route.
#include <cstdio>
#include <optional>
#include <string>

#include "geodesy/body_constants.h"
#include "route_tool/commands/route_commands.h"
#include "route_tool/core/route_legs.h"
#include "route_tool/core/route_source.h"

namespace route_tool {
namespace {

void PrintLegs(const RouteSource& source, const RouteLegs& legs, double bodyRadiusMetres) {
  std::printf("Legs of %s (body radius %.0f m)\n", source.path.c_str(), bodyRadiusMetres);
  std::printf("leg  from    to  distance km  course deg  cumulative km  speed m/s     time\n");
  std::size_t number = 0;
  for (const RouteLeg& leg : legs.legs) {
    const std::string time = leg.timed ? DurationText(leg.timeSeconds) : "-";
    if (leg.loopBack) {
      std::printf("  -  %4zu  %4zu  %11.3f  %10.1f  %13s  %9g  %7s  loop back\n", leg.fromWaypoint + 1,
                  leg.toWaypoint + 1, leg.distanceMetres / 1000.0, leg.courseDeg, "-", leg.speedMetresPerSecond,
                  time.c_str());
      continue;
    }
    std::printf("%3zu  %4zu  %4zu  %11.3f  %10.1f  %13.3f  %9g  %7s\n", ++number, leg.fromWaypoint + 1,
                leg.toWaypoint + 1, leg.distanceMetres / 1000.0, leg.courseDeg, leg.cumulativeMetres / 1000.0,
                leg.speedMetresPerSecond, time.c_str());
  }
  std::printf("Total %.3f km, %s en route", legs.totalMetres / 1000.0, DurationText(legs.totalSeconds).c_str());
  if (legs.untimedLegs > 0)
    std::printf(" (%zu leg%s toward a waypoint of speed 0 not timed)", legs.untimedLegs,
                legs.untimedLegs == 1 ? "" : "s");
  std::printf("\n");
  for (const RouteLoop& loop : legs.loops) {
    std::printf("Loop at waypoint %zu: the route continues at waypoint %zu", loop.loopWaypoint + 1, loop.target + 1);
    if (loop.lap) {
      std::printf("; one lap (%zu to %zu and back) is %.3f km, %s", loop.target + 1, loop.loopWaypoint + 1,
                  loop.lapMetres / 1000.0, loop.lapTimed ? DurationText(loop.lapSeconds).c_str() : "not timed");
    }
    std::printf(". Laps are shown once: the total flies the route once and leaves the way back out.\n");
  }
}

}  // namespace

int RunLegs(CommandLine& line, const Arguments& arguments) {
  double bodyRadiusMetres = geodesy::kEarthRadiusMetres;
  Arguments files;
  line.Number("--body-radius", bodyRadiusMetres, {.unit = "metres", .lowest = 0.0, .aboveLowest = true, .highest = 1e12},
              "METRES", "the radius of the body the route is on (default Earth's)");
  line.Rest(files, "FILE", "the route file");
  if (const std::optional<int> end = line.Parse(arguments)) return *end;
  RouteInput input;
  int status = kExitOk;
  if (!OneRouteFileRead(files, line, input, status)) return status;
  const RouteSource source = ReadRouteSource(std::move(input));
  if (const int failed = ModuleReadStatus(source); failed != kExitOk) return failed;
  PrintLegs(source, LegsOf(source.waypoints, bodyRadiusMetres), bodyRadiusMetres);
  return OutputFinished(kExitOk);
}

}  // namespace route_tool
