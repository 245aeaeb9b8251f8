#include "route_tool/bases/base_config.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include "geodesy/angles.h"

namespace route_tool {

namespace {

using Lines = std::vector<std::string_view>;

Lines SplitLines(std::string_view text) {
  Lines lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The host's trim_string: ';' starts a comment, then blanks and a CR go
// from both ends.
std::string_view Trim(std::string_view line) {
  line = line.substr(0, line.find(';'));
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) fields.push_back(text.substr(start, i - start));
  }
  return fields;
}

std::string Collapsed(std::string_view text) {
  std::string out;
  for (const std::string_view field : Fields(text)) {
    if (!out.empty()) out.push_back(' ');
    out.append(field);
  }
  return out;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool StartsWithWord(std::string_view line, std::string_view start) {
  return line.size() >= start.size() && SameWord(line.substr(0, start.size()), start);
}

// A whole field as a finite number, as C reads it but in any locale. A
// leading '+' is allowed, as in the host's own files.
template <typename Number>
bool ReadNumber(std::string_view field, Number& value) {
  if (field.size() > 1 && field.front() == '+' && field[1] != '-' && field[1] != '+') field.remove_prefix(1);
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, value);
  return error == std::errc{} && stop == end && std::isfinite(value);
}

// The first `count` fields as numbers; extra fields are ignored, as the
// host's sscanf ignores them.
template <typename Number, std::size_t N>
bool ReadNumbers(const std::vector<std::string_view>& fields, std::size_t first, std::array<Number, N>& values) {
  if (fields.size() < first + N) return false;
  for (std::size_t i = 0; i < N; ++i)
    if (!ReadNumber(fields[first + i], values[i])) return false;
  return true;
}

// The host's GetItemString: the first "name = value" line from the top
// whose name matches, up to END_PARSE; an empty value counts as none.
struct Item {
  std::size_t index = 0;
  std::string_view value;
};
std::optional<Item> FindItem(const Lines& lines, std::string_view name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = Trim(lines[i]);
    if (SameWord(line, "END_PARSE")) return std::nullopt;
    const std::size_t equals = line.find('=');
    std::string_view key = line.substr(0, equals);
    while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
    if (!SameWord(key, name)) continue;
    if (equals == std::string_view::npos) return std::nullopt;
    std::string_view value = line.substr(equals + 1);
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
    if (value.empty()) return std::nullopt;
    return Item{i, value};
  }
  return std::nullopt;
}

// The host's FindLine: the first line that starts with the marker.
std::optional<std::size_t> FindMarker(const Lines& lines, std::string_view marker) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (StartsWithWord(lines[i], marker)) return i;
  return std::nullopt;
}

BaseConfigError At(std::size_t index, std::string message) { return {{index + 1, 0}, std::move(message)}; }

// One line inside an object: its first field and the text after it.
struct ObjectLine {
  std::size_t index = 0;
  std::string_view label;
  std::vector<std::string_view> fields;  // all of them, the label first
  std::string_view trimmed;
};

// The lines of the object whose tag is on line `tag`, up to its END line;
// `next` is then the line after END. False when the file ends first.
bool ReadObject(const Lines& lines, std::size_t tag, std::vector<ObjectLine>& object, std::size_t& next) {
  for (std::size_t i = tag + 1; i < lines.size(); ++i) {
    const std::string_view trimmed = Trim(lines[i]);
    std::vector<std::string_view> fields = Fields(trimmed);
    if (fields.empty()) continue;
    if (SameWord(fields[0], "END")) {
      next = i + 1;
      return true;
    }
    object.push_back({i, fields[0], std::move(fields), trimmed});
  }
  return false;
}

constexpr std::array kObjectTags = {"MESH",   "BLOCK",        "HANGAR",      "HANGAR2", "HANGAR3",
                                    "TANK",   "LPAD1",        "LPAD2",       "LPAD2A",  "RUNWAY",
                                    "RUNWAYLIGHTS", "BEACONARRAY", "TRAIN1", "TRAIN2",  "SOLARPLANT"};

bool IsObjectTag(std::string_view tag) {
  for (const char* known : kObjectTags)
    if (SameWord(tag, known)) return true;
  return false;
}

