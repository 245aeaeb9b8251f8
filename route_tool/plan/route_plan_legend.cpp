// The legend beside the map: what the symbols mean, the waypoints in order,
// the scale bar and the projection.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "route_tool/plan/route_plan_painter.h"

namespace route_tool {
namespace {

constexpr double kPaddingPx = 16.0;
constexpr double kRowPx = 21.0;
constexpr double kWaypointRowPx = 19.0;
constexpr double kScaleSectionPx = 122.0;  // from the legend's bottom up

constexpr Rgb kInk{0.10, 0.11, 0.13};
constexpr Rgb kQuietInk{0.38, 0.38, 0.36};
const TextStyle kHeadingStyle{15.0, true, kInk, false};
const TextStyle kEntryStyle{12.0, false, kInk, false};
const TextStyle kNumberStyle{12.0, true, kInk, false};
const TextStyle kNoteStyle{11.0, false, kQuietInk, false};

void Line(Painter& painter, double x1, double y1, double x2, double y2) {
  painter.MoveTo(x1, y1);
  painter.LineTo(x2, y2);
  painter.Stroke();
}

// The symbols, each drawn as on the map, then its meaning. Returns the y
// below them.
double DrawSymbols(Painter& painter, double x, double y) {
  constexpr std::int32_t kTasks[] = {Takeoff, Turn, Loop, Land};
  for (std::size_t i = 0; i < 4; ++i) {
    const double column = x + static_cast<double>(i % 2) * 116.0;
    const double row = y + static_cast<double>(i / 2) * kRowPx;
    DrawTaskMark(painter, column + 8.0, row - 4.0, kTasks[i], 9.0);
    painter.Text(column + 24.0, row, TaskKeyword(kTasks[i]), kEntryStyle);
  }
  y += 2.0 * kRowPx;
  const Rgb turn = TaskColour(Turn);
  painter.NewSubPath();
  painter.Arc(x + 8.0, y - 4.0, 8.0, 0.0, 6.283185307179586);
  painter.SetColour(turn, 0.55);
  painter.SetLineWidth(1.5);
  painter.Stroke();
  painter.Text(x + 24.0, y, "acceptance circle, to scale", kEntryStyle);
  y += kRowPx;
  painter.SetColour({0.16, 0.27, 0.42});
  painter.SetLineWidth(2.5);
  Line(painter, x, y - 4.0, x + 18.0, y - 4.0);
  painter.Text(x + 24.0, y, "leg 1, 2, ... flown in order", kEntryStyle);
  y += kRowPx;
  painter.SetColour(TaskColour(Loop));
  const double dashes[] = {6.0, 4.0};
  painter.SetDash(dashes);
  painter.SetLineWidth(2.0);
  Line(painter, x, y - 4.0, x + 18.0, y - 4.0);
  painter.SetDash({});
  painter.Text(x + 24.0, y, "LOOP: back to its target", kEntryStyle);
  y += kRowPx;
  painter.SetColour({0.28, 0.29, 0.31});
  painter.SetLineWidth(7.0);
  painter.SetLineCap(LineCap::Butt);
  Line(painter, x, y - 4.0, x + 18.0, y - 4.0);
  painter.Text(x + 24.0, y, "runway R0, R1, \xE2\x80\xA6 to scale", kEntryStyle);
  y += kRowPx;
  painter.SetColour({0.40, 0.40, 0.44});
  painter.SetLineWidth(1.5);
  Line(painter, x + 4.0, y - 4.0, x + 12.0, y - 4.0);
  Line(painter, x + 8.0, y - 8.0, x + 8.0, y);
  painter.Text(x + 24.0, y, "point P0, P1, \xE2\x80\xA6 of the file", kEntryStyle);
  return y + kRowPx;
}

// The waypoints from y down to bottom; those that do not fit are counted.
void DrawWaypointList(Painter& painter, const RoutePlan& plan, double x, double y, double bottom, double widthPx) {
  const std::size_t count = plan.waypoints.size();
  if (count == 0) {
    painter.Text(x, y, "none", kEntryStyle);
    return;
  }
  const std::size_t rows = static_cast<std::size_t>(std::max(1.0, std::floor((bottom - y) / kWaypointRowPx)));
  const std::size_t shown = count <= rows ? count : rows - 1;
  for (std::size_t i = 0; i < shown; ++i) {
    const PlanWaypoint& w = plan.waypoints[i];
    const double row = y + static_cast<double>(i) * kWaypointRowPx;
    DrawTaskMark(painter, x + 6.0, row - 4.0, w.task, 8.0);
    painter.Text(x + 16.0, row, std::to_string(i + 1), kNumberStyle);
    std::string text = w.description.empty() ? std::string(TaskKeyword(w.task)) : w.description;
    if (w.task == Loop) text = "(\xE2\x86\x92 " + std::to_string(w.loopTarget + 1) + ") " + text;
    painter.Text(x + 40.0, row, painter.Fitted(text, kEntryStyle, widthPx - 40.0), kEntryStyle);
  }
  if (shown < count) {
    painter.Text(x + 40.0, y + static_cast<double>(shown) * kWaypointRowPx,
                 "\xE2\x80\xA6 and " + std::to_string(count - shown) + " more", kNoteStyle);
  }
}

void DrawScale(Painter& painter, const RoutePlan& plan, double x, double y, double widthPx) {
  painter.Text(x, y, "Scale", kHeadingStyle);
  const double scale = plan.fit.scalePxPerMetre;
  const double lengthMetres = NiceLengthAtMost(std::min(kMaxScaleBarPx, widthPx) / scale);
  const double lengthPx = lengthMetres * scale;
  const double barY = y + 30.0;
  // Two halves, dark and light, as on a paper map.
  painter.SetLineWidth(1.0);
  for (int half = 0; half < 2; ++half) {
    painter.Rectangle(x + half * lengthPx / 2.0, barY, lengthPx / 2.0, 6.0);
    if (half == 0) {
      painter.SetColour(kInk);
    } else {
      painter.SetColour({1.0, 1.0, 1.0});
    }
    painter.Fill(true);
    painter.SetColour(kInk);
    painter.Stroke();
  }
  painter.Text(x, barY - 5.0, "0", kEntryStyle, Anchor::Middle);
  painter.Text(x + lengthPx, barY - 5.0, LengthLabel(lengthMetres), kEntryStyle, Anchor::Middle);
  char text[96];
  std::snprintf(text, sizeof text, "1 px = %.3g m", 1.0 / scale);
  painter.Text(x, barY + 24.0, text, kNoteStyle);
  const double latitude0Deg = plan.projection.Latitude0Rad() * 180.0 / 3.14159265358979323846;
  std::snprintf(text, sizeof text, "Local equirectangular map about %s,", LatitudeLabel(latitude0Deg, 0.01).c_str());
  painter.Text(x, barY + 42.0, text, kNoteStyle);
  std::snprintf(text, sizeof text, "body radius %g km", geodesy::kEarthRadiusMetres / 1000.0);
  painter.Text(x, barY + 58.0, text, kNoteStyle);
}

}  // namespace

void DrawLegend(Painter& painter, const RoutePlan& plan, const PxRect& box) {
  const double x = box.leftPx + kPaddingPx;
  const double widthPx = box.widthPx - 2.0 * kPaddingPx;
  double y = box.topPx + 28.0;
  painter.Text(x, y, "Legend", kHeadingStyle);
  y = DrawSymbols(painter, x, y + 26.0);
  painter.Text(x, y + 8.0, "Waypoints", kHeadingStyle);
  const double scaleTop = box.topPx + box.heightPx - kScaleSectionPx;
  DrawWaypointList(painter, plan, x, y + 32.0, scaleTop - 10.0, widthPx);
  DrawScale(painter, plan, x, scaleTop + 10.0, widthPx);
}

}  // namespace route_tool
