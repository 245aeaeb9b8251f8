// The heading-up projection and the map layers, as drawn.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "page_fixture.h"

namespace pages_test {
namespace {

const std::string kDimPen = "pen style=1 width=1 colour=0x005500";
const std::string kBrightPen = "pen style=1 width=1 colour=0x00FF00";

// A 200-pixel-high display at range 2000 m: 0.1 pixel per metre.
class ProjectionTest : public PageTest {
 protected:
  void Build(double headingRad) {
    BuildWorld(kEarthRadiusMetres, {0.3, 0.2}, headingRad, 200);
    SetPageAndRange(Graphical, 2000);
  }
};

TEST_F(ProjectionTest, NorthIsUpWhenHeadingNorth) {
  Build(0.0);
  const simhost::LatLon north = Offset(1000.0);
  const MapPoint p = mfd->ProjectToMap(north.latitudeRad, north.longitudeRad, 50.0);
  EXPECT_NEAR(p.x, mfd->centerX, 1);
  EXPECT_NEAR(p.y, mfd->centerY - 100, 1);
  EXPECT_EQ(p.size, 5);
}

TEST_F(ProjectionTest, NorthIsLeftWhenHeadingEast) {
  Build(std::numbers::pi / 2);
  const simhost::LatLon north = Offset(1000.0);
  const MapPoint p = mfd->ProjectToMap(north.latitudeRad, north.longitudeRad, 0.0);
  EXPECT_NEAR(p.x, mfd->centerX - 100, 1);
  EXPECT_NEAR(p.y, mfd->centerY, 1);
}

TEST_F(ProjectionTest, SouthIsStraightBelowWhenHeadingNorth) {
  Build(0.0);
  const double distanceMetres = 1234.5;
  const simhost::LatLon south = Offset(-distanceMetres);
  const MapPoint p = mfd->ProjectToMap(south.latitudeRad, south.longitudeRad, 0.0);
  EXPECT_EQ(p.x, mfd->centerX);
  EXPECT_EQ(p.y, static_cast<int>(mfd->centerY + distanceMetres * 0.1));
}

TEST_F(ProjectionTest, FarValuesAreClampedAndNotANumberIsOffTheMap) {
  BuildWorld(7.0e8, {0.0, 0.0}, 0.0, 400);  // the size of a star
  SetPageAndRange(Graphical, 250);         // 1.6 pixel per metre
  // 7e8 m south: 1.12e9 pixels fit in 32 bits and stay exact.
  const MapPoint far = mfd->ProjectToMap(-1.0, 0.0, 1.0e12);
  EXPECT_EQ(far.y, static_cast<std::int64_t>(mfd->centerY + 1.0 * 7.0e8 * (400.0 / 250)));
  EXPECT_EQ(far.size, kMapPixelLimit);
  // The far side of the body is beyond them.
  const MapPoint antipode = mfd->ProjectToMap(0.0, std::numbers::pi, 0.0);
  EXPECT_EQ(antipode.x, kMapPixelLimit);  // due east by the bearing table
  const MapPoint lost = mfd->ProjectToMap(std::nan(""), 0.0, 30.0);
  EXPECT_EQ(lost.x, kOffMapPixel);
  EXPECT_EQ(lost.y, kOffMapPixel);
}

// With no focus vessel there is nothing to measure from: no bearing, and
// every position off the map.
TEST_F(ProjectionTest, WithoutAFocusVesselNothingIsOnTheMap) {
  Build(0.0);
  simhost::host().DeleteVessel(*vessel);
  EXPECT_TRUE(std::isnan(mfd->RelativeBearing(0.3, 0.2)));
  EXPECT_EQ(mfd->ProjectToMap(0.3, 0.2, 50.0).x, kOffMapPixel);
}

// 400 x 400, centre (200, 267), range 2000: 0.2 pixel per metre. Distances
// end on half pixels so that truncation is unambiguous.
class MapLayerTest : public PageTest {};

TEST_F(MapLayerTest, RouteOfThreeUnnamedWaypointsWithTheFirstCurrent) {
  for (double north : {252.5, 502.5, 752.5}) mfd->route.waypoints.push_back(WaypointAt(Offset(north), 50.0));
  mfd->route.currentIndex = 0;
  const std::string label = " in font height=20 prop=1 " + kFace + " colour 0x00FF00";
  const std::string dim = " with " + kDimPen;
  const std::string bright = " with " + kBrightPen;
  // The layers in their stated order, each over the earlier ones.
  const std::vector<std::string> expected = {
      "rect 190 206 210 226" + bright, "ellipse 190 206 210 226" + bright, "text 195 206 \"1\"" + label,
      "ellipse 190 156 210 176" + dim, "line 200 166 200 216" + dim, "text 195 156 \"2\"" + label,
      "ellipse 190 106 210 126" + dim, "line 200 116 200 166" + dim, "text 195 106 \"3\"" + label,
      // own ship: triangle, line to the current waypoint, dashed crosshair
      "moveto 200 257" + bright, "lineto 210 277" + bright, "lineto 190 277" + bright, "lineto 200 257" + bright,
      "line 200 267 200 216" + dim, "line 200 0 200 400 with pen style=2 width=1 colour=0x005500",
      "line 0 267 400 267 with pen style=2 width=1 colour=0x005500"};
  const auto lines = Redraw();
  EXPECT_TRUE(ContainsRun(Drawn(lines), expected)) << Dump(Drawn(lines));
}

TEST_F(MapLayerTest, BaseNoticeWhenStandingAtABaseWithoutRoute) {
  simhost::Base& base = simhost::host().AddBase(*body, "Brighton Beach", {0.0, 0.0});
  vessel->landedBase = &base;
  const auto lines = Redraw();
  EXPECT_TRUE(ContainsRun(lines, {kDimPen, "rect 195 262 205 272", kBrightPen, "colour 0x00FF00",
                                  "rect 199 266 201 268", "rect 198 265 202 269", "rect 197 264 203 270",
                                  "rect 196 263 204 271", "line 200 267 200 267", "font default=0",
                                  "text 10 40 \"BASE: Brighton Beach\"", "text 10 60 \"DIST: 0 km\"", kDimPen,
                                  "font height=12 prop=1 " + kFace, "text 210 261 \"Brighton Beach\""}))
      << Dump(lines);
}

TEST_F(MapLayerTest, OtherBasesAreDimAndGiveNoNotice) {
  simhost::host().AddBase(*body, "Far Field", Offset(502.5));
  const auto texts = TextsOf(Redraw());
  ASSERT_EQ(texts.size(), 2u);  // title and the base name
  EXPECT_EQ(texts[1], (DrawnText{210, 160, "Far Field", "0x005500"}));
}

struct PadCase {
  std::uint32_t rangeMetres;
  std::vector<std::string> padDrawing;
};

class PadTest : public MapLayerTest, public ::testing::WithParamInterface<PadCase> {};

TEST_P(PadTest, PadCirclesAndNumbersScaleWithTheZoom) {
  simhost::host().AddBase(*body, "Pads", {0.0, 0.0}, {{0.0, 0.0}});
  SetPageAndRange(Graphical, GetParam().rangeMetres);
  const auto lines = Redraw();
  EXPECT_TRUE(ContainsRun(lines, GetParam().padDrawing)) << Dump(lines);
  EXPECT_EQ(TextsOf(lines).size(), GetParam().padDrawing.size() > 2 ? 3u : 2u);
}

INSTANTIATE_TEST_SUITE_P(Zooms, PadTest,
                         ::testing::Values(PadCase{250, {"ellipse 152 219 248 315", "ellipse 164 231 236 303",
                                                         "font height=64 prop=0 " + kFace, "colour 0x00FF00",
                                                         "text 185 235 \"1\""}},
                                           PadCase{16000, {"ellipse 200 267 200 267", "ellipse 200 267 200 267"}}));

TEST_F(MapLayerTest, OnlyTunedVorsAreDrawn) {
  simhost::Transmitter& vor = simhost::host().AddTransmitter(*body, TRANSMITTER_VOR, "ABC", Offset(502.5));
  simhost::Transmitter& ils = simhost::host().AddTransmitter(*body, TRANSMITTER_ILS, "ILS", Offset(252.5));
  simhost::host().AddTransmitter(*body, TRANSMITTER_VOR, "XYZ", Offset(-502.5));  // nobody tuned
  vessel->receivers = {nullptr, &ils, &vor};
  const auto lines = Redraw();
  EXPECT_TRUE(ContainsRun(lines, {"line 197 166 203 166", "line 200 163 200 169", "font height=12 prop=1 " + kFace,
                                  "text 203 166 \"VOR ABC\""}))
      << Dump(lines);
  EXPECT_EQ(TextsOf(lines).size(), 2u);
}

struct OutlineCase {
  int heightPx;
  std::uint32_t rangeMetres;
};

class BodyOutlineTest : public PageTest, public ::testing::WithParamInterface<OutlineCase> {};

// Closest zoom: the circle lies far outside the display; farthest: well
// inside it.
TEST_P(BodyOutlineTest, RadiusIsPiTimesTheBodyRadiusInPixels) {
  BuildWorld(kEarthRadiusMetres, {0.0, 0.0}, 0.0, GetParam().heightPx);
  SetPageAndRange(Graphical, GetParam().rangeMetres);
  const std::string ellipse = BodyOutlineEllipse();
  const auto lines = Redraw();
  EXPECT_TRUE(ContainsRun(lines, {kDimPen, ellipse})) << ellipse << "\n" << Dump(lines);
}

INSTANTIATE_TEST_SUITE_P(Zooms, BodyOutlineTest,
                         ::testing::Values(OutlineCase{200, 2000}, OutlineCase{400, 131072000}));

// A waypoint whose position is no number is left out with its legs and the
// line to it; the rest of the route is drawn as usual.
TEST_F(MapLayerTest, WaypointWithoutAPositionIsLeftOutWithItsLegs) {
  const simhost::LatLon lost{0.0, std::numeric_limits<double>::infinity()};
  mfd->route.waypoints = {WaypointAt(Offset(252.5)), WaypointAt(lost), WaypointAt(Offset(752.5))};
  mfd->route.currentIndex = 1;
  const std::string label = "font height=20 prop=1 " + kFace;
  const auto lines = Redraw();
  EXPECT_TRUE(ContainsRun(lines, {kDimPen, "ellipse 190 206 210 226", label, "colour 0x00FF00", "text 195 206 \"1\"",
                                  "ellipse 190 106 210 126", kDimPen, label, "colour 0x00FF00", "text 195 106 \"3\"",
                                  kBrightPen, "moveto 200 257", "lineto 210 277", "lineto 190 277", "lineto 200 257",
                                  kDimPen, "pen style=2 width=1 colour=0x005500"}))
      << Dump(lines);
}

TEST_F(MapLayerTest, AcceptRadiusThatIsNoNumberDrawsAPoint) {
  mfd->route.waypoints = {WaypointAt(Offset(252.5), std::nan(""))};
  const auto lines = Redraw();
  EXPECT_TRUE(ContainsRun(lines, {kBrightPen, "rect 200 216 200 216", "ellipse 200 216 200 216"})) << Dump(lines);
}

// Bases, pads, beacons and runway ends without a position are left out;
// the pad of the lost base that has one is still drawn.
TEST_F(MapLayerTest, SymbolsWithoutAPositionAreLeftOut) {
  const double none = std::nan("");
  simhost::host().AddBase(*body, "Lost", {none, 0.0}, {Offset(-502.5), {0.0, none}});
  simhost::Transmitter& vor = simhost::host().AddTransmitter(*body, TRANSMITTER_VOR, "ABC", {none, none});
  vessel->receivers = {&vor};
  const simhost::LatLon a = Offset(252.5, -502.5);
  mfd->route.runways = {{none, a.longitudeRad, 0.0, 0.0, 0.0, 0.0}, {a.latitudeRad, a.longitudeRad, 0.0, none, 0.0, 0.0}};
  const auto lines = Redraw();
  EXPECT_EQ(TextsOf(lines).back(), (DrawnText{198, 363, "1", "0x00FF00"}));
  EXPECT_EQ(TextsOf(lines).size(), 2u) << Dump(lines);
  std::vector<std::string> shapes;
  for (const std::string& line : lines)
    if (line.rfind("ellipse", 0) == 0 || line.rfind("rect", 0) == 0 || line.rfind("line ", 0) == 0)
      shapes.push_back(line);
  EXPECT_EQ(shapes, (std::vector<std::string>{"line 200 0 200 400", "line 0 267 400 267",
                                              BodyOutlineEllipse(),
                                              "ellipse 194 361 206 373", "ellipse 196 363 204 371"}));
}

// Without a focus vessel, or on a body without a size, nothing has a
// place on the map: the display keeps its title, its own mark, its
// crosshair and, with a vessel, the current waypoint's block.
struct NothingPlacedCase {
  const char* name;
  bool deleteVessel;
  double bodyRadiusMetres;
  std::vector<std::string> texts;
};

class NothingPlacedTest : public PageTest, public ::testing::WithParamInterface<NothingPlacedCase> {};

TEST_P(NothingPlacedTest, OnlyTheTitleTheMarkAndTheCrosshairAreDrawn) {
  BuildWorld(GetParam().bodyRadiusMetres, {0.0, 0.0}, 0.0);
  simhost::host().AddBase(*body, "Base", {0.0, 0.0}, {{0.0, 0.0}});
  mfd->route.waypoints = {WaypointAt({0.001, 0.0}), WaypointAt({0.002, 0.0})};
  mfd->route.runways = {{0.001, 0.0, 0.002, 0.0, 0.0, 0.0}};
  if (GetParam().deleteVessel) simhost::host().DeleteVessel(*vessel);
  const auto lines = Redraw();
  std::vector<std::string> texts;
  for (const DrawnText& t : TextsOf(lines)) texts.push_back(t.text);
  EXPECT_EQ(texts, GetParam().texts) << Dump(lines);
  std::vector<std::string> shapes;
  for (const std::string& line : lines)
    if (line.rfind("ellipse", 0) == 0 || line.rfind("rect", 0) == 0 || line.rfind("line", 0) == 0)
      shapes.push_back(line);
  EXPECT_EQ(shapes, (std::vector<std::string>{"lineto 210 277", "lineto 190 277", "lineto 200 257",
                                              "line 200 0 200 400", "line 0 267 400 267"}));
}

INSTANTIATE_TEST_SUITE_P(Worlds, NothingPlacedTest,
                         ::testing::Values(NothingPlacedCase{"NoFocusVessel", true, kEarthRadiusMetres,
                                                             {"Tarvik MFD               2.00"}},
                                           NothingPlacedCase{"BodyWithoutASize", false, std::nan(""),
                                                             {"Tarvik MFD               2.00", "WP: 1", "DIST: nan km",
                                                              "ALT: 0 m", "SPD: 0 m/s", "TASK: TURN", ""}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Without a graphics client the host gives no pens or fonts: the pages
// draw with none and give nothing back that they were not given.
TEST_F(MapLayerTest, HostWithoutGraphicsClientGivesNoPensOrFonts) {
  simhost::host().graphicsClient = false;
  mfd->route.waypoints = {WaypointAt(Offset(252.5))};
  simhost::host().traceCalls = true;
  for (const DisplayPage page : {Graphical, List, FileSelect}) {
    mfd->State().page = page;
    const auto lines = Redraw();
    EXPECT_EQ(TextsOf(lines).front().text, "Tarvik MFD               2.00") << Dump(lines);
  }
  EXPECT_EQ(std::count(simhost::host().calls.begin(), simhost::host().calls.end(), "oapiReleasePen"), 0);
  EXPECT_EQ(std::count(simhost::host().calls.begin(), simhost::host().calls.end(), "oapiReleaseFont"), 0);
  EXPECT_GT(std::count(simhost::host().calls.begin(), simhost::host().calls.end(), "oapiCreateFont"), 0);
}

TEST_F(MapLayerTest, RunwaysAreBrightLinesDrawnLast) {
  const simhost::LatLon a = Offset(252.5, -502.5);
  const simhost::LatLon b = Offset(252.5, 502.5);
  mfd->route.runways.push_back({a.latitudeRad, a.longitudeRad, b.latitudeRad, b.longitudeRad, 0.0, 0.0});
  const auto lines = Redraw();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], kBrightPen);
  EXPECT_EQ(lines.back(), "line 99 216 300 216");
}

struct SchemeCase {
  std::int32_t scheme;
  std::string dim;
  std::string bright;
};

class ColourSchemeTest : public MapLayerTest, public ::testing::WithParamInterface<SchemeCase> {};

TEST_P(ColourSchemeTest, PensAndTextsUseTheSchemesShades) {
  mfd->route.colorScheme = GetParam().scheme;
  mfd->route.waypoints = {WaypointAt(Offset(252.5))};
  const auto lines = Redraw();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "colour " + GetParam().bright) << "title";
  EXPECT_TRUE(ContainsRun(lines, {"pen style=1 width=1 colour=" + GetParam().dim,
                                  "pen style=1 width=1 colour=" + GetParam().bright}));
  EXPECT_TRUE(ContainsRun(lines, {"pen style=2 width=1 colour=" + GetParam().dim}));
}

INSTANTIATE_TEST_SUITE_P(Schemes, ColourSchemeTest,
                         ::testing::Values(SchemeCase{0, "0x005500", "0x00FF00"}, SchemeCase{1, "0x005555", "0x00FFFF"},
                                           SchemeCase{2, "0x550000", "0xFF0000"}, SchemeCase{3, "0x000055", "0x0000FF"},
                                           SchemeCase{4, "0x555555", "0xFFFFFF"},
                                           // a record from elsewhere: the first scheme
                                           SchemeCase{-1, "0x005500", "0x00FF00"}, SchemeCase{5, "0x005500", "0x00FF00"}));

}  // namespace
}  // namespace pages_test