BaseLocalPosition LocalOf(const std::array<double, 3>& xyz) { return {xyz[0], xyz[1], xyz[2]}; }

BaseLocalPosition LocalOf(const std::array<float, 3>& xyz) { return {xyz[0], xyz[1], xyz[2]}; }

std::optional<BaseConfigError> ReadRunway(std::size_t tag, const std::vector<ObjectLine>& object, BaseRunway& runway) {
  runway.line = tag + 1;
  bool end1 = false;
  bool end2 = false;
  for (const ObjectLine& line : object) {
    const bool isEnd1 = SameWord(line.label, "END1");
    if (!isEnd1 && !SameWord(line.label, "END2")) continue;
    std::array<float, 3> xyz{};  // the host reads runway ends in single precision
    if (!ReadNumbers(line.fields, 1, xyz))
      return At(line.index, std::string(line.fields[0]) + ": expected three numbers in metres, not '" +
                                std::string(Trim(line.trimmed.substr(line.fields[0].size()))) + "'");
    (isEnd1 ? runway.end1 : runway.end2) = LocalOf(xyz);
    (isEnd1 ? runway.end1Text : runway.end2Text) = Collapsed(line.trimmed);
    (isEnd1 ? end1 : end2) = true;
  }
  if (!end1 || !end2) return At(tag, std::string("RUNWAY without ") + (end1 ? "END2" : "END1"));
  return std::nullopt;
}

// A pad, or nothing for a MESH that is not one. A pad without POS stands
// at the base's centre, as in the host.
std::optional<BaseConfigError> ReadPad(std::size_t tag, std::string_view tagName,
                                       const std::vector<ObjectLine>& object, std::optional<BasePad>& pad) {
  const bool mesh = SameWord(tagName, "MESH");
  BasePad found;
  found.tag = std::string(tagName);
  found.line = tag + 1;
  bool isPad = !mesh;
  for (const ObjectLine& line : object) {
    const std::string rest(Trim(line.trimmed.substr(line.fields[0].size())));
    if (SameWord(line.label, "POS")) {
      std::array<double, 3> xyz{};
      if (!ReadNumbers(line.fields, 1, xyz))
        return At(line.index, "POS: expected three numbers in metres, not '" + rest + "'");
      found.position = LocalOf(xyz);
      found.positionText = Collapsed(line.trimmed);
    } else if (mesh && SameWord(line.label, "LPAD")) {
      isPad = true;
    } else if (!mesh && SameWord(line.label, "NAV")) {
      std::array<double, 1> frequency{};
      if (!ReadNumbers(line.fields, 1, frequency))
        return At(line.index, "NAV: expected a frequency in MHz, not '" + rest + "'");
      found.navText = Collapsed(line.trimmed);
    }
  }
  if (isPad) pad = std::move(found);
  return std::nullopt;
}

std::optional<BaseConfigError> ReadObjectList(const Lines& lines, BaseConfig& base) {
  const std::optional<std::size_t> begin = FindMarker(lines, "BEGIN_OBJECTLIST");
  if (!begin) return std::nullopt;
  std::size_t i = *begin + 1;
  while (i < lines.size()) {
    const std::vector<std::string_view> fields = Fields(Trim(lines[i]));
    if (fields.empty()) {
      ++i;
      continue;
    }
    const std::string_view tag = fields[0];
    if (SameWord(tag, "END_OBJECTLIST")) break;
    if (!IsObjectTag(tag))
      return At(i, "unknown object '" + std::string(tag) + "': the host stops reading the object list here");
    std::vector<ObjectLine> object;
    std::size_t next = 0;
    if (!ReadObject(lines, i, object, next)) return At(i, std::string(tag) + " without END: the file ends first");
    if (SameWord(tag, "RUNWAY")) {
      BaseRunway runway;
      if (auto error = ReadRunway(i, object, runway)) return error;
      base.runways.push_back(std::move(runway));
    } else if (StartsWithWord(tag, "LPAD") || SameWord(tag, "MESH")) {
      std::optional<BasePad> pad;
      if (auto error = ReadPad(i, tag, object, pad)) return error;
      if (pad) base.pads.push_back(std::move(*pad));
    }
    i = next;
  }
  return std::nullopt;
}

