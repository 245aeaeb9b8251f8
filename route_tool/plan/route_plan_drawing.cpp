#include "route_tool/plan/route_plan_drawing.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <cmath>
#include <cstdio>
#include <vector>

#include "surfaces/cairo_surface.h"
#include "route_tool/plan/cairo_painter.h"
#include "geodesy/angles.h"

namespace route_tool {
namespace {

constexpr Rgb kPage{0.925, 0.918, 0.894};
constexpr Rgb kPaper{0.992, 0.99, 0.978};
constexpr Rgb kFrameInk{0.62, 0.61, 0.58};
constexpr Rgb kGraticuleInk{0.84, 0.83, 0.80};
constexpr Rgb kGraticuleText{0.42, 0.42, 0.40};
constexpr Rgb kRunwayInk{0.28, 0.29, 0.31};
constexpr Rgb kPointInk{0.40, 0.40, 0.44};
constexpr Rgb kLegInk{0.16, 0.27, 0.42};
constexpr Rgb kInk{0.10, 0.11, 0.13};

constexpr double kRunwayWidthPx = 7.0;  // the least width that reads as a strip
constexpr double kLegWidthPx = 2.5;
constexpr double kMarkSizePx = 10.0;
constexpr double kPointMarkPx = 4.0;

const TextStyle kWaypointNumberStyle{14.0, true, kInk, true};
const TextStyle kPointLabelStyle{11.0, false, kPointInk, true};
const TextStyle kRunwayLabelStyle{12.0, true, kRunwayInk, true};
const TextStyle kGraticuleLabelStyle{11.0, false, kGraticuleText, true};
const TextStyle kLegNumberStyle{11.0, true, kLegInk, true};

double LengthPx(double dx, double dy) { return std::hypot(dx, dy); }

void DrawArrowHead(Painter& painter, double x, double y, double angle, double sizePx) {
  painter.Save();
  painter.Translate(x, y);
  painter.Rotate(angle);
  painter.MoveTo(sizePx * 0.6, 0.0);
  painter.LineTo(-sizePx * 0.6, sizePx * 0.5);
  painter.LineTo(-sizePx * 0.6, -sizePx * 0.5);
  painter.ClosePath();
  painter.Fill();
  painter.Restore();
}

void DrawGraticule(Painter& painter, const RoutePlan& plan) {
  const PxRect& f = plan.fit.frame;
  const Graticule graticule = GraticuleInView(plan.projection, plan.fit);
  painter.SetColour(kGraticuleInk);
  painter.SetLineWidth(1.0);
  for (const double latitude : graticule.latitudesDeg) {
    const double y = std::round(plan.fit.YPx(plan.projection.NorthMetresAtLatitudeDeg(latitude))) + 0.5;
    painter.MoveTo(f.leftPx, y);
    painter.LineTo(f.leftPx + f.widthPx, y);
  }
  for (const double longitude : graticule.longitudesDeg) {
    const double x = std::round(plan.fit.XPx(plan.projection.EastMetresAtLongitudeDeg(longitude))) + 0.5;
    painter.MoveTo(x, f.topPx);
    painter.LineTo(x, f.topPx + f.heightPx);
  }
  painter.Stroke();
  // Labels inside the frame's left and bottom edges, none where they would
  // run out of the frame or into the other edge's labels.
  for (const double latitude : graticule.latitudesDeg) {
    const double y = plan.fit.YPx(plan.projection.NorthMetresAtLatitudeDeg(latitude));
    if (y < f.topPx + 18.0 || y > f.topPx + f.heightPx - 24.0) continue;
    painter.Text(f.leftPx + 5.0, y - 4.0, LatitudeLabel(latitude, graticule.latitudeStepDeg), kGraticuleLabelStyle);
  }
  for (const double longitude : graticule.longitudesDeg) {
    const double x = plan.fit.XPx(plan.projection.EastMetresAtLongitudeDeg(longitude));
    const std::string label = LongitudeLabel(longitude, graticule.longitudeStepDeg);
    if (x < f.leftPx + 8.0 || x + 4.0 + painter.WidthPx(label, kGraticuleLabelStyle) > f.leftPx + f.widthPx - 4.0) continue;
    painter.Text(x + 4.0, f.topPx + f.heightPx - 6.0, label, kGraticuleLabelStyle);
  }
}

void DrawNorthArrow(Painter& painter, const PxRect& f) {
  const double x = f.leftPx + f.widthPx - 30.0;
  const double y = f.topPx + 22.0;
  painter.SetColour(kInk);
  painter.MoveTo(x, y);
  painter.LineTo(x + 8.0, y + 24.0);
  painter.LineTo(x, y + 18.0);
  painter.LineTo(x - 8.0, y + 24.0);
  painter.ClosePath();
  painter.Fill();
  painter.Text(x, y + 40.0, "N", {13.0, true, kInk, true}, Anchor::Middle);
}

void DrawAcceptanceCircles(Painter& painter, const RoutePlan& plan) {
  for (const PlanWaypoint& w : plan.waypoints) {
    const double radiusPx = w.acceptRadiusMetres * plan.fit.scalePxPerMetre;
    if (!(radiusPx > 0.0)) continue;
    const Rgb colour = TaskColour(w.task);
    painter.NewSubPath();
    painter.Arc(plan.fit.XPx(w.at.eastMetres), plan.fit.YPx(w.at.northMetres), radiusPx, 0.0, 2.0 * geodesy::kPi);
    painter.SetColour(colour, 0.07);
    painter.Fill(true);
    painter.SetColour(colour, 0.55);
    painter.SetLineWidth(1.5);
    painter.Stroke();
  }
}

void DrawRunways(Painter& painter, const RoutePlan& plan) {
  for (std::size_t i = 0; i < plan.runways.size(); ++i) {
    const PlanRunway& r = plan.runways[i];
    const double x1 = plan.fit.XPx(r.end1.eastMetres), y1 = plan.fit.YPx(r.end1.northMetres);
    const double x2 = plan.fit.XPx(r.end2.eastMetres), y2 = plan.fit.YPx(r.end2.northMetres);
    // Butt ends: the strip is exactly as long as the runway on the plan.
    painter.SetLineCap(LineCap::Butt);
    painter.SetColour(kRunwayInk);
    painter.SetLineWidth(kRunwayWidthPx);
    painter.MoveTo(x1, y1);
    painter.LineTo(x2, y2);
    painter.Stroke();
    const double dashes[] = {4.0, 4.0};
    painter.SetDash(dashes);
    painter.SetColour({1.0, 1.0, 1.0});
    painter.SetLineWidth(1.0);
    painter.MoveTo(x1, y1);
    painter.LineTo(x2, y2);
    painter.Stroke();
    painter.SetDash({});
    painter.SetLineCap(LineCap::Round);
    // The label beside the middle, on the side away from the upper right,
    // where a waypoint on the runway has its number.
    const double length = LengthPx(x2 - x1, y2 - y1);
    double nx = length > 0.0 ? -(y2 - y1) / length : -0.7;
    double ny = length > 0.0 ? (x2 - x1) / length : 0.7;
    if (nx - ny > 0.0) {
      nx = -nx;
      ny = -ny;
    }
    const double labelX = (x1 + x2) / 2.0 + nx * 20.0;
    const double labelY = (y1 + y2) / 2.0 + ny * 20.0 + 4.0;
    painter.Text(labelX, labelY, "R" + std::to_string(i), kRunwayLabelStyle, Anchor::Middle);
  }
}

// The way back of a loop bows to the right of its direction, so that it
// stands apart from a leg between the same waypoints.
void DrawLoopLeg(Painter& painter, double x1, double y1, double x2, double y2) {
  const double length = LengthPx(x2 - x1, y2 - y1);
  if (length < 1.0) return;
  const double bow = 0.18 * length;
  const double cx = (x1 + x2) / 2.0 - (y2 - y1) / length * bow;
  const double cy = (y1 + y2) / 2.0 + (x2 - x1) / length * bow;
  const Rgb colour = TaskColour(Loop);
  painter.SetColour(colour);
  const double dashes[] = {9.0, 6.0};
  painter.SetDash(dashes);
  painter.SetLineWidth(2.0);
  painter.MoveTo(x1, y1);
  painter.CurveTo(x1 + (cx - x1) * 2.0 / 3.0, y1 + (cy - y1) * 2.0 / 3.0, x2 + (cx - x2) * 2.0 / 3.0,
                 y2 + (cy - y2) * 2.0 / 3.0, x2, y2);
  painter.Stroke();
  painter.SetDash({});
  // The curve's middle and its direction there.
  const double mx = 0.25 * x1 + 0.5 * cx + 0.25 * x2;
  const double my = 0.25 * y1 + 0.5 * cy + 0.25 * y2;
  DrawArrowHead(painter, mx, my, std::atan2(y2 - y1, x2 - x1), 11.0);
}

// Legs are numbered as tarvik-route legs numbers them, beside their middle.
void DrawLegs(Painter& painter, const RoutePlan& plan) {
  const PlanFit& fit = plan.fit;
  const std::vector<PlanWaypoint>& w = plan.waypoints;
  painter.SetLineCap(LineCap::Round);
  painter.SetRoundJoins();
  for (std::size_t i = 0; i + 1 < w.size(); ++i) {
    const double x1 = fit.XPx(w[i].at.eastMetres), y1 = fit.YPx(w[i].at.northMetres);
    const double x2 = fit.XPx(w[i + 1].at.eastMetres), y2 = fit.YPx(w[i + 1].at.northMetres);
    painter.SetColour(kLegInk);
    painter.SetLineWidth(kLegWidthPx);
    painter.MoveTo(x1, y1);
    painter.LineTo(x2, y2);
    painter.Stroke();
    const double lengthPx = LengthPx(x2 - x1, y2 - y1);
    if (lengthPx <= 40.0) continue;
    DrawArrowHead(painter, (x1 + x2) / 2.0, (y1 + y2) / 2.0, std::atan2(y2 - y1, x2 - x1), 11.0);
    // On the left of the direction of flight, clear of the arrow.
    const double leftX = (y2 - y1) / lengthPx;
    const double leftY = -(x2 - x1) / lengthPx;
    painter.Text((x1 + x2) / 2.0 + leftX * 14.0, (y1 + y2) / 2.0 + leftY * 14.0 + 4.0, std::to_string(i + 1),
                 kLegNumberStyle, Anchor::Middle);
  }
  for (const PlanWaypoint& from : w) {
    if (from.task != Loop || from.loopTarget < 0 || static_cast<std::size_t>(from.loopTarget) >= w.size()) continue;
    const PlanWaypoint& to = w[static_cast<std::size_t>(from.loopTarget)];
    DrawLoopLeg(painter, fit.XPx(from.at.eastMetres), fit.YPx(from.at.northMetres), fit.XPx(to.at.eastMetres),
                fit.YPx(to.at.northMetres));
  }
}

void DrawPoints(Painter& painter, const RoutePlan& plan) {
  for (std::size_t i = 0; i < plan.points.size(); ++i) {
    const double x = plan.fit.XPx(plan.points[i].eastMetres);
    const double y = plan.fit.YPx(plan.points[i].northMetres);
    painter.SetColour(kPointInk);
    painter.SetLineWidth(1.5);
    painter.MoveTo(x - kPointMarkPx, y);
    painter.LineTo(x + kPointMarkPx, y);
    painter.MoveTo(x, y - kPointMarkPx);
    painter.LineTo(x, y + kPointMarkPx);
    painter.Stroke();
    painter.Text(x - 6.0, y + 16.0, "P" + std::to_string(i), kPointLabelStyle, Anchor::End);
  }
}

// Waypoints at one place (a take-off and a landing on one runway) share a
// label: "1, 7". A waypoint joins the first label within a pixel of it;
// labels are found by their pixel cell, so that a large route is grouped
// in linear time.
void DrawWaypoints(Painter& painter, const RoutePlan& plan) {
  struct Group {
    double x, y;
    std::string label;
  };
  std::vector<Group> groups;
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> groupsInCell;
  const auto cellKey = [](std::int64_t cx, std::int64_t cy) {
    return static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(cy);
  };
  constexpr double kLargestCell = 1e15;  // beyond any picture, within int64
  for (std::size_t i = 0; i < plan.waypoints.size(); ++i) {
    const PlanWaypoint& w = plan.waypoints[i];
    const double x = plan.fit.XPx(w.at.eastMetres);
    const double y = plan.fit.YPx(w.at.northMetres);
    DrawTaskMark(painter, x, y, w.task, kMarkSizePx);
    const std::string number = std::to_string(i + 1);
    if (!(std::fabs(x) < kLargestCell && std::fabs(y) < kLargestCell)) {
      groups.push_back({x, y, number});
      continue;
    }
    const auto cx = static_cast<std::int64_t>(std::floor(x));
    const auto cy = static_cast<std::int64_t>(std::floor(y));
    std::size_t first = groups.size();
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        const auto cell = groupsInCell.find(cellKey(cx + dx, cy + dy));
        if (cell == groupsInCell.end()) continue;
        for (const std::size_t g : cell->second)
          if (g < first && LengthPx(groups[g].x - x, groups[g].y - y) < 1.0) first = g;
      }
    if (first == groups.size()) {
      groupsInCell[cellKey(cx, cy)].push_back(groups.size());
      groups.push_back({x, y, number});
    } else {
      groups[first].label += ", " + number;
    }
  }
  for (const Group& g : groups) painter.Text(g.x + 10.0, g.y - 9.0, g.label, kWaypointNumberStyle);
}

void DrawTitle(Painter& painter, const RoutePlan& plan) {
  painter.Text(kGapPx, 34.0, plan.title, {22.0, true, kInk, false});
  auto count = [](std::size_t n, const char* one) {
    return std::to_string(n) + " " + one + (n == 1 ? "" : "s");
  };
  const std::string facts = count(plan.waypoints.size(), "waypoint") + ", " + count(plan.runways.size(), "runway") +
                            ", " + count(plan.points.size(), "point") + "; north up, to scale";
  painter.Text(kGapPx, 56.0, facts, {13.0, false, kGraticuleText, false});
}

void DrawFrame(Painter& painter, const PxRect& f, const Rgb& fill) {
  painter.Rectangle(f.leftPx + 0.5, f.topPx + 0.5, f.widthPx - 1.0, f.heightPx - 1.0);
  painter.SetColour(fill);
  painter.Fill(true);
  painter.SetColour(kFrameInk);
  painter.SetLineWidth(1.0);
  painter.Stroke();
}

bool Failed(cairo_status_t status, std::string& why) {
  if (status == CAIRO_STATUS_SUCCESS) return false;
  why = std::string("Cairo: ") + cairo_status_to_string(status);
  return true;
}

}  // namespace