namespace pages_test {
namespace {

// Every row of the bearing table, from a vessel on the equator heading
// north, where the table's x is sin(latitude) and its y sin(dLon)cos(lat):
// the four quadrants, both axes with their constants, the vessel's own
// position, and the wrap of a bearing below -pi.
struct BearingCase {
  const char* name;
  double latitudeRad;
  double longitudeRad;
  double headingRad;
  double bearingRad;
};

double CourseOf(double latitudeRad, double longitudeRad) {
  const double course = std::atan2(std::sin(longitudeRad) * std::cos(latitudeRad), std::sin(latitudeRad));
  return course < 0.0 ? course + 2.0 * std::numbers::pi : course;
}

class BearingTable : public PageTest, public ::testing::WithParamInterface<BearingCase> {};

TEST_P(BearingTable, GivesTheCourseLessTheHeading) {
  BuildWorld(kEarthRadiusMetres, {0.0, 0.0}, GetParam().headingRad);
  EXPECT_NEAR(mfd->RelativeBearing(GetParam().latitudeRad, GetParam().longitudeRad), GetParam().bearingRad, 1e-12);
}

constexpr double kPi = std::numbers::pi;

INSTANTIATE_TEST_SUITE_P(
    Rows, BearingTable,
    ::testing::Values(BearingCase{"NorthEast", 0.3, 0.3, 0.0, CourseOf(0.3, 0.3)},
                      BearingCase{"SouthEast", -0.3, 0.3, 0.0, CourseOf(-0.3, 0.3)},
                      BearingCase{"SouthWest", -0.3, -0.3, 0.0, CourseOf(-0.3, -0.3)},
                      BearingCase{"NorthWest", 0.3, -0.3, 0.0, CourseOf(0.3, -0.3)},
                      BearingCase{"DueEast", 0.0, 0.5, 0.0, kPi / 2},
                      BearingCase{"DueWestTheTablesConstant", 0.0, -0.5, 0.0, 4.71238898038469},
                      BearingCase{"DueNorth", 0.5, 0.0, 0.0, 0.0},
                      BearingCase{"DueSouth", -0.5, 0.0, 0.0, kPi},
                      // No course to the vessel's own position: -1, brought up by a turn.
                      BearingCase{"OwnPosition", 0.0, 0.0, 0.0, 2 * kPi - 1.0},
                      BearingCase{"BelowMinusPiWrapsOnce", 0.5, 0.0, 3.5, 2 * kPi - 3.5},
                      BearingCase{"AboveMinusPiStays", 0.5, 0.0, 3.0, -3.0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pages_test
