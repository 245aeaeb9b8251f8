// What export writes is valid wherever the route lies and whatever its
// texts hold, and import of it gives the same places and texts.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "simhost/sim_host.h"
#include "tests/support/tool_run.h"
#include "route_tool/core/route_source.h"
#include "text/utf8.h"
#include "geodesy/angles.h"

namespace {

using namespace route_tool;

using tools_test::ReadBytes;
using tools_test::RunTool;
using tools_test::TempFolder;
using tools_test::WriteBytes;

using geodesy::kDegreesPerRadian;
constexpr double kTwoPi = 6.283185307179586;

std::string Route(const std::string& points, const std::string& runways, const std::string& waypoints) {
  return "BEGIN_POINTS\n" + points + "END_POINTS\nBEGIN_RUNWAYS\n" + runways + "END_RUNWAYS\nBEGIN_WAYPOINTS\n" +
         waypoints + "END_WAYPOINTS\n";
}

// XML 1.0 characters only: valid UTF-8, no control character but tab and
// line ends, no U+FFFE or U+FFFF, and no character reference (pugixml
// writes a control character as one).
bool OnlyXmlCharacters(std::string_view text) {
  if (text.find("&#") != std::string_view::npos) return false;
  while (!text.empty()) {
    const Utf8Sequence sequence = DecodeUtf8(text);
    const char32_t c = sequence.codePoint;
    if (sequence.length == 0 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xFFFE || c == 0xFFFF)
      return false;
    text.remove_prefix(sequence.length);
  }
  return true;
}

bool OnItsMeridianWithin180(double longitudeDeg, double moduleLongitudeRad) {
  return longitudeDeg >= -180.0 && longitudeDeg < 180.0 &&
         std::fabs(std::remainder(longitudeDeg / kDegreesPerRadian - moduleLongitudeRad, kTwoPi)) < 1e-12;
}

class GpxValues : public testing::Test {
 protected:
  void SetUp() override { simhost::host().Reset(); }

  // Exports the route as GPX, checks the document, imports it again and
  // checks that the module reads the same route from it.
  RouteSource RoundTrip(const std::string& routeText, std::string& gpxText) {
    WriteBytes(Path("route.route"), routeText);
    const RouteSource original = ReadRouteSource(Path("route.route"));
    EXPECT_FALSE(original.errorFlag) << original.errorText;
    const auto exported = RunTool("export --format gpx " + Path("route.route") + " -o " + Path("route.gpx"));
    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    gpxText = ReadBytes(Path("route.gpx"));
    const auto imported = RunTool("import " + Path("route.gpx") + " -o " + Path("back.route"));
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    const RouteSource back = ReadRouteSource(Path("back.route"));
    EXPECT_FALSE(back.errorFlag) << back.errorText;
    EXPECT_EQ(back.waypoints.size(), original.waypoints.size());
    for (std::size_t i = 0; i < original.waypoints.size() && i < back.waypoints.size(); ++i) {
      SCOPED_TRACE("waypoint " + std::to_string(i));
      EXPECT_EQ(back.references[i].onRunway, original.references[i].onRunway);
      EXPECT_EQ(back.waypoints[i].latitude, original.waypoints[i].latitude);
      EXPECT_NEAR(std::remainder(back.waypoints[i].longitude - original.waypoints[i].longitude, kTwoPi), 0.0, 1e-12);
      EXPECT_EQ(back.waypoints[i].description, original.waypoints[i].description);
    }
    return original;
  }

  std::string Path(const char* name) const { return folder_.File(name); }
  TempFolder folder_;
};

// East longitudes past 180, and a runway whose centre on the shorter way
// round lies past -180 (ends at -179.99 and 0.5: -269.745).
TEST_F(GpxValues, LongitudesAreWrittenOnTheirMeridianWithin180) {
  const std::string route = Route("-179.99 10\n0.5 10.5\n350 20\n", "0 1\n",
                                  "RUNWAY 0 TAKEOFF 0 0 0 \"up\"\nPOINT 2 TURN 100 0 0 \"east\"\n"
                                  "RUNWAY 0 LAND 500 0 0 \"down\"\n");
  std::string gpx;
  const RouteSource original = RoundTrip(route, gpx);
  ASSERT_EQ(original.waypoints.size(), 3u);

  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(gpx.c_str()));
  std::size_t i = 0;
  for (const pugi::xml_node rtept : document.child("gpx").child("rte").children("rtept")) {
    ASSERT_LT(i, original.waypoints.size());
    EXPECT_TRUE(OnItsMeridianWithin180(rtept.attribute("lon").as_double(), original.waypoints[i].longitude))
        << rtept.attribute("lon").value();
    ++i;
  }
  EXPECT_EQ(i, 3u);
  const pugi::xml_node ours = document.child("gpx").child("rte").child("extensions").child("tarvik:route");
  EXPECT_EQ(std::string(ours.find_child_by_attribute("tarvik:point", "lat", "20").attribute("lon").value()), "-10");

  const auto geojson = RunTool("export --format geojson " + Path("route.route"));
  ASSERT_EQ(geojson.exitCode, 0) << geojson.err;
  const nlohmann::json features = nlohmann::json::parse(geojson.out).at("features");
  for (std::size_t w = 0; w < original.waypoints.size(); ++w)
    EXPECT_TRUE(OnItsMeridianWithin180(features.at(w).at("geometry").at("coordinates").at(0).get<double>(),
                                       original.waypoints[w].longitude));
  for (const nlohmann::json& feature : features) {
    if (feature.at("geometry").at("type") != "LineString") continue;
    for (const nlohmann::json& position : feature.at("geometry").at("coordinates"))
      EXPECT_TRUE(position.at(0).get<double>() >= -180.0 && position.at(0).get<double>() < 180.0) << position;
  }
}

// A byte that is not UTF-8, a control byte, U+FFFF, a NUL and a '%' of
// the escaping itself.
TEST_F(GpxValues, AnyDescriptionIsValidXmlAndJsonAndComesBackExactly) {
  const std::string description("caf\xE9 \x01 100% \xEF\xBF\xBF \0 end", 21);
  const std::string route = Route("10 52\n", "-1 -1\n", "POINT 0 TURN 100 0 0 \"" + description + "\"\n");
  std::string gpx;
  const RouteSource original = RoundTrip(route, gpx);
  ASSERT_EQ(original.waypoints.size(), 1u);
  EXPECT_EQ(original.waypoints[0].description, description);
  EXPECT_TRUE(OnlyXmlCharacters(gpx)) << gpx;

  const auto geojson = RunTool("export --format geojson " + Path("route.route"));
  ASSERT_EQ(geojson.exitCode, 0) << geojson.err;
  EXPECT_TRUE(nlohmann::json::accept(geojson.out));
}

// "-0" reads as zero without starting with the digit 0, which the module
// refuses: the route file gets "0".
TEST_F(GpxValues, NegativeZerosImportAsZeros) {
  WriteBytes(Path("zeros.gpx"), "<?xml version=\"1.0\"?>\n<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" "
                                "version=\"1.1\"><wpt lat=\"-0\" lon=\"-0\"/></gpx>\n");
  const auto imported = RunTool("import " + Path("zeros.gpx") + " -o " + Path("zeros.route") + " --radius -0");
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  const RouteSource read = ReadRouteSource(Path("zeros.route"));
  EXPECT_EQ(read.errorText, "");
  ASSERT_EQ(read.waypoints.size(), 1u);
  EXPECT_EQ(read.waypoints[0].latitude, 0.0);
  EXPECT_EQ(read.waypoints[0].acceptRadius, 0.0);
}

}  // namespace
