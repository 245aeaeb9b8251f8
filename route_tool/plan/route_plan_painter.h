// What the plan's drawing shares: colours, the mark of each task, and a
// painter whose texts go either through Cairo or, for an SVG document, into
// <text> elements.
#pragma once

#include <cairo.h>

#include <cstdint>
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

inline constexpr const char* kPlanFontFace = "DejaVu Sans";

void SetColour(cairo_t* cr, const Rgb& colour);
// One colour per task; TaskKeyword's "?" for any other value is grey.
Rgb TaskColour(std::int32_t task);
// A filled mark of its own shape per task, sizePx across, centred on x, y:
// TURN a disc, LOOP a diamond, TAKEOFF a triangle pointing up, LAND one
// pointing down; anything else a square.
void DrawTaskMark(cairo_t* cr, double x, double y, std::int32_t task, double sizePx);

class Painter {
 public:
  Painter(cairo_t* cr, bool textAsSvg) : cr_(cr), textAsSvg_(textAsSvg) {}
  cairo_t* Context() const { return cr_; }
  // The text with its baseline at y.
  void Text(double x, double y, std::string_view text, const TextStyle& style, Anchor anchor = Anchor::Start);
  double WidthPx(std::string_view text, const TextStyle& style);
  // The text, cut with an ellipsis to fit the width.
  std::string Fitted(std::string_view text, const TextStyle& style, double widthPx);
  // The <text> elements of an SVG painter's texts, in drawing order.
  const std::string& SvgTexts() const { return svgTexts_; }

 private:
  void SelectFont(const TextStyle& style);
  cairo_t* cr_;
  bool textAsSvg_;
  std::string svgTexts_;
};

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
