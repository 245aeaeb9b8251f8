#include "simulator/overview_sheet.h"

#include <cairo.h>

#include <algorithm>
#include <memory>

#include "surfaces/cairo_surface.h"

namespace simulator {

namespace {

constexpr double kGapPx = 12.0;
constexpr double kCaptionPx = 20.0;
constexpr double kTitlePx = 34.0;
constexpr const char* kFace = "DejaVu Sans";
// Far inside Cairo's 32767 pixels, and a sheet one can still look at.
constexpr double kLargestSheetPx = 8192.0;

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

SurfacePtr LoadPng(const std::string& path) {
  return SurfacePtr(cairo_image_surface_create_from_png(path.c_str()), &cairo_surface_destroy);
}

}  // namespace

std::vector<std::size_t> PickRows(std::size_t count, std::size_t rows) {
  std::vector<std::size_t> picked;
  if (count == 0 || rows == 0) return picked;
  if (count <= rows) {
    for (std::size_t i = 0; i < count; ++i) picked.push_back(i);
    return picked;
  }
  if (rows == 1) return {count - 1};
  for (std::size_t r = 0; r < rows; ++r) {
    const std::size_t index = (r * (count - 1) + (rows - 1) / 2) / (rows - 1);
    if (picked.empty() || picked.back() != index) picked.push_back(index);
  }
  return picked;
}

bool ComposeOverview(const std::string& title, const std::vector<std::vector<SheetCell>>& rows,
                     const std::string& sheetPath, std::string& error) {
  // The cell size is the largest frame's. Frames are read one at a time,
  // here and when drawn, so that memory follows the sheet, not the frames.
  int cellWidth = 0;
  int cellHeight = 0;
  std::size_t columns = 0;
  for (const auto& row : rows) {
    columns = std::max(columns, row.size());
    for (const SheetCell& cell : row) {
      const SurfacePtr frame = LoadPng(cell.framePath);
      if (cairo_surface_status(frame.get()) != CAIRO_STATUS_SUCCESS) {
        error = "cannot read frame " + cell.framePath;
        return false;
      }
      cellWidth = std::max(cellWidth, cairo_image_surface_get_width(frame.get()));
      cellHeight = std::max(cellHeight, cairo_image_surface_get_height(frame.get()));
    }
  }
  const double width = std::max(kGapPx + static_cast<double>(columns) * (cellWidth + kGapPx), 320.0);
  const double height = kTitlePx + kGapPx + static_cast<double>(rows.size()) * (kCaptionPx + cellHeight + kGapPx);
  // Larger sheets are drawn smaller, all of them to one scale.
  const double scale = std::min({1.0, kLargestSheetPx / width, kLargestSheetPx / height});
  SurfacePtr sheet(cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1, static_cast<int>(width * scale)),
                                              std::max(1, static_cast<int>(height * scale))),
                   &cairo_surface_destroy);
  if (cairo_surface_status(sheet.get()) != CAIRO_STATUS_SUCCESS) {
    error = "cannot make a sheet of " + std::to_string(static_cast<int>(width * scale)) + " x " +
            std::to_string(static_cast<int>(height * scale)) + " pixels";
    return false;
  }
  cairo_t* cr = cairo_create(sheet.get());
  cairo_scale(cr, scale, scale);
  cairo_set_source_rgb(cr, 0.13, 0.13, 0.14);
  cairo_paint(cr);
  cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 18.0);
  cairo_set_source_rgb(cr, 0.92, 0.92, 0.92);
  cairo_move_to(cr, kGapPx, kTitlePx - 8.0);
  cairo_show_text(cr, title.c_str());
  cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 12.0);
  double y = kTitlePx + kGapPx;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const double x = kGapPx + static_cast<double>(c) * (cellWidth + kGapPx);
      cairo_set_source_rgb(cr, 0.78, 0.78, 0.78);
      cairo_move_to(cr, x, y + kCaptionPx - 6.0);
      cairo_show_text(cr, rows[r][c].caption.c_str());
      const SurfacePtr frame = LoadPng(rows[r][c].framePath);
      cairo_set_source_surface(cr, frame.get(), x, y + kCaptionPx);
      cairo_paint(cr);
      cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
      cairo_set_line_width(cr, 1.0);
      cairo_rectangle(cr, x - 0.5, y + kCaptionPx - 0.5, cairo_image_surface_get_width(frame.get()) + 1.0,
                      cairo_image_surface_get_height(frame.get()) + 1.0);
      cairo_stroke(cr);
    }
    y += kCaptionPx + cellHeight + kGapPx;
  }
  cairo_destroy(cr);
  if (const std::string why = simhost::WritePngFile(sheet.get(), sheetPath); !why.empty()) {
    error = why;
    return false;
  }
  return true;
}

}  // namespace simulator
