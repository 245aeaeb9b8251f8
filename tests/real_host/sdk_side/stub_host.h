// The host, as far as the SDK side of the binding calls it: the oapi
// functions and the VESSEL, MFD, Module and Sketchpad members it uses,
// answering from a world the test sets up and writing each call that hands
// something to the host to a call list. Linked in place of the host's
// executable, so that the real sdk_side.cpp is compiled and tested.
#pragma once

#include <Orbitersdk.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace stub_host {

// An object of the host: its address is its handle.
struct Object final : OrbiterObject {
  int Type() const override { return 0; }
};

// A vessel's interface and what it answers.
struct Vessel final : VESSEL {
  explicit Vessel(Object& object) : VESSEL(&object) {}
  OBJHANDLE equPosBody = nullptr;
  double longitudeRad = 0.0;
  double latitudeRad = 0.0;
  double radiusMetres = 0.0;
  VESSELSTATUS status{};
  double altitudeMetres = 0.0;
  double airspeedMetresPerSecond = 0.0;
  VECTOR3 touchdown[3]{};
  std::vector<NAVHANDLE> navSources;
};

struct Position {
  double longitudeRad = 0.0;
  double latitudeRad = 0.0;
  double radiusMetres = 0.0;
};

struct Base {
  Position position;
  std::vector<Position> pads;
};

struct World {
  Vessel* focus = nullptr;
  std::map<OBJHANDLE, Vessel*> vessels;
  std::map<OBJHANDLE, double> sizesMetres;
  std::map<OBJHANDLE, std::string> names;
  bool hasFocusHeading = false;
  double focusHeadingRad = 0.0;
  std::map<OBJHANDLE, std::vector<OBJHANDLE>> basesOfBody;
  std::map<OBJHANDLE, Base> bases;
  std::map<NAVHANDLE, NAVDATA> transmitters;
  int nextMode = 7;  // what oapiRegisterMFDMode answers
  MFDMODESPECEX* lastModeRecord = nullptr;
  std::vector<oapi::Module*> modules;
  std::vector<const MFD*> invalidatedDisplays;
  char debugString[256] = {};
  // Each call that hands something to the host, spelled "name arg arg...".
  std::vector<std::string> calls;
};

// The world, reset by Reset().
World& Host();
void Reset();

// Handles the host would make: distinct, never dereferenced.
oapi::Pen* PenHandle(int index);
oapi::Font* FontHandle(int index);
// What MFD2::GetDefaultFont answers for a display: a distinct font for
// each display and index.
oapi::Font* DefaultFontOf(const MFD2* display, int index);

// A sketchpad of the host's graphics client that writes its calls to the
// call list and answers SetFont and SetPen with what was selected before.
class RecordingSketchpad final : public oapi::Sketchpad {
 public:
  RecordingSketchpad() : oapi::Sketchpad(nullptr) {}
  oapi::Font* SetFont(oapi::Font* font) const override;
  oapi::Pen* SetPen(oapi::Pen* pen) const override;
  uint32_t SetTextColor(uint32_t colour) override;
  bool Text(int x, int y, const char* text, int length) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Line(int x0, int y0, int x1, int y1) override;
  void Rectangle(int x0, int y0, int x1, int y1) override;
  void Ellipse(int x0, int y0, int x1, int y1) override;

  mutable oapi::Font* font = nullptr;
  mutable oapi::Pen* pen = nullptr;
  uint32_t textColour = 0;
};

}  // namespace stub_host
