// A route file as the module's reader reads it, together with the file's
// own numbering of points and runways and what each waypoint names: the
// ground that tarvik-route's commands stand on. Read with the module's
// reader, so that a tool never sees a route the module would not.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "route/route_file_reader.h"
#include "route/route_records.h"
#include "text/file_place.h"

namespace route_tool {

struct RunwayEnds {
  std::int32_t end1Point = 0;  // numbers of the points in the POINTS section
  std::int32_t end2Point = 0;
};

// What a waypoint line names: a runway's centre or a point.
struct WaypointReference {
  bool onRunway = false;
  std::int32_t index = 0;
};

struct RouteSource {
  std::string path;
  // What the module loads from the file, exactly.
  WaypointList waypoints;
  RunwayList runways;
  std::string errorText;
  bool errorFlag = false;
  // The file's own numbering: points in degrees as written, the point
  // numbers of each runway, and for each waypoint of `waypoints` what it
  // names. Points and runways after an error are missing, as they are to
  // the module.
  std::vector<RoutePoint> points;
  std::vector<RunwayEnds> runwayEnds;
  std::vector<WaypointReference> references;
};

// The file's bytes as they are (host path), read once through one open,
// up to the largest route file (kLargestRouteFileBytes): empty when read,
// else why not ("No such file or directory", "it is a folder", "it is
// larger than 256 MiB", "it cannot be read"), and then no bytes. A pipe
// or a FIFO can be read only once, so nothing opens a file twice.
std::string ReadFileBytes(const std::string& path, std::string& bytes, bool* tooLarge = nullptr);

// A route file read once, for the module's reader and for the commands'
// own look at its lines.
struct RouteInput {
  std::string path;
  std::string bytes;
  bool tooLarge = false;  // no bytes: the module says the file is too large
};

// Empty when the file was read, or is too large for the module, which
// then says so; else why it cannot be read.
std::string ReadRouteInput(const std::string& path, RouteInput& input);

// Reads the bytes as the module does. The reader's echo of its reports is
// dropped and the simulated host's log is cleared first: the commands show
// reports their own way.
RouteSource ReadRouteSource(RouteInput input);
// Reads the file once and then as the module does; a file that cannot be
// read reads as an empty one.
RouteSource ReadRouteSource(const std::string& path);

// The place in the file of the module's point (a number of
// RouteSource::points); the file as a whole when there is none. Reads the
// bytes again with the trace of where each byte came from: only a message
// needs it, and every other read is spared the trace's memory.
FilePlace PlaceOfPoint(const RouteInput& input, std::size_t point);

// Maps offsets in a reader's fileText back to the file. Built from the
// reader's trace and the file's bytes.
class FileLines {
 public:
  FileLines(const std::string& fileBytes, const TextOrigins& origins);
  // The place of a byte of the file.
  FilePlace PlaceOfFileOffset(std::size_t offset) const { return starts_.PlaceOf(offset); }
  // The place of a view into fileText; the file as a whole when the view
  // is empty or not inside fileText.
  FilePlace PlaceOf(std::string_view fileText, std::string_view inText) const;
  // The file's line (from 1) without its line end.
  std::string_view Line(std::size_t number) const;
  std::size_t LineCount() const;

 private:
  std::string_view bytes_;
  const TextOrigins& origins_;
  LineStarts starts_;
};

}  // namespace route_tool
