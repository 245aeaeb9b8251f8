// The module's pages drawn as pictures through the simulated host: a
// display given a route, redrawn on one page at one range onto a Cairo
// surface. Shared by render_pages (the documentation's pictures) and the
// route planner's preview of what the module will show.
#pragma once

#include <cstdint>
#include <string>

#include "mfd/tarvik_mfd.h"
#include "nav/route_registry.h"
#include "surfaces/cairo_surface.h"

namespace page_pictures {

// The route on the display; the display keeps its own links to its
// vessel and to the vessel's displays.
void ShowRoute(TarvikMFD& display, VesselRoute route);

// Redraws the display on the page at the range [m] onto the picture.
void DrawPage(TarvikMFD& display, DisplayPage page, std::uint32_t rangeMetres, simhost::CairoSurface& picture);

// The picture's PNG bytes; false when Cairo cannot write them.
bool PngBytes(simhost::CairoSurface& picture, std::string& bytes);

}  // namespace page_pictures
