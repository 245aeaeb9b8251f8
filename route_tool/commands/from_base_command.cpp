// tarvik-route from-base: a route file skeleton from one of the host's base
// files. The runway ends and the pads become points, the runways runways,
// the VOR beacons comments; one take-off and one landing on the first
// runway make it a route that loads and flies as it is.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "route_tool/bases/base_config.h"
#include "geodesy/body_constants.h"
#include "route_tool/commands/route_commands.h"
#include "route_tool/core/route_file_writer.h"
#include "route_tool/core/route_source.h"

namespace route_tool {
namespace {

// Degrees to 7 decimals: about a centimetre on Earth, and short lines.
double Rounded(double degrees) { return std::round(degrees * 1e7) / 1e7; }

std::optional<std::string> FileBytes(const std::string& path) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes).empty()) return std::nullopt;
  return bytes;
}

std::string Where(const std::string& path, const BaseConfigError& error) {
  return PlaceText(path, error.place) + ": " + error.message;
}

// The host takes a base's planet radius from the planet's own file: a base
// in Config/Earth/Base/ belongs to Config/Earth.cfg. Without that file
// beside the base's folder, Earth's radius.
struct Radius {
  double metres = geodesy::kEarthRadiusMetres;
  std::string source = "Earth's; no planet file beside the base's folder";
};

bool ReadRadius(const std::string& basePath, Radius& radius, std::string& error) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(basePath).parent_path();
  std::string folderName = folder.filename().string();
  for (char& c : folderName) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (folderName != "base") return true;
  const fs::path planetFolder = folder.parent_path();
  if (planetFolder.filename().empty()) return true;
  const fs::path planetFile = planetFolder.parent_path() / (planetFolder.filename().string() + ".cfg");
  std::error_code ignored;
  if (!fs::is_regular_file(planetFile, ignored)) return true;
  const std::optional<std::string> bytes = FileBytes(planetFile.string());
  if (!bytes) return true;
  const PlanetSizeReading size = ReadPlanetSize(*bytes);
  if (!size.error.message.empty()) {
    error = Where(planetFile.string(), size.error);
    return false;
  }
  radius.metres = size.radiusMetres;
  radius.source = "Size in " + planetFile.filename().string();
  return true;
}

std::string LineNote(std::size_t line) { return "line " + std::to_string(line); }

RouteFileDraft Skeleton(const BaseConfig& base, const std::string& fileName, const Radius& radius) {
  RouteFileDraft draft;
  const std::string name = base.name.empty() ? fileName : base.name;
  draft.headerComments = {
      name + ": a route skeleton from " + fileName + " (tarvik-route from-base).",
      "Location " + base.locationText + " (" + LineNote(base.locationLine) +
          "); the base's metres turned into degrees as the host does,",
      "on a sphere of radius " + ShortestNumber(radius.metres) + " m (" + radius.source + "),",
      "to 7 decimals (about 1 cm).",
      "Take-off from and landing on runway 0; add the route's waypoints between them.",
  };
  const auto point = [&](const BaseLocalPosition& local, std::string comment) {
    const SurfacePointDeg degrees = BaseLocalToDegrees(base.longitudeDeg, base.latitudeDeg, local, radius.metres);
    draft.points.push_back({Rounded(degrees.longitudeDeg), Rounded(degrees.latitudeDeg), std::move(comment)});
  };
  for (std::size_t i = 0; i < base.runways.size(); ++i) {
    const BaseRunway& runway = base.runways[i];
    const std::string number = std::to_string(i + 1);
    const auto first = static_cast<std::int32_t>(draft.points.size());
    point(runway.end1, "runway " + number + " end 1 (" + runway.end1Text + ")");
    point(runway.end2, "runway " + number + " end 2 (" + runway.end2Text + ")");
    draft.runways.push_back({first, first + 1, "the base's runway " + number + " (" + LineNote(runway.line) + ")"});
  }
  for (std::size_t i = 0; i < base.pads.size(); ++i) {
    const BasePad& pad = base.pads[i];
    std::string what = pad.tag + " " + (pad.positionText.empty() ? "without POS: the base's centre" : pad.positionText);
    if (!pad.navText.empty()) what += " " + pad.navText;
    point(pad.position, "pad " + std::to_string(i + 1) + " (" + what + ", " + LineNote(pad.line) + ")");
  }

  // Landing anywhere on the runway: half its length round its centre.
  const BaseRunway& first = base.runways.front();
  const double lengthMetres = std::hypot(first.end2.southMetres - first.end1.southMetres,
                                         first.end2.eastMetres - first.end1.eastMetres);
  RouteFileDraft::WaypointLine takeoff;
  takeoff.onRunway = true;
  takeoff.task = Takeoff;
  takeoff.description = "Take-off, runway 1 of " + name;
  takeoff.comment = "radius 0: wherever the vessel is";
  RouteFileDraft::WaypointLine land;
  land.onRunway = true;
  land.task = Land;
  land.acceptRadiusMetres = std::ceil(lengthMetres / 2.0);
  land.description = "Landing, runway 1 of " + name;
  land.comment = "radius: half the runway's length";
  draft.waypoints = {takeoff, land};

  if (base.beacons.empty()) draft.trailingComments.push_back("The base has no VOR beacon.");
  else draft.trailingComments.push_back("The base's VOR beacons (identifier, frequency, longitude latitude):");
  for (const BaseBeacon& beacon : base.beacons)
    draft.trailingComments.push_back("VOR " + beacon.id + " " + ShortestNumber(beacon.frequencyMHz) + " MHz " +
                                     ShortestNumber(beacon.longitudeDeg) + " " + ShortestNumber(beacon.latitudeDeg) +
                                     " (" + LineNote(beacon.line) + ")");
  return draft;
}

}  // namespace

int RunFromBase(CommandLine& line, const Arguments& arguments) {
  Arguments bases;
  std::string outPath = "-";
  line.Text("-o", outPath, "FILE.route", "the route file written (default: standard output)");
  line.Rest(bases, "BASE.cfg", "the base file");
  if (const std::optional<int> end = line.Parse(arguments)) return *end;
  if (bases.empty()) return line.Refuse("expected a base file");
  if (bases.size() > 1) return line.Refuse("expected one base file");
  if (outPath.empty()) return line.Refuse("-o needs a file name");
  const std::string& basePath = bases.front();

  std::string bytes;
  if (const std::string why = ReadFileBytes(basePath, bytes); !why.empty())
    return Fail(kExitUsage, "cannot read " + basePath + ": " + why);

  const BaseConfigReading reading = ReadBaseConfig(bytes);
  if (!reading.error.message.empty()) return Fail(kExitFailed, Where(basePath, reading.error));
  Radius radius;
  if (std::string error; !ReadRadius(basePath, radius, error)) return Fail(kExitFailed, error);

  const std::string fileName = std::filesystem::path(basePath).filename().string();
  const RouteFileWriting route = RouteFileText(Skeleton(reading.base, fileName, radius));
  if (!route.error.empty()) return Fail(kExitFailed, "cannot write a route file of " + basePath + ": " + route.error);
  return WriteOutput(outPath, route.text, basePath);
}

}  // namespace route_tool
