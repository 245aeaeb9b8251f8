// Writes a route file as a person would: the three sections, one line per
// entry with its comment, numbers in their shortest exact form. What the
// tools make (a skeleton from a base, an imported GPX route) is written
// here, and reads back with the module's reader as the same values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "route/route_records.h"
#include "route/section_text.h"

namespace route_tool {

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

// How the writer changes texts so that they read back as written and
// never change what the file means. A description: '"' becomes '\'';
// '#', tab, CR and LF become a space; runs of spaces become one space (the
// reader would fold them). Every text, descriptions and comments alike
// (the first line is not cut at '#', and a marker counts anywhere in a
// line): CR and LF become a space, and the underscore of a section marker
// word (BEGIN_ or END_ followed by POINTS, RUNWAYS or WAYPOINTS) becomes a
// space. Every other byte is kept.
std::string DescriptionAsWritten(std::string_view description);
std::string CommentAsWritten(std::string_view comment);

struct RouteFileWriting {
  std::string text;   // the whole file when error is empty
  std::string error;  // why the draft cannot be written, naming the entry
};

// The file's text. Every waypoint line carries altitude and speed, so a
// description always follows the numbers. A route without runways gets
// the end marker "-1 -1" as its RUNWAYS line, since an empty section
// loads nothing. Zero is written as "0" whatever its sign ("-0" does not
// read). A draft the module would read as something else is refused: no
// point or no waypoint, a number that is not finite, a reference, runway
// end, task or loop target the reader would not take, or a file larger
// than the module reads (largestFileBytes, a smaller one only for tests).
RouteFileWriting RouteFileText(const RouteFileDraft& draft, std::size_t largestFileBytes = kLargestRouteFileBytes);

// The shortest decimal text that reads back as the same double.
std::string ShortestNumber(double value);

}  // namespace route_tool
