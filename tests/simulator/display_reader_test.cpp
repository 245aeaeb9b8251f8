// Reading pages from the texts of a redraw, and picking the moments of the
// overview sheet.
#include "simulator/display_reader.h"

#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "simulator/overview_sheet.h"
#include "surfaces/cairo_surface.h"

namespace simulator {
namespace {

constexpr DWORD kBright = 0x00FF00;
constexpr DWORD kDim = 0x005500;

// A List page as the module draws it: title, rows, then the two headers.
TextCapture WaypointTable(int rows, int brightRow) {
  TextCapture page;
  page.SetTextColor(kBright);
  page.Text(5, 0, "Tarvik MFD               2.00", 29);
  for (int i = 0; i < rows; ++i) {
    page.SetTextColor(i == brightRow ? kBright : kDim);
    const std::string row = (i < 9 ? " " : "") + std::to_string(i + 1) + "   110   900   10 Departure turn";
    page.Text(10, 16 * (i + 5), row.c_str(), static_cast<int>(row.size()));
  }
  page.SetTextColor(kBright);
  page.Text(5, 32, "|ID | SPD | ALT | DIST NEXT | DESC|", 35);
  page.Text(5, 48, "|#  | m/s |  m  |     km    |\\TASK|", 35);
  return page;
}

TEST(DisplayReader, WaypointTableGivesTheCountAndTheBrightRow) {
  struct Case {
    int rows;
    int brightRow;
    ModuleRouteView expected;
  };
  const Case cases[] = {
      {7, 0, {7, 0}},
      {12, 10, {12, 10}},
      {3, -1, {3, std::nullopt}},  // the index lies past the list: no bright row
      {0, -1, {0, std::nullopt}},  // only the headers
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadWaypointTable(WaypointTable(c.rows, c.brightRow)), c.expected) << c.rows << " rows";
}

TEST(DisplayReader, FileBrowserGivesTheNamesAndTheSelection) {
  TextCapture page;
  page.SetTextColor(kBright);
  page.Text(5, 0, "Tarvik MFD               2.00", 29);
  const char* names[] = {"kestrel.route", "short-kestrel.route", "tug.route"};
  for (int i = 0; i < 3; ++i) {
    page.SetTextColor(i == 1 ? kBright : kDim);
    page.Text(10, 16 * (i + 2), names[i], static_cast<int>(std::strlen(names[i])));
  }
  const FileBrowserView view = ReadFileBrowser(page);
  EXPECT_EQ(view.names, (std::vector<std::string>{"kestrel.route", "short-kestrel.route", "tug.route"}));
  EXPECT_EQ(view.selected, 1u);
}

TEST(OverviewSheet, PicksEvenlySpreadMomentsWithFirstAndLast) {
  struct Case {
    std::size_t count;
    std::size_t rows;
    std::vector<std::size_t> expected;
  };
  const Case cases[] = {
      {0, 6, {}}, {3, 6, {0, 1, 2}}, {10, 1, {9}}, {10, 4, {0, 3, 6, 9}}, {25, 6, {0, 5, 10, 14, 19, 24}},
  };
  for (const Case& c : cases) EXPECT_EQ(PickRows(c.count, c.rows), c.expected) << c.count << " in " << c.rows;
}

}  // namespace
}  // namespace simulator

namespace simulator {
namespace {

// Nine displays 4096 pixels wide side by side: over what Cairo can hold at
// full size; the sheet is drawn to a smaller scale. (Low frames keep the
// test quick; the width is what matters.)
TEST(OverviewSheet, SheetTooLargeForFullSizeIsScaledToFit) {
  const std::string folder = ::testing::TempDir();
  const std::string framePath = folder + "/big_frame.png";
  cairo_surface_t* frame = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4096, 600);
  cairo_t* cr = cairo_create(frame);
  cairo_set_source_rgb(cr, 0.0, 1.0, 0.0);
  cairo_paint(cr);
  cairo_destroy(cr);
  ASSERT_EQ(cairo_surface_write_to_png(frame, framePath.c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(frame);

  const std::vector<SheetCell> row(9, SheetCell{framePath, "display"});
  const std::vector<std::vector<SheetCell>> rows(2, row);
  const std::string sheetPath = folder + "/big_sheet.png";
  std::string error;
  ASSERT_TRUE(ComposeOverview("big", rows, sheetPath, error)) << error;
  cairo_surface_t* sheet = cairo_image_surface_create_from_png(sheetPath.c_str());
  ASSERT_EQ(cairo_surface_status(sheet), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(sheet), 8192);  // the wider side at the limit
  EXPECT_LT(cairo_image_surface_get_height(sheet), 8192);
  // The middle of the first frame is green, at the scaled place.
  const double scale = 8192.0 / (12.0 + 9 * (4096 + 12.0));
  const int x = static_cast<int>((12.0 + 2048) * scale);
  const int y = static_cast<int>((34.0 + 12.0 + 20.0 + 300) * scale);
  const auto* pixel = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(sheet) +
                                                            y * cairo_image_surface_get_stride(sheet)) + x;
  EXPECT_EQ(*pixel & 0xFFFFFF, 0x00FF00u);
  cairo_surface_destroy(sheet);
  std::remove(framePath.c_str());
  std::remove(sheetPath.c_str());
  // The sheet's captions filled Cairo's font caches: handed back, so that
  // the leak checker sees only leaks of ours.
  simhost::ReleaseCairoStaticData();
}

}  // namespace
}  // namespace simulator
