// A drawing surface that writes down every call it receives, one line per
// call, so that tests can compare a redraw with what the pages must draw.
// The line format is described in docs/draw-log.md.
#pragma once

#include <string>
#include <vector>

#include "host/sketchpad.h"

namespace simhost {

class RecordingSurface : public oapi::Sketchpad {
 public:
  oapi::Font* SetFont(oapi::Font* font) override;
  oapi::Pen* SetPen(oapi::Pen* pen) override;
  DWORD SetTextColor(DWORD colour) override;
  bool Text(int x, int y, const char* str, int len) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Line(int x0, int y0, int x1, int y1) override;
  void Rectangle(int x0, int y0, int x1, int y1) override;
  void Ellipse(int x0, int y0, int x1, int y1) override;

  const std::vector<std::string>& Lines() const { return lines_; }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
  oapi::Font* font_ = nullptr;
  oapi::Pen* pen_ = nullptr;
  DWORD textColour_ = 0;
};

// The log form of a pen or font, as the surface writes it: "pen style=1
// width=1 colour=0x00FF00", "font height=20 prop=1 face=\"DejaVu Sans\"
// style=0", "font default=0".
std::string DescribePen(const oapi::Pen* pen);
std::string DescribeFont(const oapi::Font* font);

}  // namespace simhost
