#include "nav/waypoint_sequencing.h"

#include <cstdint>
#include <limits>

#include "host/oapi.h"
#include "nav/route_registry.h"
#include "nav/surface_geometry.h"

namespace {

// Each route measures from its own vessel, so that one vessel's progress
// never depends on where another vessel is. The focus vessel's route thus
// gets exactly DistanceFromFocus; a route without a vessel falls back to it.
double DistanceToWaypoint(const VesselRoute& route, const Waypoint& waypoint) {
  // The host is asked for the focus vessel every time, as it always was.
  const VESSEL* focus = oapiGetFocusInterface();
  const VESSEL* measuredFrom = route.vessel != nullptr ? route.vessel : focus;
  // No vessel to measure from: never reached.
  if (measuredFrom == nullptr) return std::numeric_limits<double>::quiet_NaN();
  return DistanceFromVessel(*measuredFrom, waypoint.latitude, waypoint.longitude);
}

bool HasNext(const VesselRoute& route) {
  return route.currentIndex + 1u < static_cast<std::uint32_t>(route.waypoints.size());
}

bool InsideList(std::int32_t index, const VesselRoute& route) {
  return index >= 0 && static_cast<std::uint32_t>(index) < static_cast<std::uint32_t>(route.waypoints.size());
}

void MoveOnIf(bool condition, VesselRoute& route) {
  if (condition && HasNext(route)) ++route.currentIndex;
}

}  // namespace

void StepRoutes() {
  // The length is read again before each record.
  for (std::size_t i = 0; i < vesselRoutes.size(); ++i) AdvanceRoute(vesselRoutes[i]);
}

void AdvanceRoute(VesselRoute& route) {
  if (route.waypoints.empty()) return;
  // A display keeps currentIndex inside the list; should one ever fail to,
  // the route holds rather than read past its end.
  if (route.currentIndex >= route.waypoints.size()) return;

  double heightMetres = 0.0;
  double airspeed = 0.0;
  if (route.vessel != nullptr) {
    heightMetres = HeightAboveGround(*route.vessel);
    airspeed = route.vessel->GetAirspeed();
  }

  // A take-off is passed above its height, a landing below the given one
  // at a standstill.
  const auto moveOnAtTakeoffOrLanding = [&](std::int32_t task, double landedBelowMetres) {
    if (task == Takeoff) MoveOnIf(heightMetres > kTakeoffHeightMetres, route);
    if (task == Land) MoveOnIf(heightMetres < landedBelowMetres && airspeed < kStandstillAirspeed, route);
  };

  const Waypoint& reached = route.waypoints[route.currentIndex];
  const double distanceMetres = DistanceToWaypoint(route, reached);
  const double radiusMetres = reached.acceptRadius;

  if (distanceMetres <= radiusMetres) {
    switch (reached.task) {
      case Turn:
        if (!HasNext(route)) {
          route.waypoints.clear();  // the route is finished
          return;
        }
        ++route.currentIndex;
        break;
      case Loop:
        // A target outside the list holds the route at this waypoint.
        if (InsideList(reached.loopTarget, route)) route.currentIndex = static_cast<std::uint32_t>(reached.loopTarget);
        break;
      case Takeoff:
      case Land:
        moveOnAtTakeoffOrLanding(reached.task, kLandingHeightMetres);
        break;
      default:
        break;
    }
  }

  // A radius of 0 means "wherever the vessel is" for take-off and landing,
  // and applies to the waypoint that is current after the radius test.
  if (radiusMetres == 0.0) moveOnAtTakeoffOrLanding(route.waypoints[route.currentIndex].task, kTouchdownHeightMetres);
}
