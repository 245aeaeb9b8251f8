#include "checks/screenshot.h"

#include <cairo.h>

#include <algorithm>

Screenshot LoadScreenshot(const std::string& path, std::string& error) {
  Screenshot shot;
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    error = path + ": " + cairo_status_to_string(cairo_surface_status(surface));
    cairo_surface_destroy(surface);
    return shot;
  }
  cairo_surface_flush(surface);
  shot.width = cairo_image_surface_get_width(surface);
  shot.height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  shot.pixels.resize(static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height));
  for (int y = 0; y < shot.height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < shot.width; ++x)
      shot.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(shot.width) + static_cast<std::size_t>(x)] =
          row[x] & 0x00FFFFFFu;
  }
  cairo_surface_destroy(surface);
  return shot;
}

int Greenness(std::uint32_t pixel) {
  const int red = static_cast<int>((pixel >> 16) & 0xFF);
  const int green = static_cast<int>((pixel >> 8) & 0xFF);
  const int blue = static_cast<int>(pixel & 0xFF);
  return std::max(0, green - std::max(red, blue));
}

namespace {

ScreenBox Clipped(const Screenshot& shot, ScreenBox box) {
  return {std::clamp(box.x0, 0, shot.width), std::clamp(box.y0, 0, shot.height), std::clamp(box.x1, 0, shot.width),
          std::clamp(box.y1, 0, shot.height)};
}

std::uint32_t At(const Screenshot& shot, int x, int y) {
  return shot.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(shot.width) + static_cast<std::size_t>(x)];
}

}  // namespace

std::vector<int> RowGreenness(const Screenshot& shot, const ScreenBox& wanted) {
  const ScreenBox box = Clipped(shot, wanted);
  std::vector<int> rows;
  for (int y = box.y0; y < box.y1; ++y) {
    int most = 0;
    for (int x = box.x0; x < box.x1; ++x) most = std::max(most, Greenness(At(shot, x, y)));
    rows.push_back(most);
  }
  return rows;
}

std::vector<RowBand> GreenBands(const Screenshot& shot, const ScreenBox& wanted, int threshold) {
  const ScreenBox box = Clipped(shot, wanted);
  const std::vector<int> rows = RowGreenness(shot, box);
  std::vector<RowBand> bands;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] < threshold) continue;
    const int y = box.y0 + static_cast<int>(i);
    if (!bands.empty() && bands.back().last == y - 1)
      bands.back().last = y;
    else
      bands.push_back({y, y});
  }
  return bands;
}

int GreenPixelCount(const Screenshot& shot, const ScreenBox& wanted, int threshold) {
  const ScreenBox box = Clipped(shot, wanted);
  int count = 0;
  for (int y = box.y0; y < box.y1; ++y)
    for (int x = box.x0; x < box.x1; ++x)
      if (Greenness(At(shot, x, y)) >= threshold) ++count;
  return count;
}
