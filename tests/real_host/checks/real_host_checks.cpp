#include <gtest/gtest.h>
#include <cstdio>
#include "checks/screenshot.h"
// Calibration stand-in.
TEST(Calibration, Bands) {
  for (const char* name : {"01-map-empty", "02-browser", "03-table", "05-table", "08-table"}) {
    std::string error;
    Screenshot s = LoadScreenshot(std::string(getenv("SHOTS")) + "/" + name + ".png", error);
    std::printf("%s %s\n", name, error.c_str());
    for (auto b : GreenBands(s, {0, 360, 512, 768}, 100)) std::printf("  band %d-%d\n", b.first, b.last);
  }
}
