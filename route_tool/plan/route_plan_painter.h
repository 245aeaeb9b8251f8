// What the plan's drawing asks of a surface, and what its symbols share:
// colours, the mark of each task, texts cut to fit. The drawing speaks
// Cairo's path model (which a browser's canvas shares), so that one
// drawing feeds draw's pictures through Cairo and the planner's map
// through a display list the page replays.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "route_tool/plan/route_plan.h"

namespace route_tool {

struct Rgb {
  double r = 0.0;
  double g = 0.0;
  double b = 0.0;
};

struct TextStyle {
  double sizePx = 12.0;
  bool bold = false;
  Rgb colour;
  bool halo = false;  // a white rim, to read over lines
};

enum class Anchor { Start, Middle, End };
enum class LineCap { Butt, Round };

inline constexpr const char* kPlanFontFace = "DejaVu Sans";
inline constexpr double kHaloWidthPx = 3.0;

// "#rrggbb", each part clamped to 0..1 first.
std::string HexColour(const Rgb& colour);
// One colour per task; TaskKeyword's "?" for any other value is grey.
Rgb TaskColour(std::int32_t task);

class Painter {
 public:
  virtual ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  // As Cairo's calls of the same names: fill and stroke use up the path
  // unless kept; the colour is both the fill's and the stroke's.
  virtual void Save() = 0;
  virtual void Restore() = 0;
  virtual void Translate(double dxPx, double dyPx) = 0;
  virtual void Rotate(double angleRad) = 0;
  virtual void NewPath() = 0;
  virtual void NewSubPath() = 0;
  virtual void MoveTo(double x, double y) = 0;
  virtual void LineTo(double x, double y) = 0;
  virtual void CurveTo(double x1, double y1, double x2, double y2, double x, double y) = 0;
  virtual void Arc(double cx, double cy, double radiusPx, double fromRad, double toRad) = 0;
  virtual void Rectangle(double x, double y, double widthPx, double heightPx) = 0;
  virtual void ClosePath() = 0;
  virtual void SetColour(const Rgb& colour, double alpha = 1.0) = 0;
  virtual void SetLineWidth(double widthPx) = 0;
  // No dashes: a solid line.
  virtual void SetDash(std::span<const double> dashesPx) = 0;
  virtual void SetLineCap(LineCap cap) = 0;
  virtual void SetRoundJoins() = 0;
  virtual void Fill(bool keepPath = false) = 0;
  virtual void Stroke(bool keepPath = false) = 0;
  // The whole clip in the colour.
  virtual void Paint() = 0;
  virtual void Clip() = 0;
  // The text with its baseline at y; leaves colour and lines as they were.
  virtual void Text(double x, double y, std::string_view text, const TextStyle& style, Anchor anchor = Anchor::Start) = 0;

  // Measured by Cairo in the plan's font, whatever the surface.
  double WidthPx(std::string_view text, const TextStyle& style);
  // The text, cut with an ellipsis to fit the width.
  std::string Fitted(std::string_view text, const TextStyle& style, double widthPx);

 protected:
  // Measures on its own small surface.
  Painter();
  // Measures on the context it draws on.
  explicit Painter(cairo_t* measuring);
  void SelectFont(const TextStyle& style);
  cairo_t* Measuring() const { return measuring_; }

 private:
  cairo_surface_t* ownSurface_ = nullptr;
  cairo_t* measuring_ = nullptr;
  bool ownsMeasuring_ = false;
};

// A filled mark of its own shape per task, sizePx across, centred on x, y:
// TURN a disc, LOOP a diamond, TAKEOFF a triangle pointing up, LAND one
// pointing down; anything else a square.
void DrawTaskMark(Painter& painter, double x, double y, std::int32_t task, double sizePx);

// The legend: the symbols, the waypoints with their tasks and
// descriptions, the scale bar and the projection.
void DrawLegend(Painter& painter, const RoutePlan& plan, const PxRect& box);

// The text with every byte that does not belong to valid UTF-8, every
// control character and every code point XML cannot hold turned into '?':
// Cairo refuses invalid UTF-8, and descriptions and file names may hold
// any byte.
std::string ValidUtf8(std::string_view text);
// The text escaped for an XML attribute or element.
std::string XmlEscaped(std::string_view text);

}  // namespace route_tool
