// A drawing surface that keeps every text with its colour; shapes are not
// looked at here.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/oapi.h"

namespace test_support {

struct DrawnText {
  int x;
  int y;
  std::string text;
  DWORD colour;
};

class TextSketchpad : public oapi::Sketchpad {
 public:
  oapi::Font* SetFont(oapi::Font* font) override { return std::exchange(font_, font); }
  oapi::Pen* SetPen(oapi::Pen* pen) override { return std::exchange(pen_, pen); }
  DWORD SetTextColor(DWORD colour) override { return std::exchange(colour_, colour); }
  bool Text(int x, int y, const char* str, int len) override {
    texts.push_back({x, y, std::string(str, static_cast<std::size_t>(len)), colour_});
    return true;
  }
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Line(int, int, int, int) override {}
  void Rectangle(int, int, int, int) override {}
  void Ellipse(int, int, int, int) override {}

  std::vector<DrawnText> texts;

 private:
  oapi::Font* font_ = nullptr;
  oapi::Pen* pen_ = nullptr;
  DWORD colour_ = 0;
};

}  // namespace test_support
