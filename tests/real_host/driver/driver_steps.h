// The real-host test driver's means: a list of steps run one after the
// other from the host's time steps, the focus vessel put where a step
// says (held in flight, or landed), screenshots asked of the test script,
// and the driver's findings and the host's records written to DIR.
#pragma once

#include <Orbitersdk.h>

#include <cstddef>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace test_driver {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kFlightAltitudeMetres = 300.0;   // well above the take-off height
constexpr double kInsideCircleFraction = 0.5;      // where in a 1500 m circle the vessel is put
constexpr double kSettleSeconds = 3.0;             // sequencing, then a display refresh
constexpr double kShotTimeoutSeconds = 60.0;
constexpr int kDisplay = MFD_LEFT;

struct Place {
  double longitudeDeg;
  double latitudeDeg;
};

// A place a given distance north of another on a sphere of radius r.
Place North(Place p, double metres, double radiusMetres);

class DriverSteps : public oapi::Module {
 public:
  explicit DriverSteps(MODULEHANDLE handle);

  void clbkPostStep(double simt, double, double) override;

 protected:
  void Do(std::function<void()> action);
  void Wait(double seconds);
  void Key(int key);
  void Shot(const std::string& name);
  void Fly(Place p);
  void Land(Place p, double headingDeg);
  void Report(const std::string& what);

  // The host's own places of Cape Canaveral, its pads and its runway ends
  // in degrees, to DIR/base-positions.txt: "base LNG LAT", "pad N LNG LAT",
  // "runway N end E LNG LAT", counted from 1. The check of tarvik-route
  // from-base holds its skeleton against them.
  void WriteBasePositions();
  // What the map of the next shot is drawn from, as the host reports it,
  // appended to DIR/map-symbols.txt: "shot NAME vessel LNG LAT HEADING"
  // (the focus vessel, degrees), "radius METRES" (its body), "vor ID LNG
  // LAT" for each tuned VOR.
  void WriteMapSymbols(const std::string& shot);

  std::string dir_;
  OBJHANDLE earth_ = nullptr;

 private:
  using Step = std::function<bool(double elapsedSeconds)>;

  // In flight the vessel is put back every step, moving with the ground.
  // Where it then is feeds back into where it is put: the host's frames
  // need not agree to the metre with this driver's arithmetic.
  void HoldFlying();

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool started_ = false;
  double stepStart_ = 0.0;
  bool flying_ = false;
  Place target_{};
  Place command_{};
  double commandAltitudeMetres_ = 0.0;
  bool placed_ = false;
};

}  // namespace test_driver
