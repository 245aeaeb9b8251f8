// A plug-in of the real-host test, never shipped: it opens TarvikMFD on the
// left display, loads a route through the file browser with the host's key
// calls, and moves the focus vessel into each acceptance circle in turn with
// the host's state calls. It asks the test script for a screenshot by
// writing the shot's name to DIR/shot-request and waits until the script
// removes the file. DIR is $TARVIK_DRIVER_DIR. Its findings go to the host's
// log and to DIR/driver-report.txt, one "TarvikTestDriver: ..." line each.
// With TARVIK_DRIVER_PLAN=cost it shows the cases of the cost run in turn
// instead and marks when each was shown; the host times the redraws.
#include <Orbitersdk.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "driver/driver_steps.h"

namespace {

using test_driver::kDisplay;
using test_driver::kInsideCircleFraction;
using test_driver::kSettleSeconds;
using test_driver::North;
using test_driver::Place;

// The points of CapeCanaveral.route, from the base's own configuration.
constexpr Place kRunway33Start{-80.681146, 28.594722};
constexpr Place kRunwayMidpoint{-80.6942295, 28.614732};
constexpr Place kDepartureTurn{-80.74, 28.67};
constexpr Place kPad1{-80.675898, 28.522762};
constexpr Place kVor{-80.53835, 28.43352};
constexpr Place kSkidStripWest{-80.578751, 28.476030};
constexpr Place kFinalApproachFix{-80.6393, 28.5307};
constexpr double kRunway33HeadingDeg = 331.0;
// West of pad 1, as far as the lookout is north of it.
constexpr Place kPadsLookout{-80.682, 28.522762};
constexpr double kPadsLookoutNorthMetres = 600.0;
// VOR KSCX, 112.70 MHz: receivers count channels of 0.05 MHz from 108 MHz.
constexpr int kVorChannel = 94;

class Driver : public test_driver::DriverSteps {
 public:
  explicit Driver(MODULEHANDLE handle) : DriverSteps(handle) {}

  void clbkSimulationStart(RenderMode) override {
    earth_ = oapiGetGbodyByName("Earth");
    if (dir_.empty() || earth_ == nullptr) {
      Report("not started: TARVIK_DRIVER_DIR unset or no Earth");
      return;
    }
    const char* plan = std::getenv("TARVIK_DRIVER_PLAN");
    if (plan != nullptr && std::string(plan) == "cost")
      PlanCost();
    else
      Plan();
  }

  // Called when the host unloads the plug-ins, last first: TarvikMFD, listed
  // after this driver, has gone and must have taken its mode with it.
  void ReportModeAtExit() {
    MFDMODESPECEX* modeRecord = nullptr;
    const bool registered =
        oapiGetMFDModeSpecEx(const_cast<char*>("TarvikMFD"), &modeRecord) >= 0 && modeRecord != nullptr;
    Report(std::string("TarvikMFD mode at exit: ") + (registered ? "registered" : "gone"));
  }

 private:
  // The flight. Shot names carry their order; the checks know what each
  // must show.
  void Plan() {
    const double radius = oapiGetSize(earth_);
    const double inside = kInsideCircleFraction * 1500.0;
    Do([this] { WriteBasePositions(); });
    Wait(2);
    Land(kRunway33Start, kRunway33HeadingDeg);
    Do([this] {
      const int mode = oapiGetMFDModeSpecEx(const_cast<char*>("TarvikMFD"));
      if (mode < 0) Report("TarvikMFD mode not registered");
      oapiOpenMFD(mode, kDisplay);
    });
    Wait(2);
    for (int i = 0; i < 4; ++i) Key(OAPI_KEY_SUBTRACT);  // 2 km to 32 km
    Wait(kSettleSeconds);
    WriteMapSymbols("01-map-empty");
    Shot("01-map-empty");
    // South up, west of the pads: the VOR and the base at 32 km, then the
    // pads at 2 km, off the map's centre lines; then back for the route.
    Land(North(kPadsLookout, kPadsLookoutNorthMetres, radius), 180.0);
    Do([] {
      if (VESSEL* v = oapiGetFocusInterface()) v->SetNavChannel(0, kVorChannel);
    });
    Wait(kSettleSeconds);
    WriteMapSymbols("01a-map-vor");
    Shot("01a-map-vor");
    for (int i = 0; i < 4; ++i) Key(OAPI_KEY_ADD);
    Wait(kSettleSeconds);
    WriteMapSymbols("01b-map-pads");
    Shot("01b-map-pads");
    for (int i = 0; i < 4; ++i) Key(OAPI_KEY_SUBTRACT);
    Land(kRunway33Start, kRunway33HeadingDeg);
    Key(OAPI_KEY_L);  // the file browser
    Wait(kSettleSeconds);
    Shot("02-browser");
    Key(OAPI_KEY_L);  // load the first file, CapeCanaveral.route
    Wait(kSettleSeconds);
    Shot("03-table");
    Key(OAPI_KEY_S);
    Wait(kSettleSeconds);
    WriteMapSymbols("04-map-route");
    Shot("04-map-route");
    Key(OAPI_KEY_S);
    Fly(kRunwayMidpoint);  // take-off: above 20 m anywhere
    Do([this] {
      const VESSEL* v = oapiGetFocusInterface();
      char line[96];
      std::snprintf(line, sizeof line, "in flight: altitude %.0f m, ground speed %.1f m/s", v->GetAltitude(),
                    v->GetGroundspeed());
      Report(line);
    });
    Shot("05-table");
    Fly(North(kDepartureTurn, inside, radius));
    Shot("06-table");
    int shot = 7;
    for (int lap = 0; lap < 3; ++lap) {
      Fly(North(kPad1, inside, radius));
      Shot(Name(shot++));
      Fly(North(kVor, -inside, radius));
      Shot(Name(shot++));
      if (lap == 2) break;  // two laps flown: leave at the loop fix
      Fly(North(kSkidStripWest, inside, radius));
      Shot(Name(shot++));
    }
    Key(OAPI_KEY_N);
    Wait(kSettleSeconds);
    Shot(Name(shot++));
    Fly(North(kFinalApproachFix, inside, radius));
    Shot(Name(shot++));
    Land(North(kRunwayMidpoint, -500.0, radius), kRunway33HeadingDeg);
    Shot(Name(shot++));
    Wait(5);
    Shot(Name(shot++));
    // A route file with an error: the second file of the browser.
    Key(OAPI_KEY_L);
    Wait(1);
    Key(OAPI_KEY_N);
    Key(OAPI_KEY_L);
    Wait(kSettleSeconds);
    Do([this] { Report(std::string("debug line: ") + oapiDebugString()); });
    Shot(Name(shot++) + "-error");
    Do([this] {
      Report("done");
      std::ofstream(dir_ + "/done") << "done\n";
    });
  }

