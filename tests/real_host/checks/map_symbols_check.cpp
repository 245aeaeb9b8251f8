// Where the real host's map shows each symbol: the base's square, the pad
// circles, a VOR's cross and the waypoint circles lie at the pixels that the
// module's own projection gives for the positions the host reported (the
// driver's base-positions.txt and map-symbols.txt). The projection runs in
// the simulated host, set up as the real one stood at each shot.
//
// The real display is square and scaled onto its area of the window; the
// module's map scales with the display's height, so a display the size of
// that area gives window pixels within one pixel of the real ones.
//
// Usage: map_symbol_checks [gtest options] [OUT_FOLDER], or the folder in
// $TARVIK_REAL_HOST_OUT.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "checks/out_folder.h"
#include "checks/screenshot.h"
#include "mfd/tarvik_mfd.h"
#include "nav/route_registry.h"
#include "route/route_file_reader.h"
#include "simhost/sim_host.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The left display's drawing area in the host's 1024x768 window.
constexpr ScreenBox kLeftDisplay{48, 366, 412, 731};
constexpr int kDisplayPx = kLeftDisplay.y1 - kLeftDisplay.y0;
// Any stroke of the map, dim ones included, reaches this; the map's
// background stays at 0.
constexpr int kStrokeGreenness = 25;

struct Place {
  double longitudeDeg = 0.0;
  double latitudeDeg = 0.0;
};

// How the host stood when the driver asked for a shot.
struct ShotState {
  Place vessel;
  double headingDeg = 0.0;
  double bodyRadiusMetres = 0.0;
  std::map<std::string, Place> vors;
};

std::map<std::string, ShotState> ReadShotStates() {
  std::map<std::string, ShotState> states;
  std::ifstream in(RealHostOutFolder() + "/driver/map-symbols.txt");
  ShotState* current = nullptr;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string kind, name, vesselWord;
    words >> kind;
    if (kind == "shot") {
      words >> name >> vesselWord;
      current = &states[name];
      words >> current->vessel.longitudeDeg >> current->vessel.latitudeDeg >> current->headingDeg;
    } else if (kind == "radius" && current != nullptr) {
      words >> current->bodyRadiusMetres;
    } else if (kind == "vor" && current != nullptr) {
      std::string id;
      Place p;
      words >> id >> p.longitudeDeg >> p.latitudeDeg;
      current->vors[id] = p;
    }
  }
  return states;
}

// "base LNG LAT" and "pad N LNG LAT" of base-positions.txt.
std::map<std::string, Place> ReadBasePositions() {
  std::map<std::string, Place> places;
  std::ifstream in(RealHostOutFolder() + "/driver/base-positions.txt");
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string kind, number;
    words >> kind;
    if (kind == "pad") words >> number;
    Place p;
    if ((kind == "base" || kind == "pad") && words >> p.longitudeDeg >> p.latitudeDeg)
      places[kind == "pad" ? "pad " + number : kind] = p;
  }
  return places;
}

// The module's map on a display the size of the window's display area,
// with the focus vessel where the host had it.
class MapOfShot {
 public:
  MapOfShot(const ShotState& state, double rangeMetres) {
    simhost::host().Reset();
    ClearRoutes();
    simhost::Body& body = simhost::host().AddBody("Earth", state.bodyRadiusMetres);
    simhost::VesselSpec focus;
    focus.name = "PB-01";
    focus.body = &body;
    focus.position = {state.vessel.latitudeDeg * kDegree, state.vessel.longitudeDeg * kDegree};
    focus.headingRad = state.headingDeg * kDegree;
    simhost::Vessel& vessel = simhost::host().AddVessel(focus);
    display_ = std::make_unique<TarvikMFD>(kDisplayPx, kDisplayPx, vessel.iface.get(), 0);
    display_->State().scale = kDisplayPx / rangeMetres;
  }
  ~MapOfShot() { ClearRoutes(); }

  MapPoint Project(double latitudeRad, double longitudeRad, double sizeMetres) {
    const MapPoint p = display_->ProjectToMap(latitudeRad, longitudeRad, sizeMetres);
    return {kLeftDisplay.x0 + p.x, kLeftDisplay.y0 + p.y, p.size};
  }
  MapPoint Project(const Place& place, double sizeMetres = 0.0) {
    return Project(place.latitudeDeg * kDegree, place.longitudeDeg * kDegree, sizeMetres);
  }

 private:
  std::unique_ptr<TarvikMFD> display_;
};

// The greenest pixel within `half` pixels of (x, y).
int GreenestNear(const Screenshot& shot, int x, int y, int half) {
  int best = 0;
  for (int row = std::max(0, y - half); row <= std::min(shot.height - 1, y + half); ++row)
    for (int column = std::max(0, x - half); column <= std::min(shot.width - 1, x + half); ++column)
      best = std::max(best, Greenness(shot.pixels[static_cast<std::size_t>(row * shot.width + column)]));
  return best;
}

