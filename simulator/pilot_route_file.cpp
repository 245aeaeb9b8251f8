// The pilot's own reading of its vessel's route file, unseen by the module
// and by the user.
#include "simulator/pilot_route_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "route/route_file_reader.h"
#include "simhost/sim_host.h"
#include "text/file_place.h"

namespace simulator {

namespace {

// The line of the file that a field of the reader's text came from.
std::size_t FileLineOf(const std::string& path, const std::string& fileText, const ReadTrace& trace,
                       std::string_view field) {
  const std::size_t fileOffset = trace.origins[static_cast<std::size_t>(field.data() - fileText.data())];
  std::ifstream file(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return PlaceOfOffset(bytes, fileOffset).line;
}

// Where the route puts a vessel at no finite place, speed or altitude, as
// "line <n>: <what> reads as inf"; empty when every waypoint is finite.
std::string FirstNotFinite(const std::string& path, const std::string& fileText, const ReadTrace& trace,
                           const WaypointList& route) {
  const auto at = [&](std::string_view field, double value, const std::string& what) {
    char written[32];
    std::snprintf(written, sizeof written, "%g", value);
    return "line " + std::to_string(FileLineOf(path, fileText, trace, field)) + ": " + what + " reads as " +
           written + ", not a finite number";
  };
  const auto pointAt = [&](std::int32_t index) -> std::string {
    const ReadTrace::PointLine& point = trace.points[static_cast<std::size_t>(index)];
    const std::string name = " of point " + std::to_string(index);
    if (!std::isfinite(point.point.longitude))
      return at(point.line.fields[0], point.point.longitude, "the longitude" + name);
    if (!std::isfinite(point.point.latitude))
      return at(point.line.fields[1], point.point.latitude, "the latitude" + name);
    return {};
  };
  for (const ReadTrace::WaypointLine& line : trace.waypoints) {
    if (line.routeIndex < 0) continue;
    const Waypoint& w = route[static_cast<std::size_t>(line.routeIndex)];
    if (!std::isfinite(w.altitude)) return at(line.line.fields[4], w.altitude, "the altitude");
    if (!std::isfinite(w.speed)) return at(line.line.fields[5], w.speed, "the speed");
    if (std::isfinite(w.latitude) && std::isfinite(w.longitude)) continue;
    std::vector<std::int32_t> points{line.index};
    if (line.onRunway) {
      const ReadTrace::RunwayLine& runway = trace.runways[static_cast<std::size_t>(line.index)];
      points = {runway.end1Point, runway.end2Point};
    }
    for (const std::int32_t point : points)
      if (std::string where = pointAt(point); !where.empty()) return where;
  }
  return {};
}

// The reading itself, kept out of the module's log.
bool ReadQuietly(const std::string& path, WaypointList& route, std::string& errorText, std::string& notFinite) {
  simhost::host().logMuted = true;
  {
    ReadTrace trace;
    RouteFileReader reader(&trace);
    reader.SetReportEcho(DiscardEcho);
    route = reader.ParseRouteFile(path);
    errorText = reader.errorText;
    if (errorText.empty()) notFinite = FirstNotFinite(path, reader.fileText, trace, route);
  }
  simhost::host().logMuted = false;
  return errorText.empty();
}

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

bool ReadPilotRoute(const Scenario& scenario, std::size_t vessel, WaypointList& route, std::string& error) {
  const VesselScenario& scenarioEntry = scenario.vessels[vessel];
  std::string errorText;
  std::string notFinite;
  const std::string where = scenario.path + ": /vessels/" + std::to_string(vessel) + "/route: route file \"" +
                            scenarioEntry.routeFile + "\"";
  if (!ReadQuietly(scenario.routeFolder + "/" + scenarioEntry.routeFile, route, errorText, notFinite)) {
    error = where + " does not read cleanly: " + OneLine(errorText);
    return false;
  }
  // The vessel flies to each waypoint: one at no finite place would leave
  // it at none.
  if (!notFinite.empty()) {
    error = where + " " + notFinite;
    return false;
  }
  if (route.empty()) {
    error = where + " holds no waypoints";
    return false;
  }
  return true;
}

}  // namespace simulator
