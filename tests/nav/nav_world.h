// The standard world with the Moon beside Earth for navigation tests,
// waypoints placed by bearing and distance, and vessels that fly along great
// circles one simulation step at a time.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "geodesy/body_constants.h"
#include "nav/route_registry.h"
#include "nav/waypoint_sequencing.h"
#include "simhost/sim_host.h"
#include "tests/support/standard_world.h"

namespace navtest {

using test_support::kEarthRadiusMetres;
using test_support::kMoonRadiusMetres;
constexpr double kNorth = 0.0;
constexpr double kEast = std::numbers::pi / 2.0;
constexpr double kSouth = std::numbers::pi;

// The point reached from start after distanceMetres along the great circle
// that leaves start at bearingRad.
inline simhost::LatLon Destination(simhost::LatLon start, double bearingRad, double distanceMetres, double radiusMetres) {
  const double delta = distanceMetres / radiusMetres;
  const double lat1 = start.latitudeRad;
  const double lat2 =
      std::asin(std::sin(lat1) * std::cos(delta) + std::cos(lat1) * std::sin(delta) * std::cos(bearingRad));
  const double dLon = std::atan2(std::sin(bearingRad) * std::sin(delta) * std::cos(lat1),
                                 std::cos(delta) - std::sin(lat1) * std::sin(lat2));
  return {lat2, start.longitudeRad + dLon};
}

inline Waypoint WaypointAt(simhost::LatLon at, double acceptRadius, std::int32_t task = Turn, std::int32_t loopTarget = 0) {
  Waypoint w;
  w.latitude = at.latitudeRad;
  w.longitude = at.longitudeRad;
  w.acceptRadius = acceptRadius;
  w.task = task;
  w.loopTarget = loopTarget;
  return w;
}

// A vessel standing still with its touchdown points at its centre, so that
// its height above the ground is exactly its altitude.
inline simhost::VesselSpec Standing(std::string name, simhost::Body& body, simhost::LatLon at) {
  simhost::VesselSpec vesselSpec;
  vesselSpec.name = std::move(name);
  vesselSpec.body = &body;
  vesselSpec.position = at;
  vesselSpec.touchdown = {{{0.0, 0.0, 1.0}, {-1.0, 0.0, -1.0}, {1.0, 0.0, -1.0}}};
  return vesselSpec;
}

// Appends a record for the vessel with the given waypoints, as a display
// would leave it after loading a route; returns its position.
inline std::size_t AddRoute(simhost::Vessel& vessel, std::vector<Waypoint> waypoints) {
  VesselRoute route;
  route.vessel = vessel.iface.get();
  route.vesselHandle = route.vessel->GetHandle();
  route.waypoints = std::move(waypoints);
  route.displays.push_back({1, 0, 0.2, 2000});
  vesselRoutes.push_back(std::move(route));
  return vesselRoutes.size() - 1;
}

// Moves the vessel metresPerStep along its heading, then runs one step.
inline void FlyStep(simhost::Vessel& vessel, double metresPerStep) {
  vessel.position = Destination(vessel.position, vessel.headingRad, metresPerStep, vessel.body->radiusMetres);
  StepRoutes();
}

class NavWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    earth = &test_support::StartStandardWorld();
    moon = &simhost::host().AddBody("Moon", kMoonRadiusMetres);
  }
  void TearDown() override { test_support::EndStandardWorld(); }

  simhost::Body* earth = nullptr;
  simhost::Body* moon = nullptr;
};

}  // namespace navtest
