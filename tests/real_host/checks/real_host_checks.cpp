#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include "checks/screenshot.h"
// Calibration stand-in.
TEST(Calibration, Bands) {
  for (int i = 1; i <= 19; ++i) {
    char name[64]; std::snprintf(name, sizeof name, "%02d-table", i);
    std::string error;
    Screenshot s = LoadScreenshot(std::string(getenv("SHOTS")) + "/" + name + (i==19?"-error":"") + ".png", error);
    std::printf("%s %s:", name, error.c_str());
    for (auto b : GreenBands(s, {48, 366, 412, 731}, 150)) std::printf(" %d-%d", b.first, b.last);
    std::printf("\n");
  }
}
