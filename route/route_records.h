// The route records shared by the whole module: plain values, copied whole,
// referring to each other only by zero-based index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a vessel is to do at a waypoint; stored as a signed 32-bit integer.
enum TaskKind : std::int32_t {
  Turn = 0,     // pass it and go on to the next
  Loop = 1,     // continue at the waypoint's loopTarget
  Takeoff = 2,  // go on once airborne
  Land = 3,     // go on once landed and at rest
};

// One point of a file's POINTS section, in degrees as written. Lives only
// while a file is read.
struct RoutePoint {
  double latitude = 0.0;   // [deg], the second number of the line
  double longitude = 0.0;  // [deg], the first number of the line
};

// A runway between two points [rad]. The centre is the midpoint of each
// coordinate, the longitude's on the shorter way round.
struct Runway {
  double end1Latitude = 0.0;
  double end1Longitude = 0.0;
  double end2Latitude = 0.0;
  double end2Longitude = 0.0;
  double centerLatitude = 0.0;
  double centerLongitude = 0.0;
};

struct Waypoint {
  double latitude = 0.0;      // [rad]
  double longitude = 0.0;     // [rad]
  double altitude = 0.0;      // [m] to hold
  double acceptRadius = 0.0;  // [m]; 0 has a meaning of its own in sequencing
  double speed = 0.0;         // [m/s] to hold
  std::int32_t task = Turn;   // a TaskKind
  std::string name;
  std::string description;
  std::int32_t loopTarget = 0;  // index in the route where a Loop continues
};

using WaypointList = std::vector<Waypoint>;
using RunwayList = std::vector<Runway>;

// The route file's keyword of a task ("TURN", "LOOP", "TAKEOFF", "LAND"),
// or "?" for a value that is none of them.
const char* TaskKeyword(std::int32_t task);
// The task of an exact, whole keyword; false for anything else.
bool TaskFromKeyword(std::string_view keyword, std::int32_t& task);

// The centre of two runway ends [rad], computed so that equal ends give
// exactly that value.
double RunwayCentre(double end1, double end2);
// The same for longitudes, on the shorter way round: ends more than pi
// apart lie across the 180 degree meridian (or its equivalent), and their
// centre lies halfway along the ends' difference taken into [-pi, pi],
// given within (-pi, pi]. Ends at most pi apart give exactly RunwayCentre.
double RunwayCentreLongitude(double end1, double end2);
