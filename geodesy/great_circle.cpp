#include "geodesy/great_circle.h"

#include <algorithm>
#include <cmath>

#include "geodesy/angles.h"

namespace geodesy {

constexpr double kTwoPi = 2.0 * kPi;

double WrapToPi(double angleRad) {
  double a = std::fmod(angleRad + kPi, kTwoPi);
  if (a <= 0.0) a += kTwoPi;
  return a - kPi;
}

double CourseRad(const LatLon& from, const LatLon& to) {
  const double dLon = to.longitudeRad - from.longitudeRad;
  const double y = std::sin(dLon) * std::cos(to.latitudeRad);
  const double x = std::cos(from.latitudeRad) * std::sin(to.latitudeRad) -
                   std::sin(from.latitudeRad) * std::cos(to.latitudeRad) * std::cos(dLon);
  double course = std::atan2(y, x);
  if (course < 0.0) course += kTwoPi;
  return course;
}

double DistanceMetres(const LatLon& from, const LatLon& to, double radiusMetres) {
  // Haversine: well-conditioned for the short distances a pilot steers by.
  const double sinLat = std::sin((to.latitudeRad - from.latitudeRad) * 0.5);
  const double sinLon = std::sin((to.longitudeRad - from.longitudeRad) * 0.5);
  const double a = sinLat * sinLat + std::cos(from.latitudeRad) * std::cos(to.latitudeRad) * sinLon * sinLon;
  return 2.0 * radiusMetres * std::asin(std::sqrt(std::clamp(a, 0.0, 1.0)));
}

LatLon Travel(const LatLon& from, double courseRad, double distanceMetres, double radiusMetres) {
  const double delta = distanceMetres / radiusMetres;
  const double sinLat = std::sin(from.latitudeRad) * std::cos(delta) +
                        std::cos(from.latitudeRad) * std::sin(delta) * std::cos(courseRad);
  const double latitude = std::asin(std::clamp(sinLat, -1.0, 1.0));
  const double longitude =
      from.longitudeRad + std::atan2(std::sin(courseRad) * std::sin(delta) * std::cos(from.latitudeRad),
                                     std::cos(delta) - std::sin(from.latitudeRad) * sinLat);
  return {latitude, longitude};
}

double CourseAtEnd(const LatLon& from, const LatLon& to) {
  // The reverse course, turned round.
  return std::fmod(CourseRad(to, from) + kPi, kTwoPi);
}

}  // namespace geodesy
