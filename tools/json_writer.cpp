#include "tools/json_writer.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include <nlohmann/json.hpp>

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

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence starting at bytes[0] (2 to 4), or 0:
// no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  std::size_t length = 0;
  std::uint32_t codePoint = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(at(i))) return 0;
    codePoint = (codePoint << 6) | (at(i) & 0x3F);
  }
  const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (overlong || surrogate || codePoint > 0x10FFFF) return 0;
  return length;
}

Json Text(std::string_view bytes) {
  std::string marked;
  marked.reserve(bytes.size());
  while (!bytes.empty()) {
    const auto byte = static_cast<unsigned char>(bytes.front());
    std::size_t taken = 1;
    if (bytes.starts_with(kByteMark)) {
      marked.append(kByteMark).append(kByteMark);
      taken = kByteMark.size();
    } else if (byte < 0x80) {
      marked.push_back(static_cast<char>(byte));
    } else if (const std::size_t length = Utf8SequenceLength(bytes); length > 0) {
      marked.append(bytes.substr(0, length));
      taken = length;
    } else {
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

std::string RouteJson(const RouteParseResult& result) {
  Json waypoints = Json::array();
  for (const Waypoint& waypoint : result.waypoints) waypoints.push_back(WaypointJson(waypoint));
  Json runways = Json::array();
  for (const Runway& runway : result.runways) runways.push_back(RunwayJson(runway));
  Json log = Json::array();
  for (const std::string& line : result.log) log.push_back(Text(line));
  const Json document = {{"waypoints", std::move(waypoints)},
                         {"runways", std::move(runways)},
                         {"errorText", Text(result.errorText)},
                         {"errorFlag", result.errorFlag},
                         {"log", std::move(log)}};
  return Unmarked(document.dump()) + "\n";
}
