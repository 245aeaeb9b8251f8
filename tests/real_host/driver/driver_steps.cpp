#include "driver/driver_steps.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace test_driver {

Place North(Place p, double metres, double radiusMetres) {
  return {p.longitudeDeg, p.latitudeDeg + metres / radiusMetres / kDegree};
}

DriverSteps::DriverSteps(MODULEHANDLE handle) : oapi::Module(handle) {
  const char* dir = std::getenv("TARVIK_DRIVER_DIR");
  if (dir != nullptr) dir_ = dir;
}

void DriverSteps::clbkPostStep(double simt, double, double) {
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

void DriverSteps::Do(std::function<void()> action) {
  steps_.push_back([action](double) {
    action();
    return true;
  });
}
void DriverSteps::Wait(double seconds) {
  steps_.push_back([seconds](double elapsed) { return elapsed >= seconds; });
}
void DriverSteps::Key(int key) {
  Do([key] { oapiSendMFDKey(kDisplay, key); });
}
void DriverSteps::Shot(const std::string& name) {
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
void DriverSteps::Fly(Place p) {
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
void DriverSteps::Land(Place p, double headingDeg) {
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
void DriverSteps::HoldFlying() {
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

void DriverSteps::Report(const std::string& what) {
  const std::string line = "TarvikTestDriver: " + what;
  oapiWriteLog(line.c_str());
  if (!dir_.empty()) std::ofstream(dir_ + "/driver-report.txt", std::ios::app) << line << '\n';
}

// The host's own places of Cape Canaveral, its pads and its runway ends
// in degrees, to DIR/base-positions.txt: "base LNG LAT", "pad N LNG LAT",
// "runway N end E LNG LAT", counted from 1. The check of tarvik-route
// from-base holds its skeleton against them.
void DriverSteps::WriteBasePositions() {
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
void DriverSteps::WriteMapSymbols(const std::string& shot) {
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

}  // namespace test_driver
