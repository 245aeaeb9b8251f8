// The standard world for drawing the pages: the focus vessel at the origin
// heading north, and a 400 x 400 display in the mode.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "mfd/tarvik_mfd.h"
#include "nav/route_registry.h"
#include "simhost/sim_host.h"
#include "surfaces/recording_surface.h"
#include "tests/support/standard_world.h"

namespace pages_test {

using test_support::kEarthRadiusMetres;
inline const std::string kFace = "face=\"DejaVu Sans\" style=0";

// A drawn text with the text colour in force when it was drawn.
struct DrawnText {
  int x;
  int y;
  std::string text;
  std::string colour;
  bool operator==(const DrawnText&) const = default;
};

inline std::vector<DrawnText> TextsOf(const std::vector<std::string>& lines) {
  std::vector<DrawnText> texts;
  std::string colour;
  for (const std::string& line : lines) {
    if (line.rfind("colour ", 0) == 0) colour = line.substr(7);
    int x = 0;
    int y = 0;
    int consumed = 0;
    if (std::sscanf(line.c_str(), "text %d %d %n", &x, &y, &consumed) == 2 && consumed > 0)
      texts.push_back({x, y, line.substr(static_cast<std::size_t>(consumed) + 1,
                                         line.size() - static_cast<std::size_t>(consumed) - 2), colour});
  }
  return texts;
}

// True when expected appears in lines as one unbroken run.
inline bool ContainsRun(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
  if (expected.size() > lines.size()) return false;
  for (std::size_t start = 0; start + expected.size() <= lines.size(); ++start)
    if (std::equal(expected.begin(), expected.end(), lines.begin() + static_cast<std::ptrdiff_t>(start))) return true;
  return false;
}

// Each drawing as it shows: shapes with the pen in force, texts with the
// font and text colour in force. Selecting what is already selected draws
// nothing, so it does not show here.
inline std::vector<std::string> Drawn(const std::vector<std::string>& lines) {
  std::vector<std::string> drawn;
  std::string pen;
  std::string font;
  std::string colour;
  for (const std::string& line : lines) {
    if (line.starts_with("pen ")) pen = line;
    else if (line.starts_with("font ")) font = line;
    else if (line.starts_with("colour ")) colour = line;
    else if (line.starts_with("text ")) drawn.push_back(line + " in " + font + " " + colour);
    else drawn.push_back(line + " with " + pen);
  }
  return drawn;
}

inline std::string Dump(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return all;
}

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildWorld(kEarthRadiusMetres, {0.0, 0.0}, 0.0); }
  void TearDown() override {
    mfd.reset();
    test_support::EndStandardWorld();
  }

  void BuildWorld(double bodyRadiusMetres, simhost::LatLon vesselPosition, double headingRad, int heightPx = 400,
                  int widthPx = 400) {
    mfd.reset();
    body = &test_support::StartStandardWorld(bodyRadiusMetres);
    vessel = &test_support::AddGlider(*body, vesselPosition, headingRad);
    mfd = std::make_unique<TarvikMFD>(widthPx, heightPx, vessel->iface.get(), 1);
  }

  // A point at a distance north (negative: south) and east of the vessel.
  simhost::LatLon Offset(double northMetres, double eastMetres = 0.0) const {
    const double radius = body->radiusMetres;
    return {vessel->position.latitudeRad + northMetres / radius, vessel->position.longitudeRad + eastMetres / radius};
  }

  Waypoint WaypointAt(simhost::LatLon where, double acceptRadiusMetres = 50.0) const {
    Waypoint w;
    w.latitude = where.latitudeRad;
    w.longitude = where.longitudeRad;
    w.acceptRadius = acceptRadiusMetres;
    return w;
  }

  void SetPageAndRange(DisplayPage page, std::uint32_t rangeMetres) {
    mfd->State().page = page;
    mfd->State().range = rangeMetres;
    mfd->State().scale = static_cast<double>(mfd->displayHeight) / rangeMetres;
  }

  // The body's outline as the map draws it: a circle of pi times the body's
  // radius at the map's scale, around the display's centre, corners truncated.
  std::string BodyOutlineEllipse() {
    const double radiusPx = mfd->State().scale * body->radiusMetres * std::numbers::pi;
    const auto corner = [](double px) { return std::to_string(static_cast<long long>(std::trunc(px))); };
    return "ellipse " + corner(mfd->centerX - radiusPx) + " " + corner(mfd->centerY - radiusPx) + " " +
           corner(mfd->centerX + radiusPx) + " " + corner(mfd->centerY + radiusPx);
  }

  // One whole redraw, as the host asks for it; no pen or font may outlive it.
  std::vector<std::string> Redraw() {
    mfd->PushRoute();
    simhost::RecordingSurface surface;
    mfd->UpdateSketchpad(&surface);
    EXPECT_EQ(simhost::host().LivePens(), 0) << "a pen outlived the redraw";
    EXPECT_EQ(simhost::host().LiveFonts(), 0) << "a font outlived the redraw";
    return surface.Lines();
  }

  simhost::Body* body = nullptr;
  simhost::Vessel* vessel = nullptr;
  std::unique_ptr<TarvikMFD> mfd;
};

}  // namespace pages_test