// VOR lines up to END_NAVBEACON; other lines are not beacons of the base.
std::optional<BaseConfigError> ReadBeacons(const Lines& lines, BaseConfig& base) {
  const std::optional<std::size_t> begin = FindMarker(lines, "BEGIN_NAVBEACON");
  if (!begin) return std::nullopt;
  for (std::size_t i = *begin + 1; i < lines.size() && !StartsWithWord(lines[i], "END_NAVBEACON"); ++i) {
    const std::string_view trimmed = Trim(lines[i]);
    const std::vector<std::string_view> fields = Fields(trimmed);
    if (fields.empty() || !SameWord(fields[0], "VOR")) continue;
    std::array<double, 3> numbers{};
    if (!ReadNumbers(fields, 2, numbers))
      return At(i, "VOR: expected an identifier, longitude and latitude [deg] and frequency [MHz], not '" +
                       std::string(Trim(trimmed.substr(fields[0].size()))) + "'");
    base.beacons.push_back({std::string(fields[1]), numbers[0], numbers[1], numbers[2], Collapsed(trimmed), i + 1});
  }
  return std::nullopt;
}

std::optional<BaseConfigError> ReadLocation(const Lines& lines, BaseConfig& base) {
  const std::optional<Item> location = FindItem(lines, "LOCATION");
  if (!location) return BaseConfigError{{}, "no Location (the base's longitude and latitude in degrees)"};
  std::array<double, 2> degrees{};
  if (!ReadNumbers(Fields(location->value), 0, degrees))
    return At(location->index,
              "Location: expected longitude and latitude in degrees, not '" + std::string(location->value) + "'");
  if (!(std::abs(degrees[1]) < 90.0))
    return At(location->index, "Location: latitude " + std::string(Fields(location->value)[1]) +
                                   " is not between -90 and 90 degrees");
  base.longitudeDeg = degrees[0];
  base.latitudeDeg = degrees[1];
  base.locationText = Collapsed(location->value);
  base.locationLine = location->index + 1;
  return std::nullopt;
}

}  // namespace

BaseConfigReading ReadBaseConfig(std::string_view text) {
  BaseConfigReading reading;
  const Lines lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find('\0') != std::string_view::npos) {
      reading.error = At(i, "not a text file: a NUL byte");
      return reading;
    }
  BaseConfig& base = reading.base;
  if (const std::optional<Item> name = FindItem(lines, "NAME")) base.name = Collapsed(name->value);
  std::optional<BaseConfigError> error = ReadLocation(lines, base);
  if (!error) error = ReadBeacons(lines, base);
  if (!error) error = ReadObjectList(lines, base);
  if (!error && base.runways.empty()) error = BaseConfigError{{}, "no RUNWAY in the base's object list"};
  if (error) reading.error = *error;
  return reading;
}

PlanetSizeReading ReadPlanetSize(std::string_view text) {
  PlanetSizeReading reading;
  const Lines lines = SplitLines(text);
  const std::optional<Item> size = FindItem(lines, "SIZE");
  std::array<double, 1> metres{};
  if (!size) {
    reading.error = {{}, "no Size (the planet's radius in metres)"};
  } else if (!ReadNumbers(Fields(size->value), 0, metres) || !(metres[0] > 0.0)) {
    reading.error = At(size->index, "Size: expected the planet's radius in metres, not '" +
                                        std::string(size->value) + "'");
  } else {
    reading.radiusMetres = metres[0];
  }
  return reading;
}

SurfacePointDeg BaseLocalToDegrees(double baseLongitudeDeg, double baseLatitudeDeg, const BaseLocalPosition& local,
                                   double radiusMetres) {
  const double latitude0 = baseLatitudeDeg * geodesy::kRadiansPerDegree;
  const double longitude = baseLongitudeDeg * geodesy::kRadiansPerDegree + local.eastMetres / (radiusMetres * std::cos(latitude0));
  const double latitude = latitude0 - local.southMetres / radiusMetres;
  return {longitude / geodesy::kRadiansPerDegree, latitude / geodesy::kRadiansPerDegree};
}

}  // namespace route_tool
