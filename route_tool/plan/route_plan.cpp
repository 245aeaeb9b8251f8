#include "route_tool/plan/route_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "geodesy/angles.h"

namespace route_tool {
namespace {

// Below this, cos(lat0) is held: at a pole the map has no east.
constexpr double kSmallestCosine = 1e-6;

// The decimals that show multiples of a 1-2-5 step exactly.
int DecimalsOfStep(double step) {
  if (!(step > 0.0)) return 0;
  return std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

std::string DegreeLabel(double valueDeg, double stepDeg, char positive, char negative) {
  const int decimals = DecimalsOfStep(stepDeg);
  const bool zero = std::fabs(valueDeg) < stepDeg * 1e-6;
  char text[64];
  if (zero) {
    std::snprintf(text, sizeof text, "%.*f\xC2\xB0", decimals, 0.0);
  } else {
    std::snprintf(text, sizeof text, "%.*f\xC2\xB0%c", decimals, std::fabs(valueDeg),
                  valueDeg > 0.0 ? positive : negative);
  }
  return text;
}

// Multiples of step from low to high, inclusive.
std::vector<double> MultiplesBetween(double low, double high, double step) {
  std::vector<double> values;
  if (!(step > 0.0) || !(high >= low)) return values;
  const double first = std::ceil(low / step - 1e-9);
  const double last = std::floor(high / step + 1e-9);
  for (double k = first; k <= last; k += 1.0) values.push_back(k * step);
  return values;
}

}  // namespace

LocalProjection::LocalProjection(double latitude0Rad, double longitude0Rad, double radiusMetres)
    : latitude0Rad_(latitude0Rad),
      longitude0Rad_(longitude0Rad),
      radiusMetres_(radiusMetres),
      metresPerRadianEast_(radiusMetres * std::max(std::cos(latitude0Rad), kSmallestCosine)) {}

PlanMetres LocalProjection::ToPlan(double latitudeRad, double longitudeRad) const {
  const double eastRad = std::remainder(longitudeRad - longitude0Rad_, 2.0 * geodesy::kPi);
  return {metresPerRadianEast_ * eastRad, radiusMetres_ * (latitudeRad - latitude0Rad_)};
}

double LocalProjection::LatitudeDegAt(double northMetres) const {
  return (latitude0Rad_ + northMetres / radiusMetres_) / geodesy::kRadiansPerDegree;
}

double LocalProjection::LongitudeDegAt(double eastMetres) const {
  return (longitude0Rad_ + eastMetres / metresPerRadianEast_) / geodesy::kRadiansPerDegree;
}

double LocalProjection::NorthMetresAtLatitudeDeg(double latitudeDeg) const {
  return radiusMetres_ * (latitudeDeg * geodesy::kRadiansPerDegree - latitude0Rad_);
}

double LocalProjection::EastMetresAtLongitudeDeg(double unwrappedLongitudeDeg) const {
  return metresPerRadianEast_ * (unwrappedLongitudeDeg * geodesy::kRadiansPerDegree - longitude0Rad_);
}

double WrappedDegrees(double longitudeDeg) {
  double wrapped = std::remainder(longitudeDeg, 360.0);
  if (wrapped <= -180.0) wrapped += 360.0;
  return wrapped;
}

void PlanExtent::Include(PlanMetres at, double radiusMetres) {
  if (!std::isfinite(at.eastMetres) || !std::isfinite(at.northMetres)) return;
  const double r = std::isfinite(radiusMetres) ? std::max(0.0, radiusMetres) : 0.0;
  if (empty) {
    westMetres = at.eastMetres - r;
    eastMetres = at.eastMetres + r;
    southMetres = at.northMetres - r;
    northMetres = at.northMetres + r;
    empty = false;
    return;
  }
  westMetres = std::min(westMetres, at.eastMetres - r);
  eastMetres = std::max(eastMetres, at.eastMetres + r);
  southMetres = std::min(southMetres, at.northMetres - r);
  northMetres = std::max(northMetres, at.northMetres + r);
}

double PlanFit::XPx(double eastMetres) const {
  return frame.leftPx + frame.widthPx / 2.0 + (eastMetres - centre.eastMetres) * scalePxPerMetre;
}

double PlanFit::YPx(double northMetres) const {
  return frame.topPx + frame.heightPx / 2.0 - (northMetres - centre.northMetres) * scalePxPerMetre;
}

PlanMetres PlanFit::AtPx(double xPx, double yPx) const {
  return {centre.eastMetres + (xPx - frame.leftPx - frame.widthPx / 2.0) / scalePxPerMetre,
          centre.northMetres - (yPx - frame.topPx - frame.heightPx / 2.0) / scalePxPerMetre};
}

PlanFit FitExtent(const PlanExtent& extent, const PxRect& frame, double marginPx) {
  PlanFit fit;
  fit.frame = frame;
  if (!extent.empty) {
    fit.centre = {(extent.westMetres + extent.eastMetres) / 2.0, (extent.southMetres + extent.northMetres) / 2.0};
  }
  const double spanEast = extent.empty ? 0.0 : extent.eastMetres - extent.westMetres;
  const double spanNorth = extent.empty ? 0.0 : extent.northMetres - extent.southMetres;
  const double usableWidthPx = std::max(1.0, frame.widthPx - 2.0 * marginPx);
  const double usableHeightPx = std::max(1.0, frame.heightPx - 2.0 * marginPx);
  fit.scalePxPerMetre = std::min(usableWidthPx / std::max(spanEast, kMinimumSpanMetres),
                                 usableHeightPx / std::max(spanNorth, kMinimumSpanMetres));
  return fit;
}

double NiceStep(double span, int maxCount) {
  if (!(span > 0.0) || !std::isfinite(span) || maxCount < 1) return 0.0;
  const double least = span / maxCount;
  double decade = std::pow(10.0, std::floor(std::log10(least)));
  // Guards against log10 landing a hair off a power of ten.
  if (decade * 10.0 <= least) decade *= 10.0;
  if (decade > least) decade /= 10.0;
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (decade * factor >= least * (1.0 - 1e-12)) return decade * factor;
  }
  return decade * 10.0;
}

double NiceLengthAtMost(double maxLength) {
  if (!(maxLength > 0.0) || !std::isfinite(maxLength)) return 0.0;
  double decade = std::pow(10.0, std::floor(std::log10(maxLength)));
  if (decade * 10.0 <= maxLength) decade *= 10.0;
  if (decade > maxLength) decade /= 10.0;
  for (const double factor : {5.0, 2.0, 1.0}) {
    if (decade * factor <= maxLength * (1.0 + 1e-12)) return decade * factor;
  }
  return decade;
}

std::string LatitudeLabel(double latitudeDeg, double stepDeg) { return DegreeLabel(latitudeDeg, stepDeg, 'N', 'S'); }

std::string LongitudeLabel(double longitudeDeg, double stepDeg) {
  const double wrapped = WrappedDegrees(longitudeDeg);
  if (std::fabs(std::fabs(wrapped) - 180.0) < stepDeg * 1e-6) {
    // 180 is neither east nor west.
    char text[32];
    std::snprintf(text, sizeof text, "%.*f\xC2\xB0", DecimalsOfStep(stepDeg), 180.0);
    return text;
  }
  return DegreeLabel(wrapped, stepDeg, 'E', 'W');
}

std::string LengthLabel(double metres) {
  char text[64];
  if (metres >= 1000.0) {
    std::snprintf(text, sizeof text, "%g km", metres / 1000.0);
  } else {
    std::snprintf(text, sizeof text, "%g m", metres);
  }
  return text;
}

Graticule GraticuleInView(const LocalProjection& projection, const PlanFit& fit) {
  const PxRect& f = fit.frame;
  const PlanMetres topLeft = fit.AtPx(f.leftPx, f.topPx);
  const PlanMetres bottomRight = fit.AtPx(f.leftPx + f.widthPx, f.topPx + f.heightPx);
  const double south = projection.LatitudeDegAt(bottomRight.northMetres);
  const double north = projection.LatitudeDegAt(topLeft.northMetres);
  const double west = projection.LongitudeDegAt(topLeft.eastMetres);
  const double east = projection.LongitudeDegAt(bottomRight.eastMetres);
  Graticule graticule;
  graticule.latitudeStepDeg = NiceStep(north - south, kMaxGraticuleLines);
  graticule.longitudeStepDeg = NiceStep(east - west, kMaxGraticuleLines);
  for (const double latitude : MultiplesBetween(south, north, graticule.latitudeStepDeg))
    if (std::fabs(latitude) <= 90.0) graticule.latitudesDeg.push_back(latitude);
  graticule.longitudesDeg = MultiplesBetween(west, east, graticule.longitudeStepDeg);
  return graticule;
}

PxRect MapFrame() {
  return {kGapPx, kTitleBandPx, kCanvasWidthPx - kLegendWidthPx - 3.0 * kGapPx,
          kCanvasHeightPx - kTitleBandPx - kGapPx};
}

RoutePlan MakeRoutePlan(const RouteSource& source, const std::string& title) {
  // Every place in radians, points included, for one centre.
  std::vector<std::pair<double, double>> places;  // latitude, longitude
  for (const Waypoint& w : source.waypoints) places.emplace_back(w.latitude, w.longitude);
  const std::size_t waypointPlaces = places.size();
  for (const RoutePoint& p : source.points)
    places.emplace_back(p.latitude * geodesy::kRadiansPerDegree, p.longitude * geodesy::kRadiansPerDegree);
  for (const Runway& r : source.runways) {
    places.emplace_back(r.end1Latitude, r.end1Longitude);
    places.emplace_back(r.end2Latitude, r.end2Longitude);
  }
  double latitude0 = 0.0;
  double longitude0 = 0.0;
  if (!places.empty()) {
    const std::size_t count = waypointPlaces > 0 ? waypointPlaces : places.size();
    for (std::size_t i = 0; i < count; ++i) latitude0 += places[i].first;
    latitude0 /= static_cast<double>(count);
    longitude0 = places.front().second;
  }

  RoutePlan plan;
  plan.title = title;
  plan.projection = LocalProjection(latitude0, longitude0, geodesy::kEarthRadiusMetres);
  PlanExtent extent;
  for (const RoutePoint& p : source.points) {
    plan.points.push_back(plan.projection.ToPlan(p.latitude * geodesy::kRadiansPerDegree, p.longitude * geodesy::kRadiansPerDegree));
    extent.Include(plan.points.back());
  }
  for (const Runway& r : source.runways) {
    plan.runways.push_back({plan.projection.ToPlan(r.end1Latitude, r.end1Longitude),
                            plan.projection.ToPlan(r.end2Latitude, r.end2Longitude)});
    extent.Include(plan.runways.back().end1);
    extent.Include(plan.runways.back().end2);
  }
  for (const Waypoint& w : source.waypoints) {
    PlanWaypoint mark;
    mark.at = plan.projection.ToPlan(w.latitude, w.longitude);
    mark.acceptRadiusMetres = std::isfinite(w.acceptRadius) ? std::max(0.0, w.acceptRadius) : 0.0;
    mark.task = w.task;
    mark.loopTarget = w.loopTarget;
    mark.description = w.description;
    extent.Include(mark.at, mark.acceptRadiusMetres);
    plan.waypoints.push_back(std::move(mark));
  }
  plan.fit = FitExtent(extent, MapFrame(), kFitMarginPx);
  return plan;
}

}  // namespace route_tool
