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
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

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

// A place a given distance north of another on a sphere of radius r.
Place North(Place p, double metres, double radiusMetres) {
  return {p.longitudeDeg, p.latitudeDeg + metres / radiusMetres / kDegree};
}

class Driver : public oapi::Module {
 public:
  explicit Driver(MODULEHANDLE handle) : oapi::Module(handle) {
    const char* dir = std::getenv("TARVIK_DRIVER_DIR");
    if (dir != nullptr) dir_ = dir;
  }

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

  void clbkPostStep(double simt, double, double) override {
    if (flying_) HoldFlying();
    while (next_ < steps_.size()) {
      if (!started_) {
        stepStart_ = simt;
        started_ = true;
      }
      if (!steps_[next_](simt - stepStart_)) break;
      ++next_;
      started_ = false;
    }
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
  using Step = std::function<bool(double elapsedSeconds)>;

  void Do(std::function<void()> action) {
    steps_.push_back([action](double) {
      action();
      return true;
    });
  }
  void Wait(double seconds) {
    steps_.push_back([seconds](double elapsed) { return elapsed >= seconds; });
  }
  void Key(int key) {
    Do([key] { oapiSendMFDKey(kDisplay, key); });
  }
  void Shot(const std::string& name) {
    steps_.push_back([this, name, asked = false](double elapsed) mutable {
      const std::filesystem::path request = dir_ + "/shot-request";
      if (!asked) {
        // Written whole before the script can see it.
        const std::filesystem::path written = dir_ + "/shot-request.new";
        std::ofstream(written) << name << '\n';
        std::filesystem::rename(written, request);
        asked = true;
        return false;
      }
      if (!std::filesystem::exists(request)) return true;
      if (elapsed < kShotTimeoutSeconds) return false;
      Report("screenshot not taken: " + name);
      std::filesystem::remove(request);
      return true;
    });
  }
  void Fly(Place p) {
    Do([this, p] {
      target_ = command_ = p;
      commandAltitudeMetres_ = kFlightAltitudeMetres;
      placed_ = false;
      flying_ = true;
      HoldFlying();
    });
    Wait(kSettleSeconds);
    Do([this, p] {
      double lng = 0, lat = 0, rad = 0;
      const VESSEL* v = oapiGetFocusInterface();
      v->GetEquPos(lng, lat, rad);
      char line[160];
      std::snprintf(line, sizeof line, "target %.6f %.6f vessel %.6f %.6f alt %.1f speed %.1f", p.longitudeDeg,
                    p.latitudeDeg, lng / kDegree, lat / kDegree, v->GetAltitude(), v->GetGroundspeed());
      Report(line);
    });
  }
  void Land(Place p, double headingDeg) {
    Do([this, p, headingDeg] {
      flying_ = false;
      VESSELSTATUS2 vs{};
      vs.version = 2;
      vs.rbody = earth_;
      vs.status = 1;
      vs.surf_lng = p.longitudeDeg * kDegree;
      vs.surf_lat = p.latitudeDeg * kDegree;
      vs.surf_hdg = headingDeg * kDegree;
      if (VESSEL* v = oapiGetFocusInterface()) v->DefSetStateEx(&vs);
    });
    Wait(kSettleSeconds);
  }

  // In flight the vessel is put back every step, moving with the ground.
  // Where it then is feeds back into where it is put: the host's frames
  // need not agree to the metre with this driver's arithmetic.
  void HoldFlying() {
    VESSEL* v = oapiGetFocusInterface();
    if (v == nullptr) return;
    const double radius = oapiGetSize(earth_);
    if (placed_) {
      double lng = 0.0, lat = 0.0, rad = 0.0;
      v->GetEquPos(lng, lat, rad);
      command_.longitudeDeg += target_.longitudeDeg - lng / kDegree;
      command_.latitudeDeg += target_.latitudeDeg - lat / kDegree;
      commandAltitudeMetres_ += kFlightAltitudeMetres - (rad - radius);
    }
    VECTOR3 global, bodyGlobal;
    oapiEquToGlobal(earth_, command_.longitudeDeg * kDegree, command_.latitudeDeg * kDegree,
                    radius + commandAltitudeMetres_, &global);
    oapiGetGlobalPos(earth_, &bodyGlobal);
    MATRIX3 rotation;
    oapiGetRotationMatrix(earth_, &rotation);
    VESSELSTATUS2 vs{};
    vs.version = 2;
    vs.rbody = earth_;
    vs.status = 0;
    vs.rpos = global - bodyGlobal;
    const VECTOR3 axis = mul(rotation, _V(0, 1, 0));
    vs.rvel = crossp(vs.rpos, axis) * (2.0 * std::numbers::pi / oapiGetPlanetPeriod(earth_));
    v->DefSetStateEx(&vs);
    placed_ = true;
  }

  void Report(const std::string& what) {
    const std::string line = "TarvikTestDriver: " + what;
    oapiWriteLog(line.c_str());
    if (!dir_.empty()) std::ofstream(dir_ + "/driver-report.txt", std::ios::app) << line << '\n';
  }

  // The host's own places of Cape Canaveral, its pads and its runway ends
  // in degrees, to DIR/base-positions.txt: "base LNG LAT", "pad N LNG LAT",
  // "runway N end E LNG LAT", counted from 1. The check of tarvik-route
  // from-base holds its skeleton against them.
  void WriteBasePositions() {
    OBJHANDLE base = oapiGetBaseByName(earth_, "Cape Canaveral");
    if (base == nullptr) {
      Report("base Cape Canaveral not found");
      return;
    }
    std::ofstream out(dir_ + "/base-positions.txt");
    const auto line = [&out](const std::string& what, double lng, double lat) {
      char text[160];
      std::snprintf(text, sizeof text, "%s %.10f %.10f\n", what.c_str(), lng / kDegree, lat / kDegree);
      out << text;
    };
    double lng = 0.0, lat = 0.0, dir = 0.0;
    oapiGetBaseEquPos(base, &lng, &lat);
    line("base", lng, lat);
    for (int pad = 0; pad < oapiGetBasePadCount(base); ++pad)
      if (oapiGetBasePadEquPos(base, pad, &lng, &lat)) line("pad " + std::to_string(pad + 1), lng, lat);
    for (int runway = 0; runway < oapiGetBaseRwyCount(base); ++runway)
      for (int end = 1; end <= 2; ++end)
        if (oapiGetBaseRwyEquPos(base, runway, end, &dir, &lng, &lat))
          line("runway " + std::to_string(runway + 1) + " end " + std::to_string(end), lng, lat);
  }

  // What the map of the next shot is drawn from, as the host reports it,
  // appended to DIR/map-symbols.txt: "shot NAME vessel LNG LAT HEADING"
  // (the focus vessel, degrees), "radius METRES" (its body), "vor ID LNG
  // LAT" for each tuned VOR.
  void WriteMapSymbols(const std::string& shot) {
    Do([this, shot] {
      const VESSEL* v = oapiGetFocusInterface();
      double lng = 0.0, lat = 0.0, rad = 0.0, headingRad = 0.0;
      v->GetEquPos(lng, lat, rad);
      oapiGetFocusHeading(&headingRad);
      std::ofstream out(dir_ + "/map-symbols.txt", std::ios::app);
      char text[200];
      std::snprintf(text, sizeof text, "shot %s vessel %.10f %.10f %.10f\nradius %.3f\n", shot.c_str(), lng / kDegree,
                    lat / kDegree, headingRad / kDegree, oapiGetSize(earth_));
      out << text;
      for (int i = 0; i < v->GetNavCount(); ++i) {
        NAVDATA data{};
        if (v->GetNavSource(i) == nullptr) continue;
        oapiGetNavData(v->GetNavSource(i), &data);
        if (data.type != TRANSMITTER_VOR) continue;
        std::snprintf(text, sizeof text, "vor %s %.10f %.10f\n", data.descr, data.vor.lng / kDegree,
                      data.vor.lat / kDegree);
        out << text;
      }
    });
  }

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

  std::string dir_;
  OBJHANDLE earth_ = nullptr;
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool started_ = false;
  double stepStart_ = 0.0;
  bool flying_ = false;
  Place target_{};
  Place command_{};
  double commandAltitudeMetres_ = 0.0;
  bool placed_ = false;
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
