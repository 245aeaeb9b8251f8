// Hands every drawing call of one redraw to two surfaces, so that a display
// is painted and its draw calls recorded by the same redraw.
#pragma once

#include "host/sketchpad.h"

namespace simulator {

class TeeSurface : public oapi::Sketchpad {
 public:
  TeeSurface(oapi::Sketchpad& first, oapi::Sketchpad& second) : first_(first), second_(second) {}

  // Selections answer with the first surface's previous one.
  oapi::Font* SetFont(oapi::Font* font) override {
    second_.SetFont(font);
    return first_.SetFont(font);
  }
  oapi::Pen* SetPen(oapi::Pen* pen) override {
    second_.SetPen(pen);
    return first_.SetPen(pen);
  }
  DWORD SetTextColor(DWORD colour) override {
    second_.SetTextColor(colour);
    return first_.SetTextColor(colour);
  }
  bool Text(int x, int y, const char* str, int len) override {
    second_.Text(x, y, str, len);
    return first_.Text(x, y, str, len);
  }
  void MoveTo(int x, int y) override {
    first_.MoveTo(x, y);
    second_.MoveTo(x, y);
  }
  void LineTo(int x, int y) override {
    first_.LineTo(x, y);
    second_.LineTo(x, y);
  }
  void Line(int x0, int y0, int x1, int y1) override {
    first_.Line(x0, y0, x1, y1);
    second_.Line(x0, y0, x1, y1);
  }
  void Rectangle(int x0, int y0, int x1, int y1) override {
    first_.Rectangle(x0, y0, x1, y1);
    second_.Rectangle(x0, y0, x1, y1);
  }
  void Ellipse(int x0, int y0, int x1, int y1) override {
    first_.Ellipse(x0, y0, x1, y1);
    second_.Ellipse(x0, y0, x1, y1);
  }

 private:
  oapi::Sketchpad& first_;
  oapi::Sketchpad& second_;
};

}  // namespace simulator
