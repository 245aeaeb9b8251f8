#include "surfaces/cairo_surface.h"

#include <cairo-svg.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "drawing_geometry/segment_clip.h"
#include "files/output_file.h"
#include "simhost/sim_host.h"

namespace simhost {

namespace {

// Cairo keeps device coordinates in 24.8 fixed point, so nothing far
// outside the display may reach it: lines are clipped to the display plus
// this margin first, and shapes beyond kSafeCoordinate are taken apart.
constexpr double kClipMarginPx = 16.0;
constexpr double kSafeCoordinate = 1.0e6;
constexpr int kMaxArcSegments = 20000;

void SetColour(cairo_t* cr, DWORD colour) {
  cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0);
}

bool Safe(double v) { return std::abs(v) <= kSafeCoordinate; }

// The host's texts are single-byte (Latin-1); cairo wants UTF-8 and stops
// drawing for good after an invalid string.
std::string Utf8FromLatin1(const char* str, int len) {
  std::string out;
  for (int i = 0; i < len && str[i] != '\0'; ++i) {
    const auto byte = static_cast<unsigned char>(str[i]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

}  // namespace

CairoSurface::CairoSurface(int widthPx, int heightPx) : width_(std::max(1, widthPx)), height_(std::max(1, heightPx)) {
  Clear();
}

CairoSurface::~CairoSurface() {
  if (raster_ != nullptr) cairo_surface_destroy(raster_);
  cairo_destroy(imageCr_);
  cairo_surface_destroy(image_);
}

void CairoSurface::Clear() {
  if (imageCr_ != nullptr) cairo_destroy(imageCr_);
  if (image_ != nullptr) cairo_surface_destroy(image_);
  image_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
  imageCr_ = cairo_create(image_);
  drawing_.clear();
  Paint([](cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_paint(cr);
  });
  pen_ = nullptr;
  font_ = nullptr;
  penState_ = PenState{};
  fontState_ = FontState{};
  textColour_ = 0xFFFFFF;
  penX_ = penY_ = 0.0;
}

oapi::Font* CairoSurface::SetFont(oapi::Font* font) {
  oapi::Font* previous = font_;
  font_ = font;
  fontState_ = FontState{};
  if (const auto* f = dynamic_cast<const SimFont*>(font); f != nullptr && f->defaultIndex < 0) {
    fontState_.heightPx = f->height;
    fontState_.proportional = f->proportional;
    fontState_.face = f->face;
    fontState_.style = f->style;
  }
  return previous;
}

oapi::Pen* CairoSurface::SetPen(oapi::Pen* pen) {
  oapi::Pen* previous = pen_;
  pen_ = pen;
  penState_ = PenState{};
  if (const auto* p = dynamic_cast<const SimPen*>(pen); p != nullptr) {
    penState_.style = p->style;
    penState_.width = p->width;
    penState_.colour = p->colour;
  }
  return previous;
}

DWORD CairoSurface::SetTextColor(DWORD colour) { return std::exchange(textColour_, colour); }

bool CairoSurface::Text(int x, int y, const char* str, int len) {
  if (str == nullptr || len <= 0 || !Safe(x) || !Safe(y)) return true;
  // A display's own font is fixed pitch, a twentieth of the display high.
  const bool own = fontState_.heightPx <= 0.0;
  const double heightPx = own ? height_ / 20.0 : fontState_.heightPx;
  const std::string face = own || !fontState_.proportional ? kFixedPitchFace
                           : fontState_.face.empty()       ? kProportionalFace
                                                           : fontState_.face;
  const cairo_font_slant_t slant =
      (fontState_.style & oapi::FONT_ITALIC) != 0 ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL;
  const cairo_font_weight_t weight =
      (fontState_.style & oapi::FONT_BOLD) != 0 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL;
  Paint([=, colour = textColour_, text = Utf8FromLatin1(str, len)](cairo_t* cr) {
    cairo_select_font_face(cr, face.c_str(), slant, weight);
    // The host's font height is the whole cell, ascent plus descent.
    cairo_set_font_size(cr, 100.0);
    cairo_font_extents_t unit;
    cairo_font_extents(cr, &unit);
    const double cell = unit.ascent + unit.descent;
    const double size = cell > 0.0 ? heightPx * 100.0 / cell : heightPx;
    cairo_set_font_size(cr, size);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    SetColour(cr, colour);
    cairo_move_to(cr, x, y + extents.ascent);
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
  });
  return true;
}

void CairoSurface::MoveTo(int x, int y) {
  penX_ = x;
  penY_ = y;
}

void CairoSurface::LineTo(int x, int y) {
  StrokeSegment(penX_, penY_, x, y);
  penX_ = x;
  penY_ = y;
}

void CairoSurface::Line(int x0, int y0, int x1, int y1) {
  StrokeSegment(x0, y0, x1, y1);
  penX_ = x1;
  penY_ = y1;
}

void CairoSurface::Rectangle(int x0, int y0, int x1, int y1) {
  if (penState_.style == 0) return;
  if (Safe(x0) && Safe(y0) && Safe(x1) && Safe(y1)) {
    Paint([=, pen = penState_](cairo_t* cr) {
      ApplyPen(cr, pen);
      cairo_rectangle(cr, x0 + 0.5, y0 + 0.5, static_cast<double>(x1) - x0, static_cast<double>(y1) - y0);
      cairo_stroke(cr);
    });
    return;
  }
  StrokeSegment(x0, y0, x1, y0);
  StrokeSegment(x1, y0, x1, y1);
  StrokeSegment(x1, y1, x0, y1);
  StrokeSegment(x0, y1, x0, y0);
}

void CairoSurface::Ellipse(int x0, int y0, int x1, int y1) {
  if (penState_.style == 0) return;
  const double cx = (static_cast<double>(x0) + x1) / 2;
  const double cy = (static_cast<double>(y0) + y1) / 2;
  const double rx = std::abs(static_cast<double>(x1) - x0) / 2;
  const double ry = std::abs(static_cast<double>(y1) - y0) / 2;
  if (rx == 0.0 || ry == 0.0) {  // a flat box: the ellipse is a line or a point
    if (rx != 0.0 || ry != 0.0) StrokeSegment(cx - rx, cy - ry, cx + rx, cy + ry);
    return;
  }
  if (!(Safe(x0) && Safe(y0) && Safe(x1) && Safe(y1))) {
    StrokeLargeEllipse(cx, cy, rx, ry);
    return;
  }
  Paint([=, pen = penState_](cairo_t* cr) {
    ApplyPen(cr, pen);
    cairo_save(cr);
    cairo_translate(cr, cx + 0.5, cy + 0.5);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2 * std::numbers::pi);
    cairo_restore(cr);
    cairo_stroke(cr);
  });
}

// An ellipse far larger than the display: only the arc that crosses the
// display is drawn, as a chain of chords shorter than a pixel's sag.
void CairoSurface::StrokeLargeEllipse(double cx, double cy, double rx, double ry) {
  const double left = -kClipMarginPx;
  const double top = -kClipMarginPx;
  const double right = width_ + kClipMarginPx;
  const double bottom = height_ + kClipMarginPx;
  const double cornersX[4] = {left, right, right, left};
  const double cornersY[4] = {top, top, bottom, bottom};
  // In the ellipse's unit-circle coordinates.
  bool anyOutside = false;
  for (int i = 0; i < 4; ++i) {
    const double u = (cornersX[i] - cx) / rx;
    const double v = (cornersY[i] - cy) / ry;
    if (u * u + v * v >= 1.0) anyOutside = true;
  }
  if (!anyOutside) return;  // the display lies wholly inside
  if (cx + rx < left || cx - rx > right || cy + ry < top || cy - ry > bottom) return;

  double startRad = 0.0;
  double endRad = 2 * std::numbers::pi;
  const bool centreNear = cx >= left - width_ && cx <= right + width_ && cy >= top - height_ && cy <= bottom + height_;
  if (!centreNear) {
    // Seen from a far centre the display spans less than a half turn.
    const double middleRad = std::atan2(((top + bottom) / 2 - cy) / ry, ((left + right) / 2 - cx) / rx);
    double lowRad = 0.0;
    double highRad = 0.0;
    for (int i = 0; i < 4; ++i) {
      double offset = std::atan2((cornersY[i] - cy) / ry, (cornersX[i] - cx) / rx) - middleRad;
      if (offset > std::numbers::pi) offset -= 2 * std::numbers::pi;
      if (offset < -std::numbers::pi) offset += 2 * std::numbers::pi;
      lowRad = std::min(lowRad, offset);
      highRad = std::max(highRad, offset);
    }
    startRad = middleRad + lowRad;
    endRad = middleRad + highRad;
  }
  const double stepLimit = std::sqrt(2.0 / std::max(rx, ry));  // sag below a quarter pixel
  const int segments = std::clamp(static_cast<int>(std::ceil((endRad - startRad) / stepLimit)), 1, kMaxArcSegments);
  double previousX = cx + rx * std::cos(startRad);
  double previousY = cy + ry * std::sin(startRad);
  for (int i = 1; i <= segments; ++i) {
    const double t = startRad + (endRad - startRad) * i / segments;
    const double x = cx + rx * std::cos(t);
    const double y = cy + ry * std::sin(t);
    StrokeSegment(previousX, previousY, x, y);
    previousX = x;
    previousY = y;
  }
}

void CairoSurface::StrokeSegment(double x0, double y0, double x1, double y1) {
  if (penState_.style == 0) return;
  const drawing_geometry::Box box{-kClipMarginPx, -kClipMarginPx, width_ + kClipMarginPx, height_ + kClipMarginPx};
  if (!drawing_geometry::ClipSegmentToBox(box, x0, y0, x1, y1)) return;
  Paint([=, pen = penState_](cairo_t* cr) {
    ApplyPen(cr, pen);
    cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
    cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
    cairo_stroke(cr);
  });
}

void CairoSurface::Paint(std::function<void(cairo_t*)> draw) {
  draw(imageCr_);
  drawing_.push_back(std::move(draw));
}

void CairoSurface::ApplyPen(cairo_t* cr, const PenState& pen) {
  SetColour(cr, pen.colour);
  cairo_set_line_width(cr, std::max(1, pen.width));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  static constexpr double kDash[] = {6.0, 4.0};
  if (pen.style == 2) cairo_set_dash(cr, kDash, 2, 0.0);
  else cairo_set_dash(cr, nullptr, 0, 0.0);
}

cairo_surface_t* CairoSurface::Raster() {
  if (raster_ != nullptr) cairo_surface_destroy(raster_);
  raster_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
  cairo_surface_flush(image_);
  cairo_t* cr = cairo_create(raster_);
  cairo_set_source_surface(cr, image_, 0.0, 0.0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(raster_);
  return raster_;
}

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

std::string WritePngFile(cairo_surface_t* image, const std::string& path) {
  std::string bytes;
  const cairo_status_t status = cairo_surface_write_to_png_stream(image, AppendToString, &bytes);
  if (status != CAIRO_STATUS_SUCCESS) return std::string("Cairo: ") + cairo_status_to_string(status);
  return files::WriteOutputFile(path, bytes);
}

bool CairoSurface::WritePng(const std::string& path) { return WritePngFile(Raster(), path).empty(); }

bool CairoSurface::WriteSvg(const std::string& path) {
  std::string bytes;
  cairo_surface_t* svg = cairo_svg_surface_create_for_stream(AppendToString, &bytes, width_, height_);
  cairo_t* cr = cairo_create(svg);
  for (const auto& draw : drawing_) draw(cr);
  const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_finish(svg);
  const bool written = cairo_surface_status(svg) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(svg);
  return drawn && written && files::WriteOutputFile(path, bytes).empty();
}

void ReleaseCairoStaticData() {
  cairo_debug_reset_static_data();
  // Fontconfig comes in with cairo; it is looked up rather than linked, so
  // that nothing but cairo is a dependency.
  using Finish = void (*)();
  if (auto finish = reinterpret_cast<Finish>(dlsym(RTLD_DEFAULT, "FcFini")); finish != nullptr) finish();
}

}  // namespace simhost
