// The plan drawn with Cairo, for draw's PNG and SVG pictures. For an SVG
// document the texts become <text> elements (Cairo's SVG surface would
// write glyph outlines), kept to go on top of the rest.
#pragma once

#include <string>

#include "route_tool/plan/route_plan_painter.h"

namespace route_tool {

class CairoPainter final : public Painter {
 public:
  CairoPainter(cairo_t* cr, bool textAsSvg) : Painter(cr), cr_(cr), textAsSvg_(textAsSvg) {}

  void Save() override { cairo_save(cr_); }
  void Restore() override { cairo_restore(cr_); }
  void Translate(double dxPx, double dyPx) override { cairo_translate(cr_, dxPx, dyPx); }
  void Rotate(double angleRad) override { cairo_rotate(cr_, angleRad); }
  void NewPath() override { cairo_new_path(cr_); }
  void NewSubPath() override { cairo_new_sub_path(cr_); }
  void MoveTo(double x, double y) override { cairo_move_to(cr_, x, y); }
  void LineTo(double x, double y) override { cairo_line_to(cr_, x, y); }
  void CurveTo(double x1, double y1, double x2, double y2, double x, double y) override {
    cairo_curve_to(cr_, x1, y1, x2, y2, x, y);
  }
  void Arc(double cx, double cy, double radiusPx, double fromRad, double toRad) override {
    cairo_arc(cr_, cx, cy, radiusPx, fromRad, toRad);
  }
  void Rectangle(double x, double y, double widthPx, double heightPx) override {
    cairo_rectangle(cr_, x, y, widthPx, heightPx);
  }
  void ClosePath() override { cairo_close_path(cr_); }
  void SetColour(const Rgb& colour, double alpha) override;
  void SetLineWidth(double widthPx) override { cairo_set_line_width(cr_, widthPx); }
  void SetDash(std::span<const double> dashesPx) override;
  void SetLineCap(LineCap cap) override;
  void SetRoundJoins() override { cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND); }
  void Fill(bool keepPath) override { keepPath ? cairo_fill_preserve(cr_) : cairo_fill(cr_); }
  void Stroke(bool keepPath) override { keepPath ? cairo_stroke_preserve(cr_) : cairo_stroke(cr_); }
  void Paint() override { cairo_paint(cr_); }
  void Clip() override { cairo_clip(cr_); }
  void Text(double x, double y, std::string_view text, const TextStyle& style, Anchor anchor) override;

  // The <text> elements of an SVG painter's texts, in drawing order.
  const std::string& SvgTexts() const { return svgTexts_; }

 private:
  cairo_t* cr_;
  bool textAsSvg_;
  std::string svgTexts_;
};

}  // namespace route_tool
