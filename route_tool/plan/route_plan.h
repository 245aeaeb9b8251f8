// The plan of a route as tarvik-route draw shows it: where everything lies
// in metres on a local map of the body, how that map fits the picture, and
// the round numbers of its graticule and scale bar. Plain values, drawn by
// route_plan_drawing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geodesy/body_constants.h"
#include "route_tool/core/route_source.h"

namespace route_tool {

// The picture: a title band on top, the map frame below it on the left, the
// legend on the right. Sizes in pixels (SVG user units alike).
inline constexpr int kCanvasWidthPx = 1200;
inline constexpr int kCanvasHeightPx = 900;
inline constexpr double kTitleBandPx = 68.0;
inline constexpr double kLegendWidthPx = 264.0;
inline constexpr double kGapPx = 16.0;  // between frames and around them
// Room between the frame and the outermost thing drawn, for labels.
inline constexpr double kFitMarginPx = 56.0;
// A plan of one spot still shows this much ground across.
inline constexpr double kMinimumSpanMetres = 500.0;
// The graticule shows at most this many lines each way.
inline constexpr int kMaxGraticuleLines = 8;
// The scale bar is at most this long.
inline constexpr double kMaxScaleBarPx = 200.0;

struct PlanMetres {
  double eastMetres = 0.0;
  double northMetres = 0.0;
};

// A local equirectangular map about (latitude0, longitude0):
//   east = R * (lon - lon0) * cos(lat0),  north = R * (lat - lat0).
// Along a meridian it is exact: a degree of latitude is R*pi/180 m
// everywhere. Along a parallel a degree is R*pi/180*cos(lat) m, and the
// map takes cos(lat0) for every parallel; at lat0 that is exact, and a
// few hundred kilometres away the error is about tan(lat0)*dlat (under 2%
// for 100 km at 45 degrees), so near the centre lengths, circles and
// angles are true. Longitudes are taken relative to lon0 and wrapped into
// [-pi, pi], so a route across +-180 degrees stays in one piece.
class LocalProjection {
 public:
  LocalProjection(double latitude0Rad, double longitude0Rad, double radiusMetres);
  PlanMetres ToPlan(double latitudeRad, double longitudeRad) const;
  // Back from the plan, in degrees. Longitudes are unwrapped: east of
  // +180 they go on past 180 (see WrappedDegrees).
  double LatitudeDegAt(double northMetres) const;
  double LongitudeDegAt(double eastMetres) const;
  double NorthMetresAtLatitudeDeg(double latitudeDeg) const;
  double EastMetresAtLongitudeDeg(double unwrappedLongitudeDeg) const;
  double Latitude0Rad() const { return latitude0Rad_; }
  double Longitude0Rad() const { return longitude0Rad_; }
  double RadiusMetres() const { return radiusMetres_; }

 private:
  double latitude0Rad_;
  double longitude0Rad_;
  double radiusMetres_;
  double metresPerRadianEast_;
};

// A longitude in degrees brought into (-180, 180].
double WrappedDegrees(double longitudeDeg);

// Everything the plan must show, as a box on the plan.
struct PlanExtent {
  bool empty = true;
  double westMetres = 0.0;
  double eastMetres = 0.0;
  double southMetres = 0.0;
  double northMetres = 0.0;
  // The place and the circle about it (radius 0 for a mark).
  void Include(PlanMetres at, double radiusMetres = 0.0);
};

struct PxRect {
  double leftPx = 0.0;
  double topPx = 0.0;
  double widthPx = 0.0;
  double heightPx = 0.0;
};

// The plan laid into a frame of the picture: north up, east right, one
// scale both ways.
struct PlanFit {
  PxRect frame;
  double scalePxPerMetre = 1.0;
  PlanMetres centre;  // at the frame's middle
  double XPx(double eastMetres) const;
  double YPx(double northMetres) const;
  PlanMetres AtPx(double xPx, double yPx) const;
};

// The largest scale that puts the extent, with marginPx all round, into
// the frame, centred. An extent smaller than kMinimumSpanMetres each way is
// shown as that much ground.
PlanFit FitExtent(const PlanExtent& extent, const PxRect& frame, double marginPx);

// The smallest step of 1, 2 or 5 times a power of ten at which a span has
// at most maxCount steps (0 for a span that is not positive and finite).
double NiceStep(double span, int maxCount);
// The longest of 1, 2 or 5 times a power of ten not over maxLength.
double NiceLengthAtMost(double maxLength);
// "28.60°N", "80.70°W", "0°": as many decimals as the step needs.
std::string LatitudeLabel(double latitudeDeg, double stepDeg);
std::string LongitudeLabel(double longitudeDeg, double stepDeg);
// "500 m", "2 km", "0.5 m".
std::string LengthLabel(double metres);

// Lines of the graticule in view: values in degrees (longitudes
// unwrapped) at multiples of the step.
struct Graticule {
  double latitudeStepDeg = 0.0;
  double longitudeStepDeg = 0.0;
  std::vector<double> latitudesDeg;
  std::vector<double> longitudesDeg;
};
Graticule GraticuleInView(const LocalProjection& projection, const PlanFit& fit);

struct PlanRunway {
  PlanMetres end1;
  PlanMetres end2;
};

struct PlanWaypoint {
  PlanMetres at;
  double acceptRadiusMetres = 0.0;
  std::int32_t task = Turn;
  std::int32_t loopTarget = 0;
  std::string description;
};

// A route file laid out on its plan.
struct RoutePlan {
  std::string title;
  LocalProjection projection{0.0, 0.0, geodesy::kEarthRadiusMetres};
  PlanFit fit;
  std::vector<PlanMetres> points;  // the file's points, P0, P1, ...
  std::vector<PlanRunway> runways;
  std::vector<PlanWaypoint> waypoints;
};

// The map frame of the picture: left of the legend, under the title.
PxRect MapFrame();

// The projection is about the waypoints' mean latitude and the first
// waypoint's longitude (the points' and runways' when there is no
// waypoint); the fit holds every point, runway end and acceptance circle.
RoutePlan MakeRoutePlan(const RouteSource& source, const std::string& title);

}  // namespace route_tool
