// One of the host's surface base files (Config/<planet>/Base/*.cfg), read
// as the host reads it: the base's Location, the runways and landing pads
// of its object list and its VOR beacons, each with the line it came from;
// and the host's way from a base's local metres to degrees.
//
// The host finds "Location = lng lat" as the first such item from the top
// (names without case, ';' starts a comment, END_PARSE ends the search),
// and BEGIN_NAVBEACON and BEGIN_OBJECTLIST as the first line starting with
// them. In the object list each object is a tag line (RUNWAY, LPAD2A, ...)
// and its lines up to END; an unknown tag or a bad POS ends the host's
// list, so both are errors here, as are numbers the host would misread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/file_place.h"

namespace route_tool {

// A place in the base's own frame, metres from its Location. The host's
// x points south, y up, z east (Base::Rel_EquPos).
struct BaseLocalPosition {
  double southMetres = 0.0;
  double upMetres = 0.0;
  double eastMetres = 0.0;
};

struct BaseRunway {
  BaseLocalPosition end1;
  BaseLocalPosition end2;
  std::string end1Text;  // the lines as written, blanks collapsed: "END1 -1150 0 -2880"
  std::string end2Text;
  std::size_t line = 0;  // of the RUNWAY tag
};

struct BasePad {
  std::string tag;  // LPAD1, LPAD2, LPAD2A, or MESH with an LPAD line
  BaseLocalPosition position;
  std::string positionText;  // "POS 6851.61 0 -2367.58"; empty when there is none (the base's centre)
  std::string navText;       // "NAV 128.10"; empty when there is none
  std::size_t line = 0;      // of the tag
};

struct BaseBeacon {
  std::string id;
  double longitudeDeg = 0.0;
  double latitudeDeg = 0.0;
  double frequencyMHz = 0.0;
  std::string text;  // the line as written, blanks collapsed
  std::size_t line = 0;
};

struct BaseConfig {
  std::string name;  // "Name = ...", empty when there is none
  double longitudeDeg = 0.0;
  double latitudeDeg = 0.0;
  std::string locationText;  // the value as written: "-80.65165 +28.58438"
  std::size_t locationLine = 0;
  std::vector<BaseRunway> runways;
  std::vector<BasePad> pads;
  std::vector<BaseBeacon> beacons;
};

// What went wrong: on a whole line, or the file as a whole.
struct BaseConfigError {
  FilePlace place;
  std::string message;
};

struct BaseConfigReading {
  BaseConfig base;
  BaseConfigError error;  // message empty when the file was read
};

// A base with a Location and at least one runway, or the first fault.
BaseConfigReading ReadBaseConfig(std::string_view text);

// The planet's radius from its own file (Config/<planet>.cfg, "Size = ..."),
// as the host reads it. Error on line 0 when the file has no Size.
struct PlanetSizeReading {
  double radiusMetres = 0.0;
  BaseConfigError error;
};
PlanetSizeReading ReadPlanetSize(std::string_view text);

struct SurfacePointDeg {
  double longitudeDeg = 0.0;
  double latitudeDeg = 0.0;
};

// The host's turn of a base's local metres into degrees (Base::Rel_EquPos
// and Base::Pad_EquPos): along the meridian and the base's parallel on a
// sphere of the planet's radius, without any turn of the frame,
//   longitude = lng0 + z / (R cos lat0),  latitude = lat0 - x / R.
SurfacePointDeg BaseLocalToDegrees(double baseLongitudeDeg, double baseLatitudeDeg, const BaseLocalPosition& local,
                                   double radiusMetres);

}  // namespace route_tool
