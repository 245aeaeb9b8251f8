// Distances on the surface of a spherical body and a vessel's height above
// the ground. Every call reads the host's state afresh.
#pragma once

#include "host/vessel.h"

// Great-circle distance [m] between two points [rad] on a sphere of radius
// a [m] (Andoyer's formula with flattening 0). Never NaN for finite input.
double SphereDistance(double lat1, double lon1, double lat2, double lon2, double radiusMetres);

// From the focus vessel to a point, on the focus vessel's body [m].
double DistanceFromFocus(double latitude, double longitude);

// Between two points, on the focus vessel's body [m].
double SurfaceDistance(double lat1, double lon1, double lat2, double lon2);

// From the given vessel to a point, on that vessel's own body [m].
double DistanceFromVessel(const VESSEL& vessel, double latitude, double longitude);

// Altitude plus the lowest touchdown point's y [m].
double HeightAboveGround(const VESSEL& vessel);
