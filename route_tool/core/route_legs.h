// The legs of a route: distance as the module measures it, initial course,
// cumulative distance and time at the waypoints' speeds. A loop's laps are
// counted once: its way back is a leg of its own, outside the totals.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "route/route_records.h"

namespace route_tool {

struct RouteLeg {
  std::size_t fromWaypoint = 0;  // places in the route, from 0
  std::size_t toWaypoint = 0;
  double distanceMetres = 0.0;
  double courseDeg = 0.0;            // initial great-circle course, [0, 360)
  double cumulativeMetres = 0.0;     // along the route up to this leg's end; not for a way back
  double speedMetresPerSecond = 0.0;  // the speed the leg's end waypoint asks for
  bool timed = false;                // false when that speed is 0
  double timeSeconds = 0.0;
  bool loopBack = false;  // from a LOOP waypoint back to where the loop continues
};

struct RouteLoop {
  std::size_t loopWaypoint = 0;
  std::size_t target = 0;
  bool lap = false;  // the target lies at or before the loop, so the way back closes a lap
  double lapMetres = 0.0;
  double lapSeconds = 0.0;
  bool lapTimed = false;
};

struct RouteLegs {
  std::vector<RouteLeg> legs;  // in the order flown, each way back right after its loop
  std::vector<RouteLoop> loops;
  double totalMetres = 0.0;
  double totalSeconds = 0.0;  // of the timed legs
  std::size_t untimedLegs = 0;
};

// The waypoints as the module loaded them; radius of the body they lie on.
RouteLegs LegsOf(const WaypointList& route, double bodyRadiusMetres);

// "h:mm:ss", rounded to the second.
std::string DurationText(double seconds);

}  // namespace route_tool
