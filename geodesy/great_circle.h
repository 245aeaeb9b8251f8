// Moving over a spherical body: the initial course to a point, the distance
// to it, and the point reached along a course. Radians and metres.
#pragma once

namespace geodesy {

struct LatLon {
  double latitudeRad = 0.0;
  double longitudeRad = 0.0;
};

// Initial great-circle course from one point to another, 0 north, pi/2 east,
// in [0, 2 pi).
double CourseRad(const LatLon& from, const LatLon& to);

double DistanceMetres(const LatLon& from, const LatLon& to, double radiusMetres);

// The point reached by travelling the given distance along the great circle
// that leaves `from` on `courseRad`.
LatLon Travel(const LatLon& from, double courseRad, double distanceMetres, double radiusMetres);

// The course at the end of such a travel (the great circle turns).
double CourseAtEnd(const LatLon& from, const LatLon& to);

// An angle in (-pi, pi].
double WrapToPi(double angleRad);

}  // namespace geodesy
