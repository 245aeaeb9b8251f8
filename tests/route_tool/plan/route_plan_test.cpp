// The plan's geometry: the local map, the fit into the frame, the round
// steps of graticule and scale bar, and the labels.
#include "route_tool/plan/route_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geodesy/body_constants.h"
#include "geodesy/angles.h"
#include "simhost/sim_host.h"
#include "tests/support/cairo_static_data.h"
#include "route_tool/plan/display_list_painter.h"

namespace {

using namespace route_tool;

using geodesy::kEarthRadiusMetres;
constexpr double kRad = geodesy::kRadiansPerDegree;

Waypoint WaypointAt(double latitudeDeg, double longitudeDeg, double acceptRadiusMetres = 0.0) {
  Waypoint w;
  w.latitude = latitudeDeg * kRad;
  w.longitude = longitudeDeg * kRad;
  w.acceptRadius = acceptRadiusMetres;
  return w;
}

// Great-circle distance on the body, for comparison with the plan.
double HaversineMetres(double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg) {
  const double dLat = (lat2Deg - lat1Deg) * kRad;
  const double dLon = (lon2Deg - lon1Deg) * kRad;
  const double a = std::pow(std::sin(dLat / 2), 2) + std::cos(lat1Deg * kRad) * std::cos(lat2Deg * kRad) *
                                                          std::pow(std::sin(dLon / 2), 2);
  return 2.0 * kEarthRadiusMetres * std::asin(std::sqrt(a));
}

TEST(LocalProjection, MeridianAndCentralParallelAreTrueToScale) {
  const LocalProjection map(52.0 * kRad, 10.0 * kRad, kEarthRadiusMetres);
  const PlanMetres degreeNorth = map.ToPlan(53.0 * kRad, 10.0 * kRad);
  EXPECT_DOUBLE_EQ(degreeNorth.eastMetres, 0.0);
  EXPECT_NEAR(degreeNorth.northMetres, kEarthRadiusMetres * kRad, 1e-6);
  const PlanMetres tenthEast = map.ToPlan(52.0 * kRad, 10.1 * kRad);
  EXPECT_NEAR(tenthEast.eastMetres, kEarthRadiusMetres * 0.1 * kRad * std::cos(52.0 * kRad), 1e-6);
  EXPECT_NEAR(tenthEast.northMetres, 0.0, 1e-9);
  // The way back.
  EXPECT_NEAR(map.LatitudeDegAt(degreeNorth.northMetres), 53.0, 1e-12);
  EXPECT_NEAR(map.LongitudeDegAt(tenthEast.eastMetres), 10.1, 1e-12);
  EXPECT_NEAR(map.NorthMetresAtLatitudeDeg(53.0), degreeNorth.northMetres, 1e-6);
  EXPECT_NEAR(map.EastMetresAtLongitudeDeg(10.1), tenthEast.eastMetres, 1e-6);
}

TEST(LocalProjection, DistancesNearTheCentreMatchTheGreatCircle) {
  const LocalProjection map(28.55 * kRad, -80.6 * kRad, kEarthRadiusMetres);
  struct Case {
    double lat1, lon1, lat2, lon2;
  };
  // Up to about 30 km from the centre, in every direction.
  for (const Case& c : {Case{28.55, -80.6, 28.75, -80.6}, Case{28.55, -80.6, 28.55, -80.35},
                        Case{28.43, -80.54, 28.67, -80.74}, Case{28.60, -80.70, 28.40, -80.50}}) {
    const PlanMetres a = map.ToPlan(c.lat1 * kRad, c.lon1 * kRad);
    const PlanMetres b = map.ToPlan(c.lat2 * kRad, c.lon2 * kRad);
    const double planMetres = std::hypot(b.eastMetres - a.eastMetres, b.northMetres - a.northMetres);
    const double trueMetres = HaversineMetres(c.lat1, c.lon1, c.lat2, c.lon2);
    EXPECT_NEAR(planMetres / trueMetres, 1.0, 2e-3) << c.lat1 << " " << c.lon1 << " to " << c.lat2 << " " << c.lon2;
  }
}

TEST(LocalProjection, LongitudesAcrossTheAntimeridianStayTogether) {
  const LocalProjection map(-16.0 * kRad, 179.95 * kRad, kEarthRadiusMetres);
  const PlanMetres west = map.ToPlan(-16.0 * kRad, 179.95 * kRad);
  const PlanMetres east = map.ToPlan(-16.0 * kRad, -179.95 * kRad);
  EXPECT_NEAR(east.eastMetres - west.eastMetres, kEarthRadiusMetres * 0.1 * kRad * std::cos(16.0 * kRad), 1e-6);
  // Unwrapped on the way back, wrapped in the labels.
  EXPECT_NEAR(map.LongitudeDegAt(east.eastMetres), 180.05, 1e-9);
  EXPECT_EQ(LongitudeLabel(180.05, 0.05), "179.95\u00B0W");

  RouteSource source;
  source.waypoints = {WaypointAt(-16.0, 179.95, 500.0), WaypointAt(-16.1, -179.9, 500.0)};
  const RoutePlan plan = MakeRoutePlan(source, "dateline");
  const double spanPx = plan.fit.XPx(plan.waypoints[1].at.eastMetres) - plan.fit.XPx(plan.waypoints[0].at.eastMetres);
  EXPECT_GT(spanPx, 0.0);  // the second lies east of the first, on the same plan
  EXPECT_LT(spanPx, plan.fit.frame.widthPx);
  EXPECT_NEAR(plan.waypoints[1].at.eastMetres, kEarthRadiusMetres * 0.15 * kRad * std::cos(-16.05 * kRad), 1e-6);
  const Graticule graticule = GraticuleInView(plan.projection, plan.fit);
  std::vector<std::string> labels;
  for (const double longitude : graticule.longitudesDeg) labels.push_back(LongitudeLabel(longitude, graticule.longitudeStepDeg));
  EXPECT_NE(std::find(labels.begin(), labels.end(), "180.00\u00B0"), labels.end()) << testing::PrintToString(labels);
  EXPECT_NE(std::find(labels.begin(), labels.end(), "179.90\u00B0W"), labels.end()) << testing::PrintToString(labels);
}

TEST(PlanFit, NorthIsUpAndEastIsRight) {
  RouteSource source;
  source.waypoints = {WaypointAt(40.0, 20.0), WaypointAt(40.1, 20.0), WaypointAt(40.0, 20.1)};
  const RoutePlan plan = MakeRoutePlan(source, "compass");
  const auto x = [&](std::size_t i) { return plan.fit.XPx(plan.waypoints[i].at.eastMetres); };
  const auto y = [&](std::size_t i) { return plan.fit.YPx(plan.waypoints[i].at.northMetres); };
  EXPECT_LT(y(1), y(0));  // the northern one higher up in the picture
  EXPECT_DOUBLE_EQ(x(1), x(0));
  EXPECT_GT(x(2), x(0));  // the eastern one further right
  EXPECT_DOUBLE_EQ(y(2), y(0));
  // One scale both ways: a tenth of a degree east is cos(lat0) times a
  // tenth of a degree north, lat0 the waypoints' mean latitude.
  EXPECT_NEAR((x(2) - x(0)) / (y(0) - y(1)), std::cos((40.0 + 40.1 + 40.0) / 3.0 * kRad), 1e-9);
}

TEST(PlanFit, EveryThingOfEveryExampleIsInsideTheFrame) {
  for (const char* file : {"examples/routes/circuit.route", "examples/routes/example.route",
                           "examples/routes/rover.route", "examples/demo/Config/TKMFD/routes/kestrel.route",
                           "tests/real_host/routes/CapeCanaveral.route"}) {
    simhost::host().Reset();
    const RouteSource source = ReadRouteSource(std::string(TARVIK_SOURCE_DIR "/") + file);
    ASSERT_FALSE(source.errorFlag) << file;
    const RoutePlan plan = MakeRoutePlan(source, file);
    const PxRect f = plan.fit.frame;
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    auto include = [&](PlanMetres at, double radiusMetres) {
      left = std::min(left, plan.fit.XPx(at.eastMetres - radiusMetres));
      right = std::max(right, plan.fit.XPx(at.eastMetres + radiusMetres));
      top = std::min(top, plan.fit.YPx(at.northMetres + radiusMetres));
      bottom = std::max(bottom, plan.fit.YPx(at.northMetres - radiusMetres));
    };
    for (const PlanWaypoint& w : plan.waypoints) include(w.at, w.acceptRadiusMetres);
    for (const PlanMetres& p : plan.points) include(p, 0.0);
    for (const PlanRunway& r : plan.runways) {
      include(r.end1, 0.0);
      include(r.end2, 0.0);
    }
    constexpr double kSlackPx = 1e-6;
    EXPECT_GE(left, f.leftPx + kFitMarginPx - kSlackPx) << file;
    EXPECT_LE(right, f.leftPx + f.widthPx - kFitMarginPx + kSlackPx) << file;
    EXPECT_GE(top, f.topPx + kFitMarginPx - kSlackPx) << file;
    EXPECT_LE(bottom, f.topPx + f.heightPx - kFitMarginPx + kSlackPx) << file;
    // As large as it can be: one way it fills the frame within the margins.
    const bool fillsWidth = std::fabs(right - left - (f.widthPx - 2 * kFitMarginPx)) < 1e-6;
    const bool fillsHeight = std::fabs(bottom - top - (f.heightPx - 2 * kFitMarginPx)) < 1e-6;
    EXPECT_TRUE(fillsWidth || fillsHeight) << file;
    EXPECT_NEAR((left + right) / 2.0, f.leftPx + f.widthPx / 2.0, 1e-6) << file;
    EXPECT_NEAR((top + bottom) / 2.0, f.topPx + f.heightPx / 2.0, 1e-6) << file;
  }
}

TEST(PlanFit, OneSpotShowsTheLeastSpan) {
  PlanExtent extent;
  extent.Include({1000.0, -2000.0});
  const PxRect frame{0.0, 0.0, 800.0, 600.0};
  const PlanFit fit = FitExtent(extent, frame, 50.0);
  EXPECT_DOUBLE_EQ(fit.scalePxPerMetre, 500.0 / kMinimumSpanMetres);
  EXPECT_DOUBLE_EQ(fit.XPx(1000.0), 400.0);
  EXPECT_DOUBLE_EQ(fit.YPx(-2000.0), 300.0);
  const PlanMetres back = fit.AtPx(400.0 + 10.0, 300.0 - 20.0);
  EXPECT_DOUBLE_EQ(back.eastMetres, 1000.0 + 10.0 / fit.scalePxPerMetre);
  EXPECT_DOUBLE_EQ(back.northMetres, -2000.0 + 20.0 / fit.scalePxPerMetre);
}

TEST(NiceNumbers, StepsAreOneTwoOrFiveTimesAPowerOfTen) {
  struct Case {
    double span;
    int maxCount;
    double step;
  };
  for (const Case& c : {Case{0.35, 8, 0.05}, Case{1.0, 8, 0.2}, Case{0.136, 8, 0.02}, Case{0.2, 8, 0.05},
                        Case{10.0, 5, 2.0}, Case{5.0, 5, 1.0}, Case{0.008, 8, 0.001}, Case{0.0401, 8, 0.01},
                        Case{75.0, 8, 10.0}, Case{0.0, 8, 0.0}, Case{-1.0, 8, 0.0}, Case{INFINITY, 8, 0.0},
                        Case{1.0, 0, 0.0}}) {
    EXPECT_NEAR(NiceStep(c.span, c.maxCount), c.step, c.step * 1e-12) << c.span << " in " << c.maxCount;
  }
  struct Length {
    double most;
    double length;
  };
  for (const Length& c : {Length{5400.0, 5000.0}, Length{1000.0, 1000.0}, Length{999.0, 500.0}, Length{3.0, 2.0},
                          Length{0.7, 0.5}, Length{19999.0, 10000.0}, Length{0.0, 0.0}, Length{NAN, 0.0}}) {
    EXPECT_NEAR(NiceLengthAtMost(c.most), c.length, c.length * 1e-12) << c.most;
  }
}

TEST(PlanLabels, DegreesAndLengths) {
  struct Case {
    std::string text;
    std::string expected;
  };
  for (const Case& c : {Case{LatitudeLabel(28.6, 0.05), "28.60\u00B0N"}, Case{LatitudeLabel(-33.5, 0.5), "33.5\u00B0S"},
                        Case{LatitudeLabel(52.0, 1.0), "52\u00B0N"}, Case{LatitudeLabel(1e-13, 0.1), "0.0\u00B0"},
                        Case{LongitudeLabel(-80.7, 0.05), "80.70\u00B0W"}, Case{LongitudeLabel(10.0, 0.1), "10.0\u00B0E"},
                        Case{LongitudeLabel(180.0, 1.0), "180\u00B0"}, Case{LongitudeLabel(-180.0, 0.5), "180.0\u00B0"},
                        Case{LongitudeLabel(359.98, 0.01), "0.02\u00B0W"}, Case{LongitudeLabel(0.0, 0.2), "0.0\u00B0"},
                        Case{LengthLabel(500.0), "500 m"}, Case{LengthLabel(5000.0), "5 km"},
                        Case{LengthLabel(20000.0), "20 km"}, Case{LengthLabel(0.5), "0.5 m"}}) {
    EXPECT_EQ(c.text, c.expected);
  }
}

TEST(PlanGraticule, AHandfulOfLinesInViewAtMultiplesOfTheStep) {
  RouteSource source;
  source.waypoints = {WaypointAt(52.0, 9.98, 1500.0), WaypointAt(52.13, 10.18, 1500.0)};
  const RoutePlan plan = MakeRoutePlan(source, "kestrel");
  const Graticule graticule = GraticuleInView(plan.projection, plan.fit);
  EXPECT_DOUBLE_EQ(graticule.latitudeStepDeg, 0.05);
  EXPECT_DOUBLE_EQ(graticule.longitudeStepDeg, 0.05);
  EXPECT_GE(graticule.latitudesDeg.size(), 3u);
  EXPECT_LE(graticule.latitudesDeg.size(), static_cast<std::size_t>(kMaxGraticuleLines) + 1);
  const PxRect f = plan.fit.frame;
  for (const double latitude : graticule.latitudesDeg) {
    EXPECT_NEAR(std::remainder(latitude, 0.05), 0.0, 1e-9) << latitude;
    const double y = plan.fit.YPx(plan.projection.NorthMetresAtLatitudeDeg(latitude));
    EXPECT_TRUE(y >= f.topPx && y <= f.topPx + f.heightPx) << latitude;
  }
  for (const double longitude : graticule.longitudesDeg) {
    EXPECT_NEAR(std::remainder(longitude, 0.05), 0.0, 1e-9) << longitude;
    const double x = plan.fit.XPx(plan.projection.EastMetresAtLongitudeDeg(longitude));
    EXPECT_TRUE(x >= f.leftPx && x <= f.leftPx + f.widthPx) << longitude;
  }
}

TEST(PlanText, InvalidUtf8AndXmlSpecialsAreMadeSafe) {
  struct Case {
    std::string in;
    std::string out;
  };
  for (const Case& c : {Case{"Runway 09", "Runway 09"}, Case{"Caf\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x9A\x80", "Caf\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x9A\x80"},
                        Case{"a\xFF" "b", "a?b"}, Case{"\xC0\xAF", "??"}, Case{"tab\there", "tab?here"},
                        Case{"\xED\xA0\x80", "???"}, Case{"cut \xE2\x82", "cut ??"}, Case{"\xEF\xBF\xBE", "???"},
                        Case{"\xF4\x90\x80\x80", "????"}}) {
    EXPECT_EQ(ValidUtf8(c.in), c.out) << testing::PrintToString(c.in);
  }
  EXPECT_EQ(XmlEscaped("<a & \"b\">"), "&lt;a &amp; &quot;b&quot;&gt;");
}

// The longest start of the text that fits with the ellipsis, cut at a
// whole character: one more character would not fit.
TEST(PlanText, FittedKeepsTheLongestStartThatFits) {
  DisplayListPainter painter;
  const TextStyle style{12.0, false, {}, false};
  const std::string ellipsis = "\xE2\x80\xA6";
  std::string text;
  for (int i = 0; i < 300; ++i) text += i % 3 == 0 ? "W\xC3\xA9" : "il";  // wide, narrow and two-byte characters
  EXPECT_EQ(painter.Fitted("short", style, 1000.0), "short");
  for (const double widthPx : {0.5, 40.0, 333.0, 2000.0}) {
    const std::string fitted = painter.Fitted(text, style, widthPx);
    ASSERT_TRUE(fitted.ends_with(ellipsis)) << widthPx;
    const std::string kept = fitted.substr(0, fitted.size() - ellipsis.size());
    ASSERT_TRUE(text.starts_with(kept)) << widthPx;
    if (!kept.empty()) {
      EXPECT_LE(painter.WidthPx(fitted, style), widthPx);
    }
    std::size_t next = kept.size() + 1;
    while ((static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    EXPECT_GT(painter.WidthPx(text.substr(0, next) + ellipsis, style), widthPx) << widthPx;
  }
}

}  // namespace
