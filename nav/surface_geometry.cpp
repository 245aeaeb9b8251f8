#include "nav/surface_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "host/oapi.h"

namespace {

double Square(double x) { return x * x; }

double BodyRadiusOf(const VESSEL& vessel) {
  VESSELSTATUS status;
  vessel.GetStatus(status);
  return oapiGetSize(status.rbody);
}

}  // namespace

// Andoyer's geodesic distance with flattening f = 0. Its flattening
// correction is D * (1 + f * (...) - f * (...)), i.e. exactly D when f = 0,
// so it is left out: evaluating it would only divide by zero at coincident
// points (S = 0) and antipodes (C = 0) for nothing.
double SphereDistance(double lat1, double lon1, double lat2, double lon2, double radiusMetres) {
  const double f = (lat1 + lat2) * 0.5;
  const double g = (lat1 - lat2) * 0.5;
  const double l = (lon1 - lon2) * 0.5;
  const double sin2F = Square(std::sin(f));
  const double cos2F = Square(std::cos(f));
  const double sin2G = Square(std::sin(g));
  const double cos2G = Square(std::cos(g));
  const double sin2l = Square(std::sin(l));
  const double cos2l = Square(std::cos(l));
  // Sums of products of squares, so never negative; the clamp keeps the
  // square root defined whatever order the compiler evaluates them in.
  const double s = std::max(0.0, cos2F * sin2l + sin2G * cos2l);
  const double c = std::max(0.0, sin2F * sin2l + cos2G * cos2l);
  // S + C = 1, so C = 0 means S = 1: antipodes, half the circle.
  const double omega = c > 0.0 ? std::atan(std::sqrt(s / c)) : std::numbers::pi / 2.0;
  return 2.0 * omega * radiusMetres;
}

double DistanceFromVessel(const VESSEL& vessel, double latitude, double longitude) {
  double vesselLongitude = 0.0;
  double vesselLatitude = 0.0;
  double radiusFromCentre = 0.0;  // the vessel's altitude plays no part
  vessel.GetEquPos(vesselLongitude, vesselLatitude, radiusFromCentre);
  const double bodyRadius = BodyRadiusOf(vessel);
  return SphereDistance(vesselLatitude, vesselLongitude, latitude, longitude, bodyRadius);
}

double DistanceFromFocus(double latitude, double longitude) {
  const VESSEL* focus = oapiGetFocusInterface();
  if (focus == nullptr) return std::numeric_limits<double>::quiet_NaN();
  return DistanceFromVessel(*focus, latitude, longitude);
}

double SurfaceDistance(double lat1, double lon1, double lat2, double lon2) {
  const VESSEL* focus = oapiGetFocusInterface();
  if (focus == nullptr) return std::numeric_limits<double>::quiet_NaN();
  const double bodyRadius = BodyRadiusOf(*focus);
  return SphereDistance(lat1, lon1, lat2, lon2, bodyRadius);
}

double HeightAboveGround(const VESSEL& vessel) {
  const double altitude = vessel.GetAltitude();
  VECTOR3 p1{};
  VECTOR3 p2{};
  VECTOR3 p3{};
  vessel.GetTouchdownPoints(p1, p2, p3);
  return altitude + std::min({p1.y, p2.y, p3.y});
}