  // The host's redraw times (REALHOST_REDRAW_TIMES) stamp each redraw with
  // this clock; a phase's marks in it say which redraws belong to the phase.
  static long long NowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  // One case of the cost run: a settling time for the redraw the change
  // asked for, in the first round a screenshot (never inside a phase: the
  // screenshot costs time of its own), then the phase's marks.
  void Phase(const std::string& kind, int round, double seconds) {
    Wait(kSettleSeconds);
    if (round == 0 && kind != "surface") Shot("cost-" + kind);
    Do([this] { phaseStartMicroseconds_ = NowMicroseconds(); });
    Wait(seconds);
    Do([this, kind, round] {
      Report("phase " + kind + " round " + std::to_string(round) + " from " + std::to_string(phaseStartMicroseconds_) +
             " to " + std::to_string(NowMicroseconds()));
    });
  }

  // The cases in turn, round after round, so that the host's drift hits all
  // alike. The route files are Cost1000.route and Cost20.route, listed in
  // that order; the browser selects the first file whenever it opens.
  void PlanCost() {
    const auto setting = [](const char* name, double fallback) {
      const char* text = std::getenv(name);
      return text != nullptr ? std::atof(text) : fallback;
    };
    const int rounds = static_cast<int>(setting("TARVIK_COST_ROUNDS", 5));
    const double seconds = setting("TARVIK_COST_SECONDS", 5);
    // Redrawn as often as the host allows (ten times a second): more redraws
    // to time, each one costing what it costs.
    const auto open = [this](int mode) {
      Do([mode] {
        oapiOpenMFD(mode >= 0 ? mode : oapiGetMFDModeSpecEx(const_cast<char*>("TarvikMFD")), kDisplay);
        oapiSetMFDRefreshIntervalMultiplier(kDisplay, 1e-3);
      });
    };
    const auto zoom = [this](int key) {
      for (int i = 0; i < 4; ++i) Key(key);  // 2 km to 32 km and back
    };
    const auto load = [this](bool second) {
      Key(OAPI_KEY_L);
      Wait(1);
      if (second) Key(OAPI_KEY_N);
      Key(OAPI_KEY_L);
    };
    constexpr int kTarvik = -1;
    Wait(2);
    Land(kRunway33Start, kRunway33HeadingDeg);
    for (int round = 0; round < rounds; ++round) {
      open(MFD_SURFACE);
      Phase("surface", round, seconds);
      open(kTarvik);  // a new display: the map at 2 km
      Key(OAPI_KEY_D);
      zoom(OAPI_KEY_SUBTRACT);
      Phase("no-route-map-32km", round, seconds);
      load(true);
      Key(OAPI_KEY_S);
      Phase("wp20-map-32km", round, seconds);
      load(false);
      Phase("wp1000-table", round, seconds);
      Key(OAPI_KEY_S);
      Phase("wp1000-map-32km", round, seconds);
      zoom(OAPI_KEY_ADD);
      Phase("wp1000-map-2km", round, seconds);
    }
    Do([this] {
      Report("done");
      std::ofstream(dir_ + "/done") << "done\n";
    });
  }

  static std::string Name(int shot) {
    char name[32];
    std::snprintf(name, sizeof name, "%02d-table", shot);
    return name;
  }

  long long phaseStartMicroseconds_ = 0;
};

Driver* driver = nullptr;

}  // namespace

DLLCLBK void InitModule(MODULEHANDLE handle) {
  driver = new Driver(handle);
  oapiRegisterModule(driver);
}

DLLCLBK void opcDLLExit(MODULEHANDLE) {
  if (driver != nullptr) driver->ReportModeAtExit();
}

DLLCLBK void ExitModule(MODULEHANDLE) {
  delete driver;
  driver = nullptr;
}