bool Inside(const MapPoint& p, int margin) {
  return p.x - margin >= kLeftDisplay.x0 && p.x + margin < kLeftDisplay.x1 && p.y - margin >= kLeftDisplay.y0 &&
         p.y + margin < kLeftDisplay.y1;
}

class MapSymbols : public ::testing::Test {
 protected:
  void SetUp() override {
    states_ = ReadShotStates();
    places_ = ReadBasePositions();
  }
  Screenshot Shot(const std::string& name) {
    std::string error;
    Screenshot shot = LoadScreenshot(RealHostOutFolder() + "/shots/" + name + ".png", error);
    EXPECT_TRUE(error.empty()) << error;
    return shot;
  }
  const ShotState& State(const std::string& name) {
    const auto found = states_.find(name);
    if (found == states_.end()) ADD_FAILURE() << "no host state reported for " << name;
    return states_[name];
  }

  std::map<std::string, ShotState> states_;
  std::map<std::string, Place> places_;
};

// The base's square at 32 km: a hollow square 5 display pixels (7 window
// pixels) each way, green on each side and dark inside, as the vessel is
// not landed at the base. Its label to the right is text: no side of it
// is green on all four sides with a dark middle.
TEST_F(MapSymbols, BaseSquareWhereTheHostPutsTheBase) {
  ASSERT_EQ(places_.count("base"), 1u);
  constexpr int kHalfSidePx = 7;
  for (const char* name : {"01-map-empty", "01a-map-vor"}) {
    const Screenshot shot = Shot(name);
    MapOfShot map(State(name), 32000.0);
    const MapPoint p = map.Project(places_["base"]);
    ASSERT_TRUE(Inside(p, 10)) << name << ": the base is off the display at " << p.x << "," << p.y;
    const int sides[4][2] = {{-kHalfSidePx, 0}, {kHalfSidePx, 0}, {0, -kHalfSidePx}, {0, kHalfSidePx}};
    for (const auto& side : sides)
      EXPECT_GE(GreenestNear(shot, p.x + side[0], p.y + side[1], 3), kStrokeGreenness)
          << name << ": side " << side[0] << "," << side[1] << " of the base at " << p.x << "," << p.y;
    EXPECT_LT(GreenestNear(shot, p.x, p.y, 2), kStrokeGreenness) << name << ": inside the base at " << p.x << "," << p.y;
  }
}

// Each pad's circles and number at 2 km.
TEST_F(MapSymbols, PadCirclesWhereTheHostPutsThePads) {
  const Screenshot shot = Shot("01b-map-pads");
  MapOfShot map(State("01b-map-pads"), 2000.0);
  int seen = 0;
  for (const auto& [name, place] : places_) {
    if (name.rfind("pad ", 0) != 0) continue;
    const MapPoint p = map.Project(place, 30.0);
    if (!Inside(p, 8)) continue;
    ++seen;
    EXPECT_GE(GreenestNear(shot, p.x, p.y, 3), kStrokeGreenness) << name << " at " << p.x << "," << p.y;
  }
  EXPECT_GE(seen, 3) << "too few pads on the display to judge";
}

// The tuned VOR's cross at 32 km.
TEST_F(MapSymbols, VorCrossWhereTheHostPutsTheVor) {
  const ShotState& state = State("01a-map-vor");
  ASSERT_EQ(state.vors.count("KSCX"), 1u) << "the NAV receiver does not receive VOR KSCX";
  MapOfShot map(state, 32000.0);
  const MapPoint p = map.Project(state.vors.at("KSCX"));
  ASSERT_TRUE(Inside(p, 6)) << "the VOR is off the display at " << p.x << "," << p.y;
  EXPECT_GE(GreenestNear(Shot("01a-map-vor"), p.x, p.y, 3), kStrokeGreenness) << p.x << "," << p.y;
}

// Each waypoint circle wholly on the display, at its left, right, top and
// bottom; the label sits at the centre, the circle does not.
TEST_F(MapSymbols, WaypointCirclesWhereTheRoutePutsThem) {
  RouteFileReader reader;
  const WaypointList waypoints = reader.ParseRouteFile(RealHostOutFolder() + "/routes/CapeCanaveral.route");
  ASSERT_FALSE(waypoints.empty()) << reader.errorText;
  const Screenshot shot = Shot("04-map-route");
  MapOfShot map(State("04-map-route"), 32000.0);
  int seen = 0;
  for (std::size_t i = 0; i < waypoints.size(); ++i) {
    const Waypoint& w = waypoints[i];
    const MapPoint p = map.Project(w.latitude, w.longitude, w.acceptRadius);
    if (p.size < 8 || !Inside(p, p.size + 4)) continue;
    ++seen;
    const int offsets[4][2] = {{-p.size, 0}, {p.size, 0}, {0, -p.size}, {0, p.size}};
    for (const auto& offset : offsets)
      EXPECT_GE(GreenestNear(shot, p.x + offset[0], p.y + offset[1], 2), kStrokeGreenness)
          << "waypoint " << i + 1 << " at " << p.x << "," << p.y << " radius " << p.size;
  }
  EXPECT_GE(seen, 3) << "too few waypoint circles on the display to judge";
}

}  // namespace