void DrawRoutePlan(Painter& painter, const RoutePlan& plan) {
  painter.SetColour(kPage);
  painter.Paint();
  DrawTitle(painter, plan);
  const PxRect& f = plan.fit.frame;
  DrawFrame(painter, f, kPaper);
  painter.Save();
  painter.Rectangle(f.leftPx, f.topPx, f.widthPx, f.heightPx);
  painter.Clip();
  DrawGraticule(painter, plan);
  DrawAcceptanceCircles(painter, plan);
  DrawRunways(painter, plan);
  DrawLegs(painter, plan);
  DrawPoints(painter, plan);
  DrawWaypoints(painter, plan);
  DrawNorthArrow(painter, f);
  painter.Restore();
  const PxRect legend{f.leftPx + f.widthPx + kGapPx, f.topPx, kLegendWidthPx, f.heightPx};
  DrawFrame(painter, legend, {1.0, 1.0, 1.0});
  DrawLegend(painter, plan, legend);
}

bool RenderRoutePlan(const RoutePlan& plan, PictureFormat format, std::string& bytes, std::string& why) {
  bytes.clear();
  const bool svg = format == PictureFormat::Svg;
  cairo_surface_t* surface =
      svg ? cairo_svg_surface_create_for_stream(simhost::AppendToString, &bytes, kCanvasWidthPx, kCanvasHeightPx)
          : cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCanvasWidthPx, kCanvasHeightPx);
  if (svg) cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
  cairo_t* cr = cairo_create(surface);
  CairoPainter painter(cr, svg);
  DrawRoutePlan(painter, plan);
  bool failed = Failed(cairo_status(cr), why);
  cairo_destroy(cr);
  if (svg) {
    cairo_surface_finish(surface);
  } else if (!failed) {
    cairo_surface_flush(surface);
    failed = Failed(cairo_surface_write_to_png_stream(surface, simhost::AppendToString, &bytes), why);
  }
  failed = failed || Failed(cairo_surface_status(surface), why);
  cairo_surface_destroy(surface);
  if (failed) return false;
  if (svg) {
    // Cairo's document ends with </svg>; the texts go on top of the rest.
    const std::size_t end = bytes.rfind("</svg>");
    if (end == std::string::npos) {
      why = "Cairo wrote no complete SVG document";
      return false;
    }
    bytes.insert(end, painter.SvgTexts());
  }
  return true;
}

}  // namespace route_tool
