#include "simulator/frame_picture.h"

#include "surfaces/cairo_surface.h"

namespace simulator {

std::string WriteFramePng(cairo_surface_t* display, const std::string& debugLine, const std::string& path) {
  const int widthPx = cairo_image_surface_get_width(display);
  const int heightPx = cairo_image_surface_get_height(display);
  cairo_surface_t* frame = cairo_image_surface_create(CAIRO_FORMAT_RGB24, widthPx, heightPx + kDebugStripPx);
  cairo_t* cr = cairo_create(frame);
  cairo_set_source_surface(cr, display, 0, 0);
  cairo_paint(cr);
  // The host's window keeps its debug line on a dark ground below the view.
  cairo_set_source_rgb(cr, 0.16, 0.16, 0.16);
  cairo_rectangle(cr, 0, heightPx, widthPx, kDebugStripPx);
  cairo_fill(cr);
  if (!debugLine.empty()) {
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11.0);
    cairo_set_source_rgb(cr, 1.0, 0.85, 0.3);
    cairo_move_to(cr, 4.0, heightPx + kDebugStripPx - 5.0);
    cairo_show_text(cr, debugLine.c_str());
  }
  cairo_destroy(cr);
  std::string why = simhost::WritePngFile(frame, path);
  cairo_surface_destroy(frame);
  return why;
}

}  // namespace simulator
