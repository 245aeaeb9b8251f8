#include "route_tool/formats/json_writer.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace route_tool {

namespace {

using Json = nlohmann::ordered_json;

Json Text(std::string_view bytes) { return std::string(bytes); }

// A whole number within 2^53 as an integer, so 250.0 reads "250"; -0 keeps
// its sign as a double.
Json Number(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
  if (value == std::trunc(value) && std::fabs(value) <= kExactIntegers && !(value == 0 && std::signbit(value)))
    return static_cast<std::int64_t>(value);
  return value;
}

Json WaypointJson(const Waypoint& waypoint) {
  return {{"latitude", Number(waypoint.latitude)},
          {"longitude", Number(waypoint.longitude)},
          {"altitude", Number(waypoint.altitude)},
          {"acceptRadius", Number(waypoint.acceptRadius)},
          {"speed", Number(waypoint.speed)},
          {"task", waypoint.task},
          {"name", Text(waypoint.name)},
          {"description", Text(waypoint.description)},
          {"loopTarget", waypoint.loopTarget}};
}

Json RunwayJson(const Runway& runway) {
  return {{"end1Latitude", Number(runway.end1Latitude)},     {"end1Longitude", Number(runway.end1Longitude)},
          {"end2Latitude", Number(runway.end2Latitude)},     {"end2Longitude", Number(runway.end2Longitude)},
          {"centerLatitude", Number(runway.centerLatitude)}, {"centerLongitude", Number(runway.centerLongitude)}};
}

}  // namespace

std::string JsonText(std::string_view line) { return JsonDocumentText(Text(line)); }

bool WriteRouteJson(const RouteParseResult& result, std::FILE* logArray, std::FILE* out) {
  // The pieces of what the library's dump of the whole document would be.
  const auto put = [out](const std::string& text) { std::fwrite(text.data(), 1, text.size(), out); };
  put("{\"waypoints\":[");
  for (std::size_t i = 0; i < result.waypoints.size(); ++i)
    put((i > 0 ? "," : "") + JsonDocumentText(WaypointJson(result.waypoints[i])));
  put("],\"runways\":[");
  for (std::size_t i = 0; i < result.runways.size(); ++i)
    put((i > 0 ? "," : "") + JsonDocumentText(RunwayJson(result.runways[i])));
  put("],\"errorText\":" + JsonText(result.errorText));
  put(std::string(",\"errorFlag\":") + (result.errorFlag ? "true" : "false") + ",\"log\":[");
  std::rewind(logArray);
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, logArray)) > 0) std::fwrite(buffer, 1, got, out);
  put("]}\n");
  return std::ferror(logArray) == 0;
}

}  // namespace route_tool
