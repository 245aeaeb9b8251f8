#include "route_tool/plan/display_list_painter.h"

#include <cmath>
#include <cstdio>

#include "route_tool/plan/route_plan_drawing.h"

namespace route_tool {
namespace {

double Hundredths(double value) { return std::round(value * 100.0) / 100.0; }
double Radians(double value) { return std::round(value * 1e4) / 1e4; }

}  // namespace

double ListedPx(double px) { return Hundredths(px); }

void DisplayListPainter::Op(const char* letter, std::initializer_list<double> pixels) {
  list_.push_back(letter);
  for (const double value : pixels) list_.push_back(ListedPx(value));
}

void DisplayListPainter::Rotate(double angleRad) {
  list_.push_back("o");
  list_.push_back(Radians(angleRad));
}

void DisplayListPainter::Arc(double cx, double cy, double radiusPx, double fromRad, double toRad) {
  Op("A", {cx, cy, radiusPx});
  list_.push_back(Radians(fromRad));
  list_.push_back(Radians(toRad));
}

void DisplayListPainter::Save() {
  saved_.push_back(held_);
  Op("s");
}

void DisplayListPainter::Restore() {
  if (!saved_.empty()) {
    held_ = std::move(saved_.back());
    saved_.pop_back();
  }
  Op("r");
}

void DisplayListPainter::SetColour(const Rgb& colour, double alpha) {
  std::string hex = HexColour(colour);
  const double roundedAlpha = Hundredths(alpha);
  if (hex == held_.colour && roundedAlpha == held_.alpha) return;
  list_.push_back("K");
  list_.push_back(hex);
  list_.push_back(roundedAlpha);
  held_.colour = std::move(hex);
  held_.alpha = roundedAlpha;
}

void DisplayListPainter::SetLineWidth(double widthPx) {
  if (Hundredths(widthPx) == held_.widthPx) return;
  held_.widthPx = Hundredths(widthPx);
  Op("W", {widthPx});
}

void DisplayListPainter::SetDash(std::span<const double> dashesPx) {
  list_.push_back("D");
  list_.push_back(dashesPx.size());
  for (const double dash : dashesPx) list_.push_back(Hundredths(dash));
}

void DisplayListPainter::SetLineCap(LineCap cap) {
  list_.push_back("P");
  list_.push_back(cap == LineCap::Butt ? 0 : 1);
}

void DisplayListPainter::Text(double x, double y, std::string_view text, const TextStyle& style, Anchor anchor) {
  Op("T", {x, y});
  list_.push_back(ValidUtf8(text));
  list_.push_back(Hundredths(style.sizePx));
  list_.push_back(style.bold ? 1 : 0);
  list_.push_back(style.halo ? 1 : 0);
  list_.push_back(HexColour(style.colour));
  list_.push_back(anchor == Anchor::Start ? 0 : anchor == Anchor::Middle ? 1 : 2);
}

nlohmann::json DisplayListOfPlan(const RoutePlan& plan) {
  // About this many operands a waypoint with its point, circle, leg and
  // labels takes: one allocation for a large route, not a score.
  constexpr std::size_t kOperandsPerWaypoint = 50;
  DisplayListPainter painter(kOperandsPerWaypoint * (plan.waypoints.size() + plan.points.size() + 10));
  DrawRoutePlan(painter, plan);
  return painter.Take();
}

}  // namespace route_tool
