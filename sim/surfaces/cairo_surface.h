// A drawing surface that paints the display the way the host does: black
// background, outlines in the selected pen, texts with their top-left corner
// at the given point. The picture is kept as a vector recording and can be
// written as PNG or SVG of the display's size, or handed out as a raster.
#pragma once

#include <cairo.h>

#include <string>

#include "host/sketchpad.h"

namespace sim {

// Faces the surface draws with: the proportional one the map asks for and
// the fixed-pitch one for fixed-pitch requests and the display's own fonts.
inline constexpr const char* kProportionalFace = "DejaVu Sans";
inline constexpr const char* kFixedPitchFace = "DejaVu Sans Mono";

class CairoSurface : public oapi::Sketchpad {
 public:
  CairoSurface(int widthPx, int heightPx);
  ~CairoSurface() override;
  CairoSurface(const CairoSurface&) = delete;
  CairoSurface& operator=(const CairoSurface&) = delete;

  oapi::Font* SetFont(oapi::Font* font) override;
  oapi::Pen* SetPen(oapi::Pen* pen) override;
  DWORD SetTextColor(DWORD colour) override;
  bool Text(int x, int y, const char* str, int len) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Line(int x0, int y0, int x1, int y1) override;
  void Rectangle(int x0, int y0, int x1, int y1) override;
  void Ellipse(int x0, int y0, int x1, int y1) override;

  // Back to an empty black display; selections are kept.
  void Clear();
  bool WritePng(const std::string& path);
  bool WriteSvg(const std::string& path);
  // An ARGB32 image of the current picture, owned by this surface and valid
  // until the next call of Raster, Clear or the destructor.
  cairo_surface_t* Raster();
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  // Properties are copied on selection: the module may release a pen or
  // font while it is still selected.
  struct PenState {
    int style = 1;  // 1 solid, 2 dashed, 0 none
    int width = 1;
    DWORD colour = 0xFFFFFF;
  };
  struct FontState {
    double heightPx = 0.0;  // 0: the display's own font
    bool proportional = false;
    std::string face;
    int style = 0;
  };

  void StrokeSegment(double x0, double y0, double x1, double y1);
  void StrokeLargeEllipse(double cx, double cy, double rx, double ry);
  void ApplyPen();

  int width_;
  int height_;
  cairo_surface_t* recording_ = nullptr;
  cairo_t* cr_ = nullptr;
  cairo_surface_t* raster_ = nullptr;
  oapi::Pen* pen_ = nullptr;
  oapi::Font* font_ = nullptr;
  PenState penState_;
  FontState fontState_;
  DWORD textColour_ = 0xFFFFFF;
  double penX_ = 0.0;
  double penY_ = 0.0;
};

}  // namespace sim
