// What the binding passes on to the host's sketchpad: the exact clip of
// shapes far beyond the display, and, on a real raster, the same pixels as
// every call drawn as made.
#include "bindings/orbiter_sdk/sketchpad_clip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "simhost/sim_host.h"
#include "surfaces/cairo_surface.h"
#include "tests/support/cairo_static_data.h"

namespace {

using sketchpad_clip::Corners;
using sketchpad_clip::EllipseDraw;
using sketchpad_clip::kMarginPx;

constexpr int kWidthPx = 400;
constexpr int kHeightPx = 300;
constexpr int kFar = 2147483647;

sketchpad_clip::Frame FrameWithPen(int penWidthPx) { return {kWidthPx, kHeightPx, penWidthPx}; }

TEST(SketchpadClip, FarEndsAreClippedOntoTheClipBoxAlongTheSameLine) {
  const auto frame = FrameWithPen(1);
  // The port's sketchpad computes x1 - x0 in int: these would overflow.
  EXPECT_EQ(sketchpad_clip::Line(frame, {-kFar, 100, kFar, 100}),
            (Corners{-kMarginPx, 100, kWidthPx + kMarginPx, 100}));
  // Slope 1 through (100, 0): both clipped ends stay on it.
  EXPECT_EQ(sketchpad_clip::Line(frame, {-kFar + 100, -kFar, 100, 0}), (Corners{-kMarginPx + 100, -kMarginPx, 100, 0}));
  EXPECT_EQ(sketchpad_clip::Rectangle(frame, {-kFar, 100, kFar, 120}),
            (Corners{-kMarginPx, 100, kWidthPx + kMarginPx, 120}));
  // Near the display: unchanged.
  EXPECT_EQ(sketchpad_clip::Line(frame, {-5000, 7, 9000, 13}), (Corners{-5000, 7, 9000, 13}));
}

TEST(SketchpadClip, ShapesThatCannotShowAreNotPassedOn) {
  const auto frame = FrameWithPen(9);
  // Reach of a 9 px pen: the pen width and a pixel either side.
  EXPECT_FALSE(sketchpad_clip::Line(frame, {-12, 10, -12, 200}));
  EXPECT_TRUE(sketchpad_clip::Line(frame, {-11, 10, -11, 200}));
  EXPECT_FALSE(sketchpad_clip::Rectangle(frame, {-kFar, -kFar, kFar, kFar}));  // every edge far outside
  EXPECT_EQ(sketchpad_clip::Ellipse(frame, {50, 50, 50, 50}).kind, EllipseDraw::kNone);
  EXPECT_EQ(sketchpad_clip::Ellipse(frame, {50, 50, 90, 50}).kind, EllipseDraw::kLine);
  EXPECT_EQ(sketchpad_clip::Ellipse(frame, {-kFar, -kFar, kFar, kFar}).kind, EllipseDraw::kNone);  // around it
  EXPECT_EQ(sketchpad_clip::Ellipse(frame, {50, 312, 90, 340}).kind, EllipseDraw::kNone);
  EXPECT_FALSE(sketchpad_clip::TextMayShow(frame, 20, -500, 100, 4));
  EXPECT_TRUE(sketchpad_clip::TextMayShow(frame, 20, -100, 100, 4));
}

TEST(SketchpadClip, AnEllipseTooLargeForTheHostIsItsArcNearTheDisplay) {
  const auto frame = FrameWithPen(1);
  const double radius = 1.0e9;  // centre far below: the arc crosses the display
  const Corners box{static_cast<int>(200 - radius), 150, static_cast<int>(200 + radius), static_cast<int>(150 + 2 * radius)};
  const EllipseDraw draw = sketchpad_clip::Ellipse(frame, box);
  ASSERT_EQ(draw.kind, EllipseDraw::kArcs);
  ASSERT_EQ(draw.arcs.size(), 1u);
  const auto& arc = draw.arcs.front();
  ASSERT_GE(arc.size(), 2u);
  // From edge to edge of the reach of the pen, each point on the outline to the pixel.
  EXPECT_EQ(std::min(arc.front().x, arc.back().x), -3);
  EXPECT_EQ(std::max(arc.front().x, arc.back().x), kWidthPx + 3);
  for (const auto& p : arc) {
    const double dx = p.x - 200.0;
    const double dy = p.y - (150 + radius);
    EXPECT_NEAR(std::hypot(dx, dy), radius, 0.5) << p.x << "," << p.y;
  }
}

// ---- Pixel identity on a real raster --------------------------------------

struct Call {
  enum Kind { kLine, kRectangle, kEllipse, kText } kind;
  Corners at;
  const char* text = "";
};

struct PixelCase {
  const char* name;
  int penWidthPx;
  std::vector<Call> calls;
  bool shows;  // whether anything of it is on the display
};

// Every call as made.
void DrawAsMade(simhost::CairoSurface& surface, const std::vector<Call>& calls) {
  for (const Call& c : calls) {
    switch (c.kind) {
      case Call::kLine: surface.Line(c.at.x0, c.at.y0, c.at.x1, c.at.y1); break;
      case Call::kRectangle: surface.Rectangle(c.at.x0, c.at.y0, c.at.x1, c.at.y1); break;
      case Call::kEllipse: surface.Ellipse(c.at.x0, c.at.y0, c.at.x1, c.at.y1); break;
      case Call::kText: surface.Text(c.at.x0, c.at.y0, c.text, static_cast<int>(std::strlen(c.text))); break;
    }
  }
}

// Every call as the binding passes it on.
void DrawAsPassedOn(simhost::CairoSurface& surface, const sketchpad_clip::Frame& frame, int fontHeightPx,
                    const std::vector<Call>& calls) {
  for (const Call& c : calls) {
    switch (c.kind) {
      case Call::kLine:
        if (const auto line = sketchpad_clip::Line(frame, c.at)) surface.Line(line->x0, line->y0, line->x1, line->y1);
        break;
      case Call::kRectangle:
        if (const auto box = sketchpad_clip::Rectangle(frame, c.at)) surface.Rectangle(box->x0, box->y0, box->x1, box->y1);
        break;
      case Call::kEllipse: {
        const EllipseDraw draw = sketchpad_clip::Ellipse(frame, c.at);
        const Corners& e = draw.corners;
        if (draw.kind == EllipseDraw::kLine) surface.Line(e.x0, e.y0, e.x1, e.y1);
        if (draw.kind == EllipseDraw::kEllipse) surface.Ellipse(e.x0, e.y0, e.x1, e.y1);
        for (const auto& arc : draw.arcs) {
          surface.MoveTo(arc.front().x, arc.front().y);
          for (const auto& p : arc) surface.LineTo(p.x, p.y);
        }
        break;
      }
      case Call::kText: {
        const int length = static_cast<int>(std::strlen(c.text));
        if (sketchpad_clip::TextMayShow(frame, fontHeightPx, c.at.x0, c.at.y0, length))
          surface.Text(c.at.x0, c.at.y0, c.text, length);
        break;
      }
    }
  }
}

int CountDiffering(cairo_surface_t* a, cairo_surface_t* b, int* litInA) {
  int differing = 0;
  *litInA = 0;
  for (int y = 0; y < kHeightPx; ++y) {
    const auto* rowA = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(a) +
                                                              y * cairo_image_surface_get_stride(a));
    const auto* rowB = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(b) +
                                                              y * cairo_image_surface_get_stride(b));
    for (int x = 0; x < kWidthPx; ++x) {
      if (rowA[x] != rowB[x]) ++differing;
      if ((rowA[x] & 0xFFFFFF) != 0) ++*litInA;
    }
  }
  return differing;
}

