#include "sdk_side/stub_host.h"

#include <cstdio>
#include <utility>

namespace stub_host {
namespace {

char penTags[16];
char fontTags[16];
int nextPen = 1;
int nextFont = 1;
std::map<std::pair<const MFD2*, int>, char> defaultFontTags;

// Handles in the call list by the name the test knows them by.
std::string HandleName(const void* handle) {
  for (int i = 0; i < 16; ++i) {
    if (handle == PenHandle(i)) return "pen" + std::to_string(i);
    if (handle == FontHandle(i)) return "font" + std::to_string(i);
  }
  return handle == nullptr ? "null" : "other";
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06x", value);
  return text;
}

void Call(std::string what) { Host().calls.push_back(std::move(what)); }

Vessel& Of(const VESSEL* vessel) { return *static_cast<Vessel*>(const_cast<VESSEL*>(vessel)); }

}  // namespace

World& Host() {
  static World world;
  return world;
}

void Reset() {
  Host() = World{};
  nextPen = nextFont = 1;
}

oapi::Pen* PenHandle(int index) { return reinterpret_cast<oapi::Pen*>(&penTags[index]); }
oapi::Font* FontHandle(int index) { return reinterpret_cast<oapi::Font*>(&fontTags[index]); }
oapi::Font* DefaultFontOf(const MFD2* display, int index) {
  return reinterpret_cast<oapi::Font*>(&defaultFontTags[{display, index}]);
}

oapi::Font* RecordingSketchpad::SetFont(oapi::Font* newFont) const {
  Call("SetFont " + HandleName(newFont));
  return std::exchange(font, newFont);
}
oapi::Pen* RecordingSketchpad::SetPen(oapi::Pen* newPen) const {
  Call("SetPen " + HandleName(newPen));
  return std::exchange(pen, newPen);
}
uint32_t RecordingSketchpad::SetTextColor(uint32_t colour) {
  Call("SetTextColor " + Hex(colour));
  return std::exchange(textColour, colour);
}
bool RecordingSketchpad::Text(int x, int y, const char* text, int length) {
  Call("Text " + std::to_string(x) + " " + std::to_string(y) + " " + std::string(text, length));
  return true;
}
void RecordingSketchpad::MoveTo(int x, int y) { Call("MoveTo " + std::to_string(x) + " " + std::to_string(y)); }
void RecordingSketchpad::LineTo(int x, int y) { Call("LineTo " + std::to_string(x) + " " + std::to_string(y)); }
void RecordingSketchpad::Line(int x0, int y0, int x1, int y1) {
  Call("Line " + std::to_string(x0) + " " + std::to_string(y0) + " " + std::to_string(x1) + " " + std::to_string(y1));
}
void RecordingSketchpad::Rectangle(int x0, int y0, int x1, int y1) {
  Call("Rectangle " + std::to_string(x0) + " " + std::to_string(y0) + " " + std::to_string(x1) + " " +
       std::to_string(y1));
}
void RecordingSketchpad::Ellipse(int x0, int y0, int x1, int y1) {
  Call("Ellipse " + std::to_string(x0) + " " + std::to_string(y0) + " " + std::to_string(x1) + " " +
       std::to_string(y1));
}

}  // namespace stub_host

using stub_host::Host;

// ---- Vessels ----------------------------------------------------------------

VESSEL::VESSEL(OBJHANDLE hVessel, int fmodel)
    : vessel(reinterpret_cast<Vessel*>(hVessel)), flightmodel(static_cast<short>(fmodel)), version(1) {}
// The SDK declares it with a const return type; the definition must match.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
const OBJHANDLE VESSEL::GetHandle() const { return reinterpret_cast<OBJHANDLE>(vessel); }
#pragma GCC diagnostic pop
OBJHANDLE VESSEL::GetEquPos(double& longitude, double& latitude, double& radius) const {
  const auto& v = stub_host::Of(this);
  longitude = v.longitudeRad;
  latitude = v.latitudeRad;
  radius = v.radiusMetres;
  return v.equPosBody;
}
void VESSEL::GetStatus(VESSELSTATUS& status) const { status = stub_host::Of(this).status; }
double VESSEL::GetAltitude() const { return stub_host::Of(this).altitudeMetres; }
double VESSEL::GetAirspeed() const { return stub_host::Of(this).airspeedMetresPerSecond; }
void VESSEL::GetTouchdownPoints(VECTOR3& pt1, VECTOR3& pt2, VECTOR3& pt3) const {
  const auto& v = stub_host::Of(this);
  pt1 = v.touchdown[0];
  pt2 = v.touchdown[1];
  pt3 = v.touchdown[2];
}
int VESSEL::GetNavCount() const { return static_cast<int>(stub_host::Of(this).navSources.size()); }
NAVHANDLE VESSEL::GetNavSource(int n) const {
  const auto& sources = stub_host::Of(this).navSources;
  return n >= 0 && n < static_cast<int>(sources.size()) ? sources[static_cast<std::size_t>(n)] : nullptr;
}

VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel) {
  const auto found = Host().vessels.find(hVessel);
  return found != Host().vessels.end() ? found->second : nullptr;
}
VESSEL* oapiGetFocusInterface() { return Host().focus; }

// ---- Bodies, bases, radio -----------------------------------------------------

