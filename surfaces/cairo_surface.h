// A drawing surface that paints the display the way the host does: black
// background, outlines in the selected pen, texts with their top-left corner
// at the given point. Every call paints the raster image (PNG, Raster) at
// once and is kept in a list that WriteSvg plays into a fresh SVG surface
// (cairo 1.16 leaks a recording surface that is played into an SVG one).
#pragma once

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

#include "host/sketchpad.h"

namespace simhost {

// Faces the surface draws with: the proportional one the map asks for and
// the fixed-pitch one for fixed-pitch requests and the display's own fonts.
inline constexpr const char* kProportionalFace = "DejaVu Sans";
inline constexpr const char* kFixedPitchFace = "DejaVu Sans Mono";

// A cairo write function that appends to the std::string given as closure:
// pictures are made whole in memory before anything is written.
cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length);

// Writes an image surface as a PNG file through the one output writer;
// empty on success, else why not.
std::string WritePngFile(cairo_surface_t* image, const std::string& path);

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

  // Back to an empty black display as a redraw finds it: the display's own
  // font, a white solid pen and white text.
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
  // Draws on the image now and on every SVG written later.
  void Paint(std::function<void(cairo_t*)> draw);
  static void ApplyPen(cairo_t* cr, const PenState& pen);

  int width_;
  int height_;
  cairo_surface_t* image_ = nullptr;
  cairo_t* imageCr_ = nullptr;
  std::vector<std::function<void(cairo_t*)>> drawing_;
  cairo_surface_t* raster_ = nullptr;
  oapi::Pen* pen_ = nullptr;
  oapi::Font* font_ = nullptr;
  PenState penState_;
  FontState fontState_;
  DWORD textColour_ = 0xFFFFFF;
  double penX_ = 0.0;
  double penY_ = 0.0;
};

// Hands back the process-wide font caches of cairo and fontconfig. Call it
// only when no cairo object is left, at the end of a program, so that a leak
// checker reports nothing but real leaks.
void ReleaseCairoStaticData();

}  // namespace simhost
