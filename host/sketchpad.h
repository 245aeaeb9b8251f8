// The drawing surface handed to each redraw, and the pen and font handles
// that the host creates for it. Coordinates are integer pixels, origin at
// the top-left corner, y downward. Shapes are outlines in the current pen.
#pragma once

#include "host/host_types.h"

inline namespace host_interface {

namespace oapi {

class Pen {
 public:
  virtual ~Pen() = default;
};

class Font {
 public:
  virtual ~Font() = default;
};

enum FontStyle { FONT_NORMAL = 0, FONT_BOLD = 1, FONT_ITALIC = 2, FONT_UNDERLINE = 4 };

class Sketchpad {
 public:
  virtual ~Sketchpad() = default;
  // Each Set… returns the previous selection.
  virtual Font* SetFont(Font* font) = 0;
  virtual Pen* SetPen(Pen* pen) = 0;
  virtual DWORD SetTextColor(DWORD colour) = 0;  // 0x00BBGGRR
  virtual bool Text(int x, int y, const char* str, int len) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Line(int x0, int y0, int x1, int y1) = 0;
  virtual void Rectangle(int x0, int y0, int x1, int y1) = 0;
  virtual void Ellipse(int x0, int y0, int x1, int y1) = 0;
};

}  // namespace oapi

}  // namespace host_interface
