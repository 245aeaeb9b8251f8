#include "page_pictures/page_picture.h"

#include <cairo.h>

namespace page_pictures {

void ShowRoute(TarvikMFD& display, VesselRoute route) {
  route.displays = display.route.displays;
  route.vessel = display.route.vessel;
  route.vesselHandle = display.route.vesselHandle;
  display.route = std::move(route);
}

void DrawPage(TarvikMFD& display, DisplayPage page, std::uint32_t rangeMetres, simhost::CairoSurface& picture) {
  display.State().page = page;
  display.State().range = rangeMetres;
  display.PushRoute();
  picture.Clear();
  display.UpdateSketchpad(&picture);
}

bool PngBytes(simhost::CairoSurface& picture, std::string& bytes) {
  bytes.clear();
  const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  };
  return cairo_surface_write_to_png_stream(picture.Raster(), append, &bytes) == CAIRO_STATUS_SUCCESS;
}

}  // namespace page_pictures
