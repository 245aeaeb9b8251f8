// The rendering surface paints what the host would: black display, pens in
// the host's colour order, texts hanging below their point, far shapes cut.
#include "surfaces/cairo_surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "simhost/sim_host.h"
#include "tests/support/cairo_static_data.h"

namespace {

struct Rgb {
  int r, g, b;
};

Rgb PixelAt(cairo_surface_t* image, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
  const std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[x];
  return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF), static_cast<int>(argb & 0xFF)};
}

bool Lit(cairo_surface_t* image, int x, int y) {
  const Rgb p = PixelAt(image, x, y);
  return p.r + p.g + p.b > 0;
}

class CairoSurfaceTest : public ::testing::Test {
 protected:
  void TearDown() override { simhost::host().Reset(); }
  void UsePen(int style, DWORD colour) {
    pen = simhost::host().CreatePen(style, 1, colour);
    surface.SetPen(pen);
    simhost::host().ReleasePen(pen);  // the surface keeps what it needs
  }
  simhost::CairoSurface surface{100, 80};
  oapi::Pen* pen = nullptr;
};

TEST_F(CairoSurfaceTest, StartsBlackAndClearsToBlack) {
  UsePen(1, 0xFFFFFF);
  surface.Line(0, 10, 99, 10);
  ASSERT_TRUE(Lit(surface.Raster(), 50, 10));
  surface.Clear();
  cairo_surface_t* image = surface.Raster();
  for (int y = 0; y < 80; y += 5)
    for (int x = 0; x < 100; x += 5) ASSERT_FALSE(Lit(image, x, y)) << x << "," << y;
}

TEST_F(CairoSurfaceTest, PenColoursAreBlueGreenRed) {
  UsePen(1, 0x0000FF);
  surface.Line(10, 20, 90, 20);
  UsePen(1, 0xFF0000);
  surface.Rectangle(10, 40, 90, 60);
  cairo_surface_t* image = surface.Raster();
  const Rgb red = PixelAt(image, 50, 20);
  EXPECT_EQ(red.r, 255);
  EXPECT_EQ(red.g + red.b, 0);
  const Rgb blue = PixelAt(image, 50, 40);
  EXPECT_EQ(blue.b, 255);
  EXPECT_EQ(blue.r + blue.g, 0);
  EXPECT_FALSE(Lit(image, 50, 50)) << "outlines only";
}

TEST_F(CairoSurfaceTest, DashedPenLeavesGaps) {
  UsePen(2, 0x00FF00);
  surface.Line(0, 30, 99, 30);
  cairo_surface_t* image = surface.Raster();
  int lit = 0;
  for (int x = 0; x < 100; ++x) lit += Lit(image, x, 30) ? 1 : 0;
  EXPECT_GT(lit, 30);
  EXPECT_LT(lit, 90);
}

TEST_F(CairoSurfaceTest, TextHangsBelowItsPointWithinItsHeight) {
  oapi::Font* font = simhost::host().CreateFont(20, true, "DejaVu Sans", 0);
  surface.SetFont(font);
  simhost::host().ReleaseFont(font);
  surface.SetTextColor(0x00FF00);
  surface.Text(10, 30, "WP: 1", 5);
  cairo_surface_t* image = surface.Raster();
  int inside = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x)
      if (Lit(image, x, y)) {
        ++inside;
        EXPECT_TRUE(y >= 30 && y < 50 && x >= 10) << x << "," << y;
      }
  EXPECT_GT(inside, 20);
}

TEST_F(CairoSurfaceTest, HugeCircleShowsOnlyItsArcAcrossTheDisplay) {
  UsePen(1, 0xFFFFFF);
  surface.Ellipse(50 - 2000000, 50, 50 + 2000000, 50 + 4000000);  // top at y = 50
  surface.Ellipse(-900000000, -900000000, 900000000, 900000000);  // the display lies inside
  cairo_surface_t* image = surface.Raster();
  EXPECT_TRUE(Lit(image, 50, 50));
  EXPECT_TRUE(Lit(image, 5, 50));
  EXPECT_FALSE(Lit(image, 50, 45));
  EXPECT_FALSE(Lit(image, 50, 55));
}

TEST_F(CairoSurfaceTest, WritesPngAndSvgOfTheDisplaySize) {
  UsePen(1, 0x00FF00);
  surface.Ellipse(10, 10, 90, 70);
  const auto folder = std::filesystem::path(TARVIK_BINARY_DIR) / "pages_test_output";
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(surface.WritePng((folder / "shape.png").string()));
  ASSERT_TRUE(surface.WriteSvg((folder / "shape.svg").string()));
  cairo_surface_t* png = cairo_image_surface_create_from_png((folder / "shape.png").c_str());
  EXPECT_EQ(cairo_image_surface_get_width(png), 100);
  EXPECT_EQ(cairo_image_surface_get_height(png), 80);
  cairo_surface_destroy(png);
  EXPECT_GT(std::filesystem::file_size(folder / "shape.svg"), 200u);
}

}  // namespace
