#include "route_tool/plan/route_plan_painter.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "text/escaped.h"
#include "text/utf8.h"
#include "geodesy/angles.h"

namespace route_tool {
namespace {

constexpr char kEllipsis[] = "\xE2\x80\xA6";

// The length of the UTF-8 sequence at the start of text, or 0 when it is
// not a valid one of a code point XML can hold.
std::size_t ValidSequenceLength(std::string_view text) {
  const Utf8Sequence sequence = DecodeUtf8(text);
  const char32_t c = sequence.codePoint;
  const bool control = c < 0x20 || c == 0x7F;
  const bool notCharacter = c == 0xFFFE || c == 0xFFFF;
  return control || notCharacter ? 0 : sequence.length;
}

}  // namespace

std::string HexColour(const Rgb& colour) {
  auto byte = [](double value) { return static_cast<int>(std::lround(std::fmin(1.0, std::fmax(0.0, value)) * 255.0)); };
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(colour.r), byte(colour.g), byte(colour.b));
  return text;
}

Rgb TaskColour(std::int32_t task) {
  switch (task) {
    case Turn: return {0.12, 0.44, 0.71};
    case Loop: return {0.88, 0.48, 0.0};
    case Takeoff: return {0.16, 0.60, 0.23};
    case Land: return {0.78, 0.16, 0.16};
    default: return {0.5, 0.5, 0.5};
  }
}

void DrawTaskMark(Painter& painter, double x, double y, std::int32_t task, double sizePx) {
  const double h = sizePx / 2.0;
  painter.NewPath();
  switch (task) {
    case Turn:
      painter.Arc(x, y, h, 0.0, 2.0 * geodesy::kPi);
      break;
    case Loop:
      painter.MoveTo(x, y - h * 1.3);
      painter.LineTo(x + h * 1.3, y);
      painter.LineTo(x, y + h * 1.3);
      painter.LineTo(x - h * 1.3, y);
      break;
    case Takeoff:
      painter.MoveTo(x, y - h * 1.4);
      painter.LineTo(x + h * 1.25, y + h * 0.8);
      painter.LineTo(x - h * 1.25, y + h * 0.8);
      break;
    case Land:
      painter.MoveTo(x, y + h * 1.4);
      painter.LineTo(x + h * 1.25, y - h * 0.8);
      painter.LineTo(x - h * 1.25, y - h * 0.8);
      break;
    default:
      painter.Rectangle(x - h, y - h, sizePx, sizePx);
      break;
  }
  painter.ClosePath();
  painter.SetColour(TaskColour(task));
  painter.Fill(true);
  painter.SetColour({1.0, 1.0, 1.0});
  painter.SetLineWidth(1.5);
  painter.Stroke();
}

Painter::Painter()
    : ownSurface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)),
      measuring_(cairo_create(ownSurface_)),
      ownsMeasuring_(true) {}

Painter::Painter(cairo_t* measuring) : measuring_(measuring) {}

Painter::~Painter() {
  if (!ownsMeasuring_) return;
  cairo_destroy(measuring_);
  cairo_surface_destroy(ownSurface_);
}

void Painter::SelectFont(const TextStyle& style) {
  cairo_select_font_face(measuring_, kPlanFontFace, CAIRO_FONT_SLANT_NORMAL,
                         style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(measuring_, style.sizePx);
}

double Painter::WidthPx(std::string_view text, const TextStyle& style) {
  SelectFont(style);
  const std::string valid = ValidUtf8(text);
  cairo_text_extents_t extents;
  cairo_text_extents(measuring_, valid.c_str(), &extents);
  return extents.x_advance;
}

std::string Painter::Fitted(std::string_view text, const TextStyle& style, double widthPx) {
  const std::string valid = ValidUtf8(text);
  if (WidthPx(valid, style) <= widthPx) return valid;
  // Byte ends of the first 0, 1, 2, ... whole characters.
  std::vector<std::size_t> ends{0};
  for (std::size_t i = 1; i <= valid.size(); ++i)
    if (i == valid.size() || (static_cast<unsigned char>(valid[i]) & 0xC0) != 0x80) ends.push_back(i);
  const auto fits = [&](std::size_t characters) {
    return WidthPx(valid.substr(0, ends[characters]) + kEllipsis, style) <= widthPx;
  };
  // A longer text is never narrower, so the longest start that fits is
  // found by doubling and then halving: only texts about as long as the
  // one that fits are measured, however long the whole is. The whole
  // text loses at least one character; none at all fits, the ellipsis
  // stands alone.
  std::size_t fitting = 0;
  std::size_t tooLong = ends.size() - 1;
  for (std::size_t step = 1; fitting + step < tooLong; step *= 2) {
    if (!fits(fitting + step)) {
      tooLong = fitting + step;
      break;
    }
    fitting += step;
  }
  while (tooLong - fitting > 1) {
    const std::size_t middle = fitting + (tooLong - fitting) / 2;
    (fits(middle) ? fitting : tooLong) = middle;
  }
  return valid.substr(0, ends[fitting]) + kEllipsis;
}

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = ValidSequenceLength(text);
    if (length == 0) {
      valid.push_back('?');
      text.remove_prefix(1);
    } else {
      valid.append(text.substr(0, length));
      text.remove_prefix(length);
    }
  }
  return valid;
}

std::string XmlEscaped(std::string_view text) {
  static constexpr CharEscape kEscapes[] = {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}};
  return Escaped(text, kEscapes);
}

}  // namespace route_tool
