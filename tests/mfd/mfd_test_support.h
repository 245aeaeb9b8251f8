// A blank host with one focus vessel and an empty registry for every test,
// a working directory of the test's own, and a surface that keeps the texts
// drawn on it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <utility>
#include <fstream>
#include <string>
#include <vector>

#include "mfd/tarvik_mfd.h"
#include "simhost/sim_host.h"

namespace mfdtest {

// Switches into a fresh temporary folder; goes back and removes it after.
class TempWorkingDirectory {
 public:
  TempWorkingDirectory() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-mfd-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    std::filesystem::current_path(path_);
  }
  ~TempWorkingDirectory() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(path_);
  }
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;

  // The route folder below it, created on first use.
  std::filesystem::path RouteFolder() const {
    const auto folder = path_ / "Config" / "TKMFD" / "routes";
    std::filesystem::create_directories(folder);
    return folder;
  }
  void WriteRoute(const std::string& name, const std::string& text) const {
    std::ofstream(RouteFolder() / name) << text;
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Three points, one runway, and waypoints on them: takeoff, turn, land.
inline const char* const kThreeWaypointRoute =
    "BEGIN_POINTS\n-80.60 28.60\n-80.70 28.50\n-80.50 28.40\nEND_POINTS\n"
    "BEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\n"
    "BEGIN_WAYPOINTS\nRUNWAY 0 TAKEOFF 500 0 0\nPOINT 2 TURN 2000 3000 250\nRUNWAY 0 LAND 500 0 0\n"
    "END_WAYPOINTS\n";
inline const char* const kOneWaypointRoute =
    "BEGIN_POINTS\n-80.60 28.60\n-80.70 28.50\nEND_POINTS\n"
    "BEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\n"
    "BEGIN_WAYPOINTS\nPOINT 1 TURN 1000 500 100\nEND_WAYPOINTS\n";

struct DrawnText {
  int x;
  int y;
  std::string text;
  DWORD colour;
};

// Keeps every text with its colour; shapes are not looked at here.
class TextSketchpad : public oapi::Sketchpad {
 public:
  oapi::Font* SetFont(oapi::Font* font) override { return std::exchange(font_, font); }
  oapi::Pen* SetPen(oapi::Pen* pen) override { return std::exchange(pen_, pen); }
  DWORD SetTextColor(DWORD colour) override { return std::exchange(colour_, colour); }
  bool Text(int x, int y, const char* str, int len) override {
    texts.push_back({x, y, std::string(str, static_cast<std::size_t>(len)), colour_});
    return true;
  }
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Line(int, int, int, int) override {}
  void Rectangle(int, int, int, int) override {}
  void Ellipse(int, int, int, int) override {}

  std::vector<DrawnText> texts;

 private:
  oapi::Font* font_ = nullptr;
  oapi::Pen* pen_ = nullptr;
  DWORD colour_ = 0;
};

class MfdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::host().Reset();
    ClearRoutes();
    simhost::Body& earth = simhost::host().AddBody("Earth", 6371000.0);
    simhost::VesselSpec vesselSpec;
    vesselSpec.name = "GL-01";
    vesselSpec.body = &earth;
    vesselSpec.position = {0.4991641, -1.4067697};
    vessel = &simhost::host().AddVessel(vesselSpec);
  }
  void TearDown() override { ClearRoutes(); }

  // The focus vessel's record as the registry holds it.
  const VesselRoute& Record() const {
    for (const VesselRoute& r : vesselRoutes)
      if (r.vesselHandle == simhost::host().Focus()->iface->GetHandle()) return r;
    throw std::logic_error("no record for the focus vessel");
  }

  simhost::Vessel* vessel = nullptr;
};

}  // namespace mfdtest
