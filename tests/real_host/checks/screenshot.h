// Screenshots of the host's window, read for the checks. The host scales
// and smooths each display onto the window, so colours are judged by the
// brightest pixel of a band, never by exact values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row after row
};

// The PNG file, or an empty screenshot and a message.
Screenshot LoadScreenshot(const std::string& path, std::string& error);

// A rectangle of the screen [pixels], x1 and y1 excluded.
struct ScreenBox {
  int x0;
  int y0;
  int x1;
  int y1;
};

// How green a pixel is: green less the larger of red and blue, 0 for grey.
int Greenness(std::uint32_t pixel);

// The largest greenness in each row of the box, top to bottom.
std::vector<int> RowGreenness(const Screenshot& shot, const ScreenBox& box);

// Rows of the box in runs where the largest greenness is at least
// threshold: [first, last] screen rows of each run.
struct RowBand {
  int first;
  int last;
};
std::vector<RowBand> GreenBands(const Screenshot& shot, const ScreenBox& box, int threshold);

// Pixels of the box whose greenness is at least threshold.
int GreenPixelCount(const Screenshot& shot, const ScreenBox& box, int threshold);
