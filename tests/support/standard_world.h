// The world module tests start from: a blank simulated host and an empty
// route registry with Earth at the radius the host gives it, and the focus
// glider "GL-01" on it. Tests that need more add it to this one.
#pragma once

#include <string>

#include "geodesy/body_constants.h"
#include "nav/route_registry.h"
#include "simhost/sim_host.h"

namespace test_support {

inline constexpr double kEarthRadiusMetres = geodesy::kEarthRadiusMetres;
inline constexpr double kMoonRadiusMetres = 1737400.0;

// Resets the host and the registry; returns the world's one body, Earth
// unless a test needs another radius.
inline simhost::Body& StartStandardWorld(double bodyRadiusMetres = kEarthRadiusMetres) {
  simhost::host().Reset();
  ClearRoutes();
  return simhost::host().AddBody("Earth", bodyRadiusMetres);
}

inline void EndStandardWorld() {
  ClearRoutes();
  simhost::host().Reset();
}

// The first vessel added has the focus.
inline simhost::Vessel& AddGlider(simhost::Body& body, simhost::LatLon position = {}, double headingRad = 0.0) {
  simhost::VesselSpec vesselSpec;
  vesselSpec.name = "GL-01";
  vesselSpec.body = &body;
  vesselSpec.position = position;
  vesselSpec.headingRad = headingRad;
  return simhost::host().AddVessel(vesselSpec);
}

// Three points, one runway, and waypoints on them: takeoff, turn, land.
inline const char* const kThreeWaypointRoute =
    "BEGIN_POINTS\n-80.60 28.60\n-80.70 28.50\n-80.50 28.40\nEND_POINTS\n"
    "BEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\n"
    "BEGIN_WAYPOINTS\nRUNWAY 0 TAKEOFF 500 0 0\nPOINT 2 TURN 2000 3000 250\nRUNWAY 0 LAND 500 0 0\n"
    "END_WAYPOINTS\n";
inline const char* const kOneWaypointRoute =
    "BEGIN_POINTS\n-80.60 28.60\n-80.70 28.50\nEND_POINTS\n"
    "BEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\n"
    "BEGIN_WAYPOINTS\nPOINT 1 TURN 1000 500 100\nEND_WAYPOINTS\n";

}  // namespace test_support
