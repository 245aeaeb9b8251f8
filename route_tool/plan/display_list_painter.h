// The plan recorded as a display list, for the planner's page to replay on
// a canvas: the page draws the route with draw's own drawing, at any zoom,
// without the server rendering a picture for every edit.
//
// The list is one flat JSON array: an operation's letter, then its
// operands. Numbers are picture pixels (radians for angles), to 0.01.
//   "s" save, "r" restore, "t" dx dy translate, "o" angle rotate,
//   "n" new path, "u" new sub-path (an arc after it starts afresh),
//   "M" x y, "L" x y, "C" x1 y1 x2 y2 x y, "A" cx cy r from to, "R" x y w h, "Z" close,
//   "K" "#rrggbb" alpha: the colour of fills and strokes,
//   "W" width, "D" count dash... (count 0: solid), "P" 0 butt | 1 round cap, "J" round joins,
//   "F" fill, "f" fill keeping the path, "S" stroke, "x" stroke keeping the path,
//   "B" paint the clip, "c" clip,
//   "T" x y "text" sizePx bold halo "#rrggbb" anchor (0 start, 1 middle, 2 end),
//       the font the plan's, the halo kHaloWidthPx of white under the text.
// planner/web/display_list.js replays it.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "route_tool/plan/route_plan_painter.h"

namespace route_tool {

class DisplayListPainter final : public Painter {
 public:
  explicit DisplayListPainter(std::size_t expectedOperands = 0) : list_(nlohmann::json::array()) {
    list_.get_ref<nlohmann::json::array_t&>().reserve(expectedOperands);
  }

  void Save() override;
  void Restore() override;
  void Translate(double dxPx, double dyPx) override { Op("t", {dxPx, dyPx}); }
  void Rotate(double angleRad) override;
  void NewPath() override { Op("n"); }
  void NewSubPath() override { Op("u"); }
  void MoveTo(double x, double y) override { Op("M", {x, y}); }
  void LineTo(double x, double y) override { Op("L", {x, y}); }
  void CurveTo(double x1, double y1, double x2, double y2, double x, double y) override {
    Op("C", {x1, y1, x2, y2, x, y});
  }
  void Arc(double cx, double cy, double radiusPx, double fromRad, double toRad) override;
  void Rectangle(double x, double y, double widthPx, double heightPx) override { Op("R", {x, y, widthPx, heightPx}); }
  void ClosePath() override { Op("Z"); }
  void SetColour(const Rgb& colour, double alpha) override;
  void SetLineWidth(double widthPx) override;
  void SetDash(std::span<const double> dashesPx) override;
  void SetLineCap(LineCap cap) override;
  void SetRoundJoins() override { Op("J"); }
  void Fill(bool keepPath) override { Op(keepPath ? "f" : "F"); }
  void Stroke(bool keepPath) override { Op(keepPath ? "x" : "S"); }
  void Paint() override { Op("B"); }
  void Clip() override { Op("c"); }
  void Text(double x, double y, std::string_view text, const TextStyle& style, Anchor anchor) override;

  nlohmann::json Take() { return std::move(list_); }

 private:
  void Op(const char* letter, std::initializer_list<double> pixels = {});
  // What the replayer holds: a colour or width it already has is not sent
  // again (most of a large route's marks share them).
  struct Held {
    std::string colour;  // "#rrggbb" and the alpha; none at first
    double alpha = 1.0;
    double widthPx = 2.0;  // Cairo's default, as the replayer starts
  };
  nlohmann::json list_;
  Held held_;
  std::vector<Held> saved_;
};

// A picture pixel as the list gives it, to 0.01: finer than a pixel at any
// zoom the page offers, and the same for a place that did not move when
// another did (a moved point shifts the projection's centre a little).
double ListedPx(double px);

// The whole plan as draw pictures it, as a display list.
nlohmann::json DisplayListOfPlan(const RoutePlan& plan);

}  // namespace route_tool
