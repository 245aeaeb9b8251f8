#include "route_tool/core/route_legs.h"

#include <cmath>
#include <cstdio>

#include "nav/surface_geometry.h"
#include "geodesy/great_circle.h"
#include "geodesy/angles.h"

namespace route_tool {

namespace {

RouteLeg LegBetween(const WaypointList& route, std::size_t from, std::size_t to, double bodyRadiusMetres) {
  const Waypoint& a = route[from];
  const Waypoint& b = route[to];
  RouteLeg leg;
  leg.fromWaypoint = from;
  leg.toWaypoint = to;
  // The module's own distance, so that legs agree with what it shows.
  leg.distanceMetres = SphereDistance(a.latitude, a.longitude, b.latitude, b.longitude, bodyRadiusMetres);
  leg.courseDeg = geodesy::CourseRad({a.latitude, a.longitude}, {b.latitude, b.longitude}) * geodesy::kDegreesPerRadian;
  if (leg.courseDeg >= 360.0) leg.courseDeg -= 360.0;
  leg.speedMetresPerSecond = b.speed;
  leg.timed = b.speed > 0.0 && std::isfinite(b.speed);
  leg.timeSeconds = leg.timed ? leg.distanceMetres / b.speed : 0.0;
  return leg;
}

}  // namespace

RouteLegs LegsOf(const WaypointList& route, double bodyRadiusMetres) {
  RouteLegs result;
  std::vector<RouteLeg> forward;  // leg i goes from waypoint i to i + 1
  for (std::size_t i = 0; i + 1 < route.size(); ++i) {
    RouteLeg leg = LegBetween(route, i, i + 1, bodyRadiusMetres);
    result.totalMetres += leg.distanceMetres;
    leg.cumulativeMetres = result.totalMetres;
    if (leg.timed) {
      result.totalSeconds += leg.timeSeconds;
    } else {
      ++result.untimedLegs;
    }
    forward.push_back(leg);
  }
  for (std::size_t i = 0; i < route.size(); ++i) {
    if (i > 0) result.legs.push_back(forward[i - 1]);
    if (route[i].task != Loop) continue;
    const auto target = static_cast<std::size_t>(route[i].loopTarget);
    if (target >= route.size()) continue;  // the module holds at such a loop
    RouteLeg back = LegBetween(route, i, target, bodyRadiusMetres);
    back.loopBack = true;
    result.legs.push_back(back);

    RouteLoop loop{i, target};
    loop.lap = target <= i;
    if (loop.lap) {
      loop.lapMetres = back.distanceMetres;
      loop.lapSeconds = back.timeSeconds;
      loop.lapTimed = back.timed;
      for (std::size_t leg = target; leg < i; ++leg) {
        loop.lapMetres += forward[leg].distanceMetres;
        loop.lapSeconds += forward[leg].timeSeconds;
        loop.lapTimed = loop.lapTimed && forward[leg].timed;
      }
    }
    result.loops.push_back(loop);
  }
  return result;
}

std::string DurationText(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0.0) return "-";
  constexpr double kLongestShownSeconds = 1e12;  // some 30,000 years, well inside a long long
  if (seconds >= kLongestShownSeconds) return "more than 30,000 years";
  const auto total = static_cast<long long>(std::llround(seconds));
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
  return text;
}

}  // namespace route_tool
