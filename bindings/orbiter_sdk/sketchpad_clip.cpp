#include "bindings/orbiter_sdk/sketchpad_clip.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "drawing_geometry/segment_clip.h"

namespace sketchpad_clip {

namespace {

constexpr double kTurn = 2 * std::numbers::pi;
// Sag of an arc's chord from the outline, in pixels: far below what a pixel shows.
constexpr double kChordSagPx = 0.01;
constexpr int kMaxArcPoints = 20000;

// How far a stroke may reach beyond its geometry: the whole pen width (caps
// included) and a pixel of antialiasing on each side, rounded up.
double SlackPx(const Frame& frame) { return std::max(1, frame.penWidthPx) + 2.0; }

// A box in doubles, so that sums of coordinates cannot overflow.
using Extent = drawing_geometry::Box;

Extent ExtentOf(double x0, double y0, double x1, double y1) {
  return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

bool WhollyOutside(const Frame& frame, const Extent& e, double slackPx) {
  return e.right + slackPx < 0.0 || e.left - slackPx > frame.widthPx || e.bottom + slackPx < 0.0 ||
         e.top - slackPx > frame.heightPx;
}

Extent ClipBox(const Frame& frame) {
  return {-static_cast<double>(kMarginPx), -static_cast<double>(kMarginPx),
          static_cast<double>(frame.widthPx) + kMarginPx, static_cast<double>(frame.heightPx) + kMarginPx};
}

bool Within(const Extent& box, double x, double y) {
  return x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
}

int Rounded(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

std::optional<Corners> Line(const Frame& frame, const Corners& line) {
  if (WhollyOutside(frame, ExtentOf(line.x0, line.y0, line.x1, line.y1), SlackPx(frame))) return std::nullopt;
  const Extent box = ClipBox(frame);
  if (Within(box, line.x0, line.y0) && Within(box, line.x1, line.y1)) return line;
  double x0 = line.x0, y0 = line.y0, x1 = line.x1, y1 = line.y1;
  if (!drawing_geometry::ClipSegmentToBox(box, x0, y0, x1, y1)) return std::nullopt;
  return Corners{Rounded(x0), Rounded(y0), Rounded(x1), Rounded(y1)};
}

std::optional<Corners> Rectangle(const Frame& frame, const Corners& r) {
  const double slack = SlackPx(frame);
  const Extent edges[4] = {ExtentOf(r.x0, r.y0, r.x1, r.y0), ExtentOf(r.x0, r.y1, r.x1, r.y1),
                           ExtentOf(r.x0, r.y0, r.x0, r.y1), ExtentOf(r.x1, r.y0, r.x1, r.y1)};
  if (std::all_of(std::begin(edges), std::end(edges), [&](const Extent& e) { return WhollyOutside(frame, e, slack); }))
    return std::nullopt;
  // An edge beyond the clip box lies out of sight on it: the edges crossing
  // the display keep their ends out of sight too.
  const Extent box = ClipBox(frame);
  const auto clampX = [&](int x) { return Rounded(std::clamp<double>(x, box.left, box.right)); };
  const auto clampY = [&](int y) { return Rounded(std::clamp<double>(y, box.top, box.bottom)); };
  return Corners{clampX(r.x0), clampY(r.y0), clampX(r.x1), clampY(r.y1)};
}

EllipseDraw Ellipse(const Frame& frame, const Corners& c) {
  EllipseDraw draw;
  const double cx = (static_cast<double>(c.x0) + c.x1) / 2;
  const double cy = (static_cast<double>(c.y0) + c.y1) / 2;
  const double rx = std::abs(static_cast<double>(c.x1) - c.x0) / 2;
  const double ry = std::abs(static_cast<double>(c.y1) - c.y0) / 2;
  if (rx == 0.0 && ry == 0.0) return draw;
  if (rx == 0.0 || ry == 0.0) {
    // The outline of a flat box runs along it, and back.
    const Corners along{static_cast<int>(cx - rx), static_cast<int>(cy - ry), static_cast<int>(cx + rx),
                        static_cast<int>(cy + ry)};
    if (const auto line = Line(frame, along)) {
      draw.kind = EllipseDraw::kLine;
      draw.corners = *line;
    }
    return draw;
  }
  const double slack = SlackPx(frame);
  if (WhollyOutside(frame, ExtentOf(c.x0, c.y0, c.x1, c.y1), slack)) return draw;
  // The display and the reach of the stroke around it.
  const Extent near{-slack, -slack, frame.widthPx + slack, frame.heightPx + slack};
  const auto inside = [&](double x, double y) {
    const double u = (x - cx) / rx;
    const double v = (y - cy) / ry;
    return u * u + v * v < 1.0;
  };
  if (inside(near.left, near.top) && inside(near.right, near.top) && inside(near.left, near.bottom) &&
      inside(near.right, near.bottom))
    return draw;  // the outline lies wholly around the display
  const Extent box = ClipBox(frame);
  if (Within(box, c.x0, c.y0) && Within(box, c.x1, c.y1)) {
    draw.kind = EllipseDraw::kEllipse;
    draw.corners = c;
    return draw;
  }

  // Too large: the outline's angles where it crosses the edges of the near box.
  std::vector<double> crossings;
  const auto add = [&](double angle) {
    angle = std::fmod(angle, kTurn);
    crossings.push_back(angle < 0.0 ? angle + kTurn : angle);
  };
  for (const double x : {near.left, near.right}) {
    const double u = (x - cx) / rx;
    if (std::abs(u) <= 1.0) add(std::acos(u)), add(-std::acos(u));
  }
  for (const double y : {near.top, near.bottom}) {
    const double v = (y - cy) / ry;
    if (std::abs(v) <= 1.0) add(std::asin(v)), add(std::numbers::pi - std::asin(v));
  }
  if (crossings.empty()) return draw;  // the outline passes the display by
  std::sort(crossings.begin(), crossings.end());
  const auto pointAt = [&](double angle) { return Point{Rounded(cx + rx * std::cos(angle)), Rounded(cy + ry * std::sin(angle))}; };
  const auto nearBox = [&](double angle) {
    const double x = cx + rx * std::cos(angle);
    const double y = cy + ry * std::sin(angle);
    return x >= near.left && x <= near.right && y >= near.top && y <= near.bottom;
  };
  // Steps short enough that a chord sags less than kChordSagPx from the outline.
  const double rMax = std::max(rx, ry);
  const double rMin = std::min(rx, ry);
  const double stepRad = rMin * std::sqrt(8 * kChordSagPx / (rMax * rMax * rMax));
  std::vector<Point>* arc = nullptr;
  const std::size_t n = crossings.size();
  for (std::size_t i = 0; i < n; ++i) {
    const double from = crossings[i];
    const double to = i + 1 < n ? crossings[i + 1] : crossings[0] + kTurn;
    if (to - from <= 0.0) continue;
    if (!nearBox((from + to) / 2)) {
      arc = nullptr;
      continue;
    }
    if (arc == nullptr) {
      arc = &draw.arcs.emplace_back();
      arc->push_back(pointAt(from));
    }
    const int steps = std::clamp(static_cast<int>(std::ceil((to - from) / stepRad)), 1, kMaxArcPoints);
    for (int k = 1; k <= steps; ++k) arc->push_back(pointAt(from + (to - from) * k / steps));
  }
  if (!draw.arcs.empty()) draw.kind = EllipseDraw::kArcs;
  return draw;
}

bool TextMayShow(const Frame& frame, int fontHeightPx, int x, int y, int length) {
  const double h = fontHeightPx > 0 ? fontHeightPx : std::max(1, frame.heightPx);
  const Extent e{x - 2 * h, y - 2 * h, x + 2 * h * (std::max(length, 0) + 1.0), y + 3 * h};
  return !WhollyOutside(frame, e, 0.0);
}

}  // namespace sketchpad_clip
