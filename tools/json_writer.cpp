#include "tools/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendUnicodeEscape(std::string& out, unsigned char byte) {
  out.append("\\u00");
  out.push_back(kHexDigits[byte >> 4]);
  out.push_back(kHexDigits[byte & 0xF]);
}

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

void AppendMember(std::string& out, std::string_view name) {
  AppendJsonString(out, name);
  out.push_back(':');
}

void AppendNumberMember(std::string& out, std::string_view name, double value) {
  AppendMember(out, name);
  AppendJsonNumber(out, value);
}

void AppendWaypoint(std::string& out, const Waypoint& waypoint) {
  out.push_back('{');
  AppendNumberMember(out, "latitude", waypoint.latitude);
  out.push_back(',');
  AppendNumberMember(out, "longitude", waypoint.longitude);
  out.push_back(',');
  AppendNumberMember(out, "altitude", waypoint.altitude);
  out.push_back(',');
  AppendNumberMember(out, "acceptRadius", waypoint.acceptRadius);
  out.push_back(',');
  AppendNumberMember(out, "speed", waypoint.speed);
  out.push_back(',');
  AppendMember(out, "task");
  out.append(std::to_string(waypoint.task));
  out.push_back(',');
  AppendMember(out, "name");
  AppendJsonString(out, waypoint.name);
  out.push_back(',');
  AppendMember(out, "description");
  AppendJsonString(out, waypoint.description);
  out.push_back(',');
  AppendMember(out, "loopTarget");
  out.append(std::to_string(waypoint.loopTarget));
  out.push_back('}');
}

void AppendRunway(std::string& out, const Runway& runway) {
  out.push_back('{');
  AppendNumberMember(out, "end1Latitude", runway.end1Latitude);
  out.push_back(',');
  AppendNumberMember(out, "end1Longitude", runway.end1Longitude);
  out.push_back(',');
  AppendNumberMember(out, "end2Latitude", runway.end2Latitude);
  out.push_back(',');
  AppendNumberMember(out, "end2Longitude", runway.end2Longitude);
  out.push_back(',');
  AppendNumberMember(out, "centerLatitude", runway.centerLatitude);
  out.push_back(',');
  AppendNumberMember(out, "centerLongitude", runway.centerLongitude);
  out.push_back('}');
}

template <typename T, typename AppendOne>
void AppendArray(std::string& out, const std::vector<T>& items, AppendOne appendOne) {
  out.push_back('[');
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out.push_back(',');
    out.append("\n    ");
    appendOne(out, items[i]);
  }
  if (!items.empty()) out.append("\n  ");
  out.push_back(']');
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view bytes) {
  out.push_back('"');
  while (!bytes.empty()) {
    const auto byte = static_cast<unsigned char>(bytes.front());
    std::size_t taken = 1;
    switch (byte) {
      case '"': out.append("\\\""); break;
      case '\\': out.append("\\\\"); break;
      case '\n': out.append("\\n"); break;
      case '\r': out.append("\\r"); break;
      case '\t': out.append("\\t"); break;
      case '\b': out.append("\\b"); break;
      case '\f': out.append("\\f"); break;
      default:
        if (byte < 0x20) {
          AppendUnicodeEscape(out, byte);
        } else if (byte < 0x80) {
          out.push_back(static_cast<char>(byte));
        } else if (const std::size_t length = Utf8SequenceLength(bytes); length > 0) {
          out.append(bytes.substr(0, length));
          taken = length;
        } else {
          AppendUnicodeEscape(out, byte);
        }
    }
    bytes.remove_prefix(taken);
  }
  out.push_back('"');
}

void AppendJsonNumber(std::string& out, double value) {
  if (std::isnan(value)) {
    out.append("\"nan\"");
  } else if (std::isinf(value)) {
    out.append(value > 0 ? "\"inf\"" : "\"-inf\"");
  } else {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    out.append(text, error == std::errc{} ? end : text);
  }
}

std::string RouteJson(const RouteParseResult& result) {
  std::string out = "{\n  ";
  AppendMember(out, "waypoints");
  AppendArray(out, result.waypoints, AppendWaypoint);
  out.append(",\n  ");
  AppendMember(out, "runways");
  AppendArray(out, result.runways, AppendRunway);
  out.append(",\n  ");
  AppendMember(out, "errorText");
  AppendJsonString(out, result.errorText);
  out.append(",\n  ");
  AppendMember(out, "errorFlag");
  out.append(result.errorFlag ? "true" : "false");
  out.append(",\n  ");
  AppendMember(out, "log");
  AppendArray(out, result.log, [](std::string& o, const std::string& line) { AppendJsonString(o, line); });
  out.append("\n}\n");
  return out;
}
