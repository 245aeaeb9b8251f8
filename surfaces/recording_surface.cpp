#include "surfaces/recording_surface.h"

#include <cstdio>

#include "simhost/sim_host.h"

namespace simhost {

namespace {

std::string Printf(const char* format, auto... args) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

// Quotes the characters so that the line stays one line and reads back
// unambiguously.
std::string Quoted(const char* str, int len) {
  std::string out = "\"";
  for (int i = 0; i < len; ++i) {
    const char c = str[i];
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string DescribePen(const oapi::Pen* pen) {
  if (pen == nullptr) return "pen none";
  const auto* p = dynamic_cast<const SimPen*>(pen);
  if (p == nullptr) return "pen foreign";
  return Printf("pen style=%d width=%d colour=0x%06X", p->style, p->width, static_cast<unsigned>(p->colour));
}

std::string DescribeFont(const oapi::Font* font) {
  if (font == nullptr) return "font none";
  const auto* f = dynamic_cast<const SimFont*>(font);
  if (f == nullptr) return "font foreign";
  if (f->defaultIndex >= 0) return Printf("font default=%d", f->defaultIndex);
  return Printf("font height=%d prop=%d face=", f->height, f->proportional ? 1 : 0) +
         Quoted(f->face.c_str(), static_cast<int>(f->face.size())) + Printf(" style=%d", f->style);
}

oapi::Font* RecordingSurface::SetFont(oapi::Font* font) {
  lines_.push_back(DescribeFont(font));
  oapi::Font* previous = font_;
  font_ = font;
  return previous;
}

oapi::Pen* RecordingSurface::SetPen(oapi::Pen* pen) {
  lines_.push_back(DescribePen(pen));
  oapi::Pen* previous = pen_;
  pen_ = pen;
  return previous;
}

DWORD RecordingSurface::SetTextColor(DWORD colour) {
  lines_.push_back(Printf("colour 0x%06X", static_cast<unsigned>(colour)));
  const DWORD previous = textColour_;
  textColour_ = colour;
  return previous;
}

bool RecordingSurface::Text(int x, int y, const char* str, int len) {
  lines_.push_back(Printf("text %d %d ", x, y) + Quoted(str, str != nullptr && len > 0 ? len : 0));
  return true;
}

void RecordingSurface::MoveTo(int x, int y) { lines_.push_back(Printf("moveto %d %d", x, y)); }

void RecordingSurface::LineTo(int x, int y) { lines_.push_back(Printf("lineto %d %d", x, y)); }

void RecordingSurface::Line(int x0, int y0, int x1, int y1) {
  lines_.push_back(Printf("line %d %d %d %d", x0, y0, x1, y1));
}

void RecordingSurface::Rectangle(int x0, int y0, int x1, int y1) {
  lines_.push_back(Printf("rect %d %d %d %d", x0, y0, x1, y1));
}

void RecordingSurface::Ellipse(int x0, int y0, int x1, int y1) {
  lines_.push_back(Printf("ellipse %d %d %d %d", x0, y0, x1, y1));
}

}  // namespace simhost
