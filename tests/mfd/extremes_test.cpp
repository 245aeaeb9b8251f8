// Whole redraws of every page at the ends of the zoom, at the poles and on
// a body the size of a gas giant, on both drawing surfaces: every symbol
// that has a position is drawn, nothing leaks, nothing overflows.
#include <cmath>
#include <numbers>
#include <sstream>

#include "tests/mfd/page_fixture.h"
#include "surfaces/cairo_surface.h"
#include "tests/support/cairo_static_data.h"

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
    const simhost::LatLon here = vessel->position;
    const simhost::LatLon antipode{-here.latitudeRad, here.longitudeRad + kPi};
    simhost::Base& base = simhost::host().AddBase(*body, "Near", Offset(502.5), {Offset(502.5, 40.0), antipode});
    vessel->landedBase = &base;
    simhost::host().AddBase(*body, "Antipode", antipode, {antipode});
    simhost::Transmitter& vor = simhost::host().AddTransmitter(*body, TRANSMITTER_VOR, "FAR", antipode);
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
  for (long long v : CoordinatesOf(lines)) ASSERT_LE(std::llabs(v), 2147483647LL) << Dump(lines);

  for (DisplayPage page : {Graphical, List, FileSelect}) {
    mfd->State().page = page;
    mfd->PushRoute();
    simhost::CairoSurface picture(400, 400);
    mfd->UpdateSketchpad(&picture);
    EXPECT_EQ(simhost::host().LivePens(), 0);
    EXPECT_EQ(simhost::host().LiveFonts(), 0);
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

// Values that fit in 32 bits are drawn exactly: on a large body at the
// closest zoom a line to a far waypoint keeps its direction.
TEST_F(PageTest, FarPixelsInsideThirtyTwoBitsAreExact) {
  BuildWorld(1.0e8, {0.0, 0.0}, 0.0, 2000, 2000);
  // One radian along a course of 30 degrees from the vessel.
  const double courseRad = kPi / 6;
  const double latitude = std::asin(std::sin(1.0) * std::cos(courseRad));
  const double longitude = std::atan2(std::sin(courseRad) * std::sin(1.0), std::cos(1.0));
  mfd->route.waypoints = {WaypointAt({latitude, longitude}, 0.0)};
  SetPageAndRange(Graphical, 250);
  const auto lines = Redraw();
  // The line from the vessel; sin 30 degrees may come out a hair below 0.5,
  // and truncation then takes the one pixel off that the scale allows.
  const auto line = std::find_if(lines.begin(), lines.end(),
                                 [](const std::string& l) { return l.rfind("line 1000 1334 ", 0) == 0; });
  ASSERT_NE(line, lines.end()) << Dump(lines);
  long long x = 0;
  long long y = 0;
  std::istringstream(line->substr(15)) >> x >> y;
  EXPECT_GE(x, 400000999);
  EXPECT_LE(x, 400001000);
  EXPECT_GE(y, -692818990);
  EXPECT_LE(y, -692818989);
}

// Beyond 32 bits only the value that does not fit is clamped, and a box
// around a point near the edge of the range does not wrap.
TEST_F(PageTest, PixelsBeyondThirtyTwoBitsAreClampedOneByOne) {
  BuildWorld(7.0e8, {0.0, 0.0}, 0.0, 2000, 2000);
  mfd->route.waypoints = {WaypointAt({0.0, 1.0}, 1.0e9)};  // due east, a huge circle
  SetPageAndRange(Graphical, 250);
  const auto lines = Redraw();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "line 1000 1334 2147483647 1333"), lines.end()) << Dump(lines);
  // x - size and y - size fit and are exact; x + size and y + size do not.
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ellipse 0 -2147482314 2147483647 2147483647"), lines.end())
      << Dump(lines);
}

}  // namespace
}  // namespace pages_test
