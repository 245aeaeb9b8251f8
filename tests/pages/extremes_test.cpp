// Whole redraws of every page at the ends of the zoom, at the poles and on
// a body the size of a gas giant, on both drawing surfaces: every symbol
// that has a position is drawn, nothing leaks, nothing overflows.
#include <cmath>
#include <numbers>
#include <sstream>

#include "page_fixture.h"
#include "sim/surfaces/cairo_surface.h"

namespace pages_test {
namespace {

constexpr double kPi = std::numbers::pi;

struct ExtremeCase {
  const char* name;
  double bodyRadiusMetres;
  double vesselLatitudeRad;
  std::uint32_t rangeMetres;
};

class ExtremeRedrawTest : public PageTest, public ::testing::WithParamInterface<ExtremeCase> {
 protected:
  void SetUp() override {
    BuildWorld(GetParam().bodyRadiusMetres, {GetParam().vesselLatitudeRad, 0.4}, 2.0);
    const sim::LatLon here = vessel->position;
    const sim::LatLon antipode{-here.latitudeRad, here.longitudeRad + kPi};
    sim::Base& base = sim::host().AddBase(*body, "Near", Offset(502.5), {Offset(502.5, 40.0), antipode});
    vessel->landedBase = &base;
    sim::host().AddBase(*body, "Antipode", antipode, {antipode});
    sim::Transmitter& vor = sim::host().AddTransmitter(*body, TRANSMITTER_VOR, "FAR", antipode);
    vessel->receivers = {&vor};

    mfd->route.waypoints = {WaypointAt(Offset(502.5), 1.0e5), WaypointAt(antipode, 1.0e12),
                            WaypointAt({std::nan(""), 0.0}), WaypointAt({kPi / 2, 0.0}, 30.0)};
    mfd->route.runways.push_back({kPi / 2, 0.0, -kPi / 2, kPi, 0.0, 0.0});
    SetPageAndRange(Graphical, GetParam().rangeMetres);
  }
};

// Every number in a shape or text line of the recording.
std::vector<long long> CoordinatesOf(const std::vector<std::string>& lines) {
  std::vector<long long> values;
  for (const std::string& line : lines) {
    if (line.rfind("pen", 0) == 0 || line.rfind("font", 0) == 0 || line.rfind("colour", 0) == 0) continue;
    std::istringstream words(line.substr(0, line.find('"')));
    std::string word;
    words >> word;
    long long v = 0;
    while (words >> v) values.push_back(v);
  }
  return values;
}

TEST_P(ExtremeRedrawTest, EveryPageDrawsWithinTheSafePixelRange) {
  const auto lines = Redraw();
  std::vector<std::string> labels;
  for (const DrawnText& t : TextsOf(lines)) labels.push_back(t.text);
  for (const char* label : {"1", "2", "4", "Near", "Antipode", "VOR FAR"})
    EXPECT_NE(std::find(labels.begin(), labels.end(), label), labels.end()) << label << "\n" << Dump(lines);
  EXPECT_EQ(std::find(labels.begin(), labels.end(), "3"), labels.end()) << "a waypoint without position";
  for (long long v : CoordinatesOf(lines)) ASSERT_LE(std::llabs(v), 2LL * kMapPixelLimit) << Dump(lines);

  for (DisplayPage page : {Graphical, List, FileSelect}) {
    mfd->State().page = page;
    mfd->PushRoute();
    sim::CairoSurface picture(400, 400);
    mfd->UpdateSketchpad(&picture);
    EXPECT_EQ(sim::host().LivePens(), 0);
    EXPECT_EQ(sim::host().LiveFonts(), 0);
    EXPECT_EQ(cairo_surface_status(picture.Raster()), CAIRO_STATUS_SUCCESS);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Worlds, ExtremeRedrawTest,
    ::testing::Values(ExtremeCase{"ClosestZoom", kEarthRadiusMetres, 0.5, 250},
                      ExtremeCase{"FarthestZoom", kEarthRadiusMetres, 0.5, 131072000},
                      ExtremeCase{"NorthPole", kEarthRadiusMetres, kPi / 2, 2000},
                      ExtremeCase{"SouthPole", kEarthRadiusMetres, -kPi / 2, 250},
                      ExtremeCase{"GasGiantClosest", 7.0e7, 0.1, 250},
                      ExtremeCase{"GasGiantFarthest", 7.0e7, -0.1, 131072000},
                      ExtremeCase{"StarClosest", 7.0e8, 0.2, 250}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pages_test
