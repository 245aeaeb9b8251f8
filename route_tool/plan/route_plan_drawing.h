// A route plan drawn: through any painter, or with Cairo as a PNG picture
// or an SVG document.
#pragma once

#include <string>

#include "route_tool/plan/route_plan.h"
#include "route_tool/plan/route_plan_painter.h"

namespace route_tool {

// The whole picture, kCanvasWidthPx by kCanvasHeightPx: the title, the map
// in its frame, the legend beside it.
void DrawRoutePlan(Painter& painter, const RoutePlan& plan);

enum class PictureFormat { Png, Svg };

// The picture's bytes, kCanvasWidthPx by kCanvasHeightPx: north up, the
// graticule, runways, acceptance circles, legs and waypoints on the map;
// the waypoints, the symbols and the scale bar in the legend. In an SVG
// document the texts are <text> elements, to be found and edited (Cairo's
// SVG surface would write glyph outlines). False with why when Cairo fails;
// the bytes are then incomplete.
bool RenderRoutePlan(const RoutePlan& plan, PictureFormat format, std::string& bytes, std::string& why);

}  // namespace route_tool