class PixelIdentity : public ::testing::TestWithParam<PixelCase> {
 protected:
  void TearDown() override { simhost::host().Reset(); }
};

TEST_P(PixelIdentity, PassedOnDrawsTheSamePixelsAsMade) {
  constexpr int kFontHeightPx = 18;
  simhost::CairoSurface asMade(kWidthPx, kHeightPx);
  simhost::CairoSurface passedOn(kWidthPx, kHeightPx);
  oapi::Pen* pen = simhost::host().CreatePen(1, GetParam().penWidthPx, 0xFFFFFF);
  oapi::Font* font = simhost::host().CreateFont(kFontHeightPx, true, "Arial", 0);
  for (simhost::CairoSurface* surface : {&asMade, &passedOn}) {
    surface->SetPen(pen);
    surface->SetFont(font);
  }
  DrawAsMade(asMade, GetParam().calls);
  DrawAsPassedOn(passedOn, FrameWithPen(GetParam().penWidthPx), kFontHeightPx, GetParam().calls);
  simhost::host().ReleasePen(pen);
  simhost::host().ReleaseFont(font);

  int lit = 0;
  // Raster() hands out an image valid until the surface's next call: both are kept apart.
  cairo_surface_t* a = asMade.Raster();
  cairo_surface_t* b = passedOn.Raster();
  EXPECT_EQ(CountDiffering(a, b, &lit), 0);
  EXPECT_EQ(lit > 0, GetParam().shows) << lit << " pixels lit";
}

