#include "route_tool/formats/json_writer.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include <nlohmann/json.hpp>

#include "text/utf8.h"

namespace {

using Json = nlohmann::ordered_json;

// The JSON library passes valid UTF-8 through but cannot keep a byte that
// is not UTF-8. Such a byte reaches it as kByteMark and the byte's two hex
// digits, a kByteMark of the text itself as two marks; the library's text
// then gets the escape in place of each pair. The mark is a private-use
// character, written as its UTF-8 bytes, so it is found only where a
// string holds it.
constexpr std::string_view kByteMark = "\xEE\x80\x80";  // U+E000
constexpr char kHexDigits[] = "0123456789abcdef";

Json Text(std::string_view bytes) {
  std::string marked;
  marked.reserve(bytes.size());
  while (!bytes.empty()) {
    std::size_t taken = 1;
    if (bytes.starts_with(kByteMark)) {
      marked.append(kByteMark).append(kByteMark);
      taken = kByteMark.size();
    } else if (const std::size_t length = DecodeUtf8(bytes).length; length > 0) {
      marked.append(bytes.substr(0, length));
      taken = length;
    } else {
      const auto byte = static_cast<unsigned char>(bytes.front());
      marked.append(kByteMark);
      marked.push_back(kHexDigits[byte >> 4]);
      marked.push_back(kHexDigits[byte & 0xF]);
    }
    bytes.remove_prefix(taken);
  }
  return marked;
}

// The library's text with each marked byte written as \u00XX.
std::string Unmarked(const std::string& dumped) {
  std::string out;
  out.reserve(dumped.size());
  for (std::size_t i = 0; i < dumped.size();) {
    if (std::string_view(dumped).substr(i).starts_with(kByteMark)) {
      i += kByteMark.size();
      if (std::string_view(dumped).substr(i).starts_with(kByteMark)) {
        out.append(kByteMark);
        i += kByteMark.size();
      } else {
        out.append("\\u00").append(dumped, i, 2);
        i += 2;
      }
    } else {
      out.push_back(dumped[i++]);
    }
  }
  return out;
}

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

std::string JsonText(std::string_view line) { return Unmarked(Json(Text(line)).dump()); }

bool WriteRouteJson(const RouteParseResult& result, std::FILE* logArray, std::FILE* out) {
  // The pieces of what the library's dump of the whole document would be.
  const auto put = [out](const std::string& text) { std::fwrite(text.data(), 1, text.size(), out); };
  put("{\"waypoints\":[");
  for (std::size_t i = 0; i < result.waypoints.size(); ++i)
    put((i > 0 ? "," : "") + Unmarked(WaypointJson(result.waypoints[i]).dump()));
  put("],\"runways\":[");
  for (std::size_t i = 0; i < result.runways.size(); ++i)
    put((i > 0 ? "," : "") + RunwayJson(result.runways[i]).dump());
  put("],\"errorText\":" + JsonText(result.errorText));
  put(std::string(",\"errorFlag\":") + (result.errorFlag ? "true" : "false") + ",\"log\":[");
  std::rewind(logArray);
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, logArray)) > 0) std::fwrite(buffer, 1, got, out);
  put("]}\n");
  return std::ferror(logArray) == 0;
}
