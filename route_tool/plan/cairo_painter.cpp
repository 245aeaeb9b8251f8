#include "route_tool/plan/cairo_painter.h"

#include <cmath>
#include <cstdio>

namespace route_tool {
void CairoPainter::SetColour(const Rgb& colour, double alpha) {
  if (alpha >= 1.0) {
    cairo_set_source_rgb(cr_, colour.r, colour.g, colour.b);
  } else {
    cairo_set_source_rgba(cr_, colour.r, colour.g, colour.b, alpha);
  }
}

void CairoPainter::SetDash(std::span<const double> dashesPx) {
  cairo_set_dash(cr_, dashesPx.data(), static_cast<int>(dashesPx.size()), 0.0);
}

void CairoPainter::SetLineCap(LineCap cap) {
  cairo_set_line_cap(cr_, cap == LineCap::Butt ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
}

void CairoPainter::Text(double x, double y, std::string_view text, const TextStyle& style, Anchor anchor) {
  const std::string valid = ValidUtf8(text);
  if (textAsSvg_) {
    char place[96];
    std::snprintf(place, sizeof place, "<text x=\"%.2f\" y=\"%.2f\"", x, y);
    svgTexts_ += place;
    svgTexts_ += " font-family=\"" + std::string(kPlanFontFace) + ", sans-serif\"";
    std::snprintf(place, sizeof place, " font-size=\"%.1f\"", style.sizePx);
    svgTexts_ += place;
    if (style.bold) svgTexts_ += " font-weight=\"bold\"";
    if (anchor == Anchor::Middle) svgTexts_ += " text-anchor=\"middle\"";
    if (anchor == Anchor::End) svgTexts_ += " text-anchor=\"end\"";
    svgTexts_ += " fill=\"" + HexColour(style.colour) + "\"";
    if (style.halo) {
      std::snprintf(place, sizeof place, " stroke=\"#ffffff\" stroke-width=\"%.1f\"", kHaloWidthPx);
      svgTexts_ += place;
      svgTexts_ += " stroke-linejoin=\"round\" paint-order=\"stroke\"";
    }
    svgTexts_ += ">" + XmlEscaped(valid) + "</text>\n";
    return;
  }
  const double width = anchor == Anchor::Start ? 0.0 : WidthPx(valid, style);
  cairo_save(cr_);
  SelectFont(style);
  cairo_new_path(cr_);
  cairo_move_to(cr_, anchor == Anchor::Start ? x : anchor == Anchor::Middle ? x - width / 2.0 : x - width, y);
  cairo_text_path(cr_, valid.c_str());
  if (style.halo) {
    cairo_set_source_rgb(cr_, 1.0, 1.0, 1.0);
    cairo_set_line_width(cr_, kHaloWidthPx);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr_);
  }
  SetColour(style.colour, 1.0);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

}  // namespace route_tool
