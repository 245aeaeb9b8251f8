// Advances each route's current waypoint once per simulation step.
#pragma once

struct VesselRoute;

// Thresholds of the holding states.
constexpr double kTakeoffHeightMetres = 20.0;      // Takeoff done above this
constexpr double kLandingHeightMetres = 20.0;      // Land within the radius below this
constexpr double kTouchdownHeightMetres = 0.0001;  // Land at radius 0 below this
constexpr double kStandstillAirspeed = 0.0001;     // [m/s] Land needs less

void StepRoutes();
void AdvanceRoute(VesselRoute& route);
