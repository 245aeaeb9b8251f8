// Moving over a spherical body: the initial course to a point, the distance
// to it, and the point reached along a course. Radians and metres.
#pragma once

#include "simhost/sim_host.h"

namespace geodesy {

// Initial great-circle course from one point to another, 0 north, pi/2 east,
// in [0, 2 pi).
double CourseRad(const simhost::LatLon& from, const simhost::LatLon& to);

double DistanceMetres(const simhost::LatLon& from, const simhost::LatLon& to, double radiusMetres);

// The point reached by travelling the given distance along the great circle
// that leaves `from` on `courseRad`.
simhost::LatLon Travel(const simhost::LatLon& from, double courseRad, double distanceMetres, double radiusMetres);

// The course at the end of such a travel (the great circle turns).
double CourseAtEnd(const simhost::LatLon& from, const simhost::LatLon& to);

// An angle in (-pi, pi].
double WrapToPi(double angleRad);

}  // namespace geodesy