constexpr int kHuge = 4000000;  // far beyond the clip box, still exact in the raster's fixed point

INSTANTIATE_TEST_SUITE_P(
    Cases, PixelIdentity,
    ::testing::Values(
        PixelCase{"ZeroSizeEllipses", 5, {{Call::kEllipse, {50, 50, 50, 50}}, {Call::kEllipse, {-3, 7, -3, 7}}}, false},
        PixelCase{"FlatEllipseIsItsLine", 3, {{Call::kEllipse, {20, 100, 220, 100}}}, true},
        PixelCase{"JustOutsideEachEdgeWithAWidePen",
                  9,
                  {{Call::kLine, {-12, 10, -12, 200}},
                   {Call::kLine, {412, 10, 412, 200}},
                   {Call::kRectangle, {10, -40, 100, -12}},
                   {Call::kEllipse, {50, 312, 90, 340}}},
                  false},
        PixelCase{"WidePenReachingIn", 9, {{Call::kLine, {-4, 10, -4, 200}}, {Call::kEllipse, {50, 302, 90, 340}}}, true},
        PixelCase{"TextPartlyOutside",
                  1,
                  {{Call::kText, {-30, 100, 0, 0}, "partly outside"},
                   {Call::kText, {360, 285, 0, 0}, "corner"},
                   {Call::kText, {-500, 100, 0, 0}, "gone"}},
                  true},
        PixelCase{"HugeLines",
                  1,
                  {{Call::kLine, {-kHuge, 150, kHuge, 150}},
                   {Call::kLine, {200, -kHuge, 200, kHuge}},
                   {Call::kLine, {-kHuge + 100, -kHuge, kHuge + 100, kHuge}},
                   {Call::kLine, {-kHuge, 40, 250, 40}}},
                  true},
        PixelCase{"HugeRectangles",
                  3,
                  {{Call::kRectangle, {-kHuge, 100, kHuge, 200}},
                   {Call::kRectangle, {50, -kHuge, kHuge, 250}},
                   {Call::kRectangle, {-kHuge, -kHuge, kHuge, kHuge}}},
                  true},
        PixelCase{"DisplayInsideAHugeEllipse", 1, {{Call::kEllipse, {200 - kHuge, 150 - kHuge, 200 + kHuge, 150 + kHuge}}},
                  false}),
    [](const ::testing::TestParamInfo<PixelCase>& info) { return std::string(info.param.name); });

}  // namespace