double oapiGetSize(OBJHANDLE hObj) { return Host().sizesMetres[hObj]; }
bool oapiGetFocusHeading(double* heading) {
  *heading = Host().focusHeadingRad;
  return Host().hasFocusHeading;
}
void oapiGetObjectName(OBJHANDLE hObj, char* name, int n) {
  std::snprintf(name, static_cast<std::size_t>(n), "%s", Host().names[hObj].c_str());
}
int oapiGetBaseCount(OBJHANDLE hPlanet) { return static_cast<int>(Host().basesOfBody[hPlanet].size()); }
OBJHANDLE oapiGetBaseByIndex(OBJHANDLE hPlanet, int index) {
  const auto& bases = Host().basesOfBody[hPlanet];
  return index >= 0 && index < static_cast<int>(bases.size()) ? bases[static_cast<std::size_t>(index)] : nullptr;
}
void oapiGetBaseEquPos(OBJHANDLE hBase, double* lng, double* lat, double* rad) {
  const stub_host::Position& p = Host().bases[hBase].position;
  *lng = p.longitudeRad;
  *lat = p.latitudeRad;
  if (rad != nullptr) *rad = p.radiusMetres;
}
int oapiGetBasePadCount(OBJHANDLE hBase) { return static_cast<int>(Host().bases[hBase].pads.size()); }
bool oapiGetBasePadEquPos(OBJHANDLE hBase, int pad, double* lng, double* lat, double* rad) {
  const auto& pads = Host().bases[hBase].pads;
  if (pad < 0 || pad >= static_cast<int>(pads.size())) return false;
  const stub_host::Position& p = pads[static_cast<std::size_t>(pad)];
  *lng = p.longitudeRad;
  *lat = p.latitudeRad;
  if (rad != nullptr) *rad = p.radiusMetres;
  return true;
}
int oapiGetNavData(NAVHANDLE hNav, NAVDATA* data) {
  *data = Host().transmitters[hNav];
  return 0;
}

// ---- Drawing resources ----------------------------------------------------------

oapi::Pen* oapiCreatePen(int style, int width, uint32_t col) {
  stub_host::Call("oapiCreatePen " + std::to_string(style) + " " + std::to_string(width) + " " + stub_host::Hex(col));
  return stub_host::PenHandle(stub_host::nextPen++);
}
void oapiReleasePen(oapi::Pen* pen) { stub_host::Call("oapiReleasePen " + stub_host::HandleName(pen)); }
oapi::Font* oapiCreateFont(int height, bool prop, const char* face, FontStyle style, bool antialiased) {
  stub_host::Call("oapiCreateFont " + std::to_string(height) + (prop ? " proportional " : " fixed ") + face + " " +
                  std::to_string(static_cast<int>(style)) + (antialiased ? " antialiased" : ""));
  return stub_host::FontHandle(stub_host::nextFont++);
}
void oapiReleaseFont(oapi::Font* font) { stub_host::Call("oapiReleaseFont " + stub_host::HandleName(font)); }

oapi::Sketchpad::Sketchpad(SURFHANDLE) {}
oapi::Sketchpad::~Sketchpad() {}
bool oapi::Sketchpad::TextBox(int, int, int, int, const char*, int) { return false; }
void oapi::Sketchpad::Rectangle(int, int, int, int) {}
void oapi::Sketchpad::PolyPolygon(const IVECTOR2*, const int*, const int) {}
void oapi::Sketchpad::PolyPolyline(const IVECTOR2*, const int*, const int) {}

// ---- Displays -------------------------------------------------------------------

MFD::MFD(int w, int h, VESSEL* vessel) : W(w), H(h), cw(0), ch(0), pV(vessel), instr(nullptr) {}
MFD::~MFD() {}
void MFD::InvalidateButtons() { Host().invalidatedDisplays.push_back(this); }
oapi::Font* MFD2::GetDefaultFont(int fontidx) const { return stub_host::DefaultFontOf(this, fontidx); }

// ---- Messages, registration -------------------------------------------------------

char* oapiDebugString() { return Host().debugString; }
void oapiWriteLog(const char* line) { stub_host::Call(std::string("oapiWriteLog ") + line); }
int oapiRegisterMFDMode(MFDMODESPECEX& mode) {
  stub_host::Call(std::string("oapiRegisterMFDMode ") + mode.name + " " + std::to_string(mode.key));
  Host().lastModeRecord = &mode;
  return Host().nextMode;
}
bool oapiUnregisterMFDMode(int mode) {
  stub_host::Call("oapiUnregisterMFDMode " + std::to_string(mode));
  return true;
}
void oapiRegisterModule(oapi::Module* module) { Host().modules.push_back(module); }

oapi::ModuleNV::ModuleNV(MODULEHANDLE hDLL) : version(0), hModule(hDLL) {}
oapi::Module::Module(MODULEHANDLE hDLL) : ModuleNV(hDLL) {}
oapi::Module::~Module() {}
void oapi::Module::clbkSimulationStart(RenderMode) {}
void oapi::Module::clbkSimulationEnd() {}
void oapi::Module::clbkPreStep(double, double, double) {}
void oapi::Module::clbkPostStep(double, double, double) {}
void oapi::Module::clbkFocusChanged(OBJHANDLE, OBJHANDLE) {}
void oapi::Module::clbkTimeAccChanged(double, double) {}
void oapi::Module::clbkDeleteVessel(OBJHANDLE) {}
void oapi::Module::clbkPause(bool) {}
