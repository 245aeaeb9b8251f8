// Moving over a spherical body: the initial course to a point, the distance
// to it, and the point reached along a course. Radians and metres.
#pragma once

#include "simhost/sim_host.h"

namespace simulator {

// Initial great-circle course from one point to another, 0 north, pi/2 east,
// in [0, 2 pi).
double CourseRad(const sim::LatLon& from, const sim::LatLon& to);

double DistanceMetres(const sim::LatLon& from, const sim::LatLon& to, double radiusMetres);

// The point reached by travelling the given distance along the great circle
// that leaves `from` on `courseRad`.
sim::LatLon Travel(const sim::LatLon& from, double courseRad, double distanceMetres, double radiusMetres);

// The course at the end of such a travel (the great circle turns).
double CourseAtEnd(const sim::LatLon& from, const sim::LatLon& to);

// An angle in (-pi, pi].
double WrapToPi(double angleRad);

}  // namespace simulator
