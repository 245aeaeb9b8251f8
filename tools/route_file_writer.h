// Writes a route file as a person would: the three sections, one line per
// entry with its comment, numbers in their shortest exact form. What the
// tools make (a skeleton from a base, an imported GPX route) is written
// here, and reads back with the module's reader as the same values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "route/route_records.h"

struct RouteFileDraft {
  struct Point {
    double longitudeDeg = 0.0;
    double latitudeDeg = 0.0;
    std::string comment;  // after '#' on the line; empty for none
  };
  struct RunwayLine {
    std::int32_t end1Point = 0;
    std::int32_t end2Point = 0;
    std::string comment;
  };
  struct WaypointLine {
    bool onRunway = false;
    std::int32_t index = 0;  // of the runway or point
    std::int32_t task = Turn;
    std::int32_t loopTarget = 0;  // written as LOOP:n when not 0
    double acceptRadiusMetres = 0.0;
    double altitudeMetres = 0.0;
    double speedMetresPerSecond = 0.0;
    std::string description;
    std::string comment;
  };

  std::vector<std::string> headerComments;  // lines before the sections
  std::vector<Point> points;
  std::vector<RunwayLine> runways;
  std::vector<WaypointLine> waypoints;
  std::vector<std::string> trailingComments;  // lines after the sections
};

// The file's text. Every waypoint line carries altitude and speed, so a
// description always follows the numbers. A route without runways gets
// the end marker "-1 -1" as its RUNWAYS line, since an empty section
// loads nothing. Texts lose what the format cannot hold: a description its
// double quotes, '#' and line ends; a comment its line ends.
std::string RouteFileText(const RouteFileDraft& draft);

// The shortest decimal text that reads back as the same double.
std::string ShortestNumber(double value);
