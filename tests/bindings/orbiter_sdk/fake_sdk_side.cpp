#include "tests/bindings/orbiter_sdk/fake_sdk_side.h"

#include <cstdio>
#include <map>
#include <utility>

namespace fake_sdk {

Host& host() {
  static Host h;
  return h;
}

void Reset() { host() = Host{}; }

sdk_bridge::Handle NewHandle() {
  static char handles[4096];
  static std::size_t next = 0;
  return &handles[next++ % sizeof handles];
}

}  // namespace fake_sdk

using fake_sdk::host;
using sdk_bridge::Handle;

namespace sdk_bridge {

Handle FocusVessel() { return host().focus; }
Handle VesselEquPos(Handle, double& lng, double& lat, double& rad) {
  lng = 0.1;
  lat = 0.2;
  rad = 6.4e6;
  return nullptr;
}
void VesselStatus(Handle, Handle& body, Handle& base, int& status) {
  body = base = nullptr;
  status = 1;
}
double VesselAltitude(Handle) { return 0.0; }
double VesselAirspeed(Handle) { return 0.0; }
void VesselTouchdownPoints(Handle, double (&points)[3][3]) {
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k) points[i][k] = 10 * i + k;
}
int VesselNavCount(Handle) { return 2; }
Handle VesselNavSource(Handle, int) { return nullptr; }
double ObjectSize(Handle) { return 6.4e6; }
bool FocusHeading(double& heading) {
  heading = 1.0;
  return true;
}
void ObjectName(Handle, char* name, int size) { std::snprintf(name, static_cast<std::size_t>(size), "Earth"); }
int BaseCount(Handle) { return 0; }
Handle BaseByIndex(Handle, int) { return nullptr; }
void BaseEquPos(Handle, double*, double*, double*) {}
int BasePadCount(Handle) { return 0; }
bool BasePadEquPos(Handle, int, double*, double*, double*) { return false; }
NavSummary NavData(Handle) {
  NavSummary nav;
  nav.type = 1;
  nav.identifier = host().navIdentifier.c_str();
  return nav;
}

Handle CreatePen(int, int, std::uint32_t) { return fake_sdk::NewHandle(); }
void ReleasePen(Handle pen) { host().releasedPens.push_back(pen); }
Handle CreateFont(int, bool, const char*, int) { return fake_sdk::NewHandle(); }
void ReleaseFont(Handle font) {
  host().releasedFonts.push_back(font);
  host().selectedAtFontRelease.push_back(host().activeSketchpad != nullptr ? host().activeSketchpad->font : nullptr);
}
Handle SelectFont(Handle skp, Handle font) {
  auto* pad = static_cast<fake_sdk::Sketchpad*>(skp);
  Handle had = pad->font;
  pad->font = font;
  return had;
}
Handle SelectPen(Handle skp, Handle pen) {
  auto* pad = static_cast<fake_sdk::Sketchpad*>(skp);
  Handle had = pad->pen;
  pad->pen = pen;
  return had;
}
std::uint32_t SetTextColour(Handle, std::uint32_t) { return 0; }
bool Text(Handle skp, int, int, const char* text, int length) {
  auto* pad = static_cast<fake_sdk::Sketchpad*>(skp);
  pad->texts.emplace_back(std::string(text, static_cast<std::size_t>(length)), pad->font);
  return true;
}
void MoveTo(Handle, int, int) {}
void LineTo(Handle, int, int) {}
void Line(Handle, int, int, int, int) {}
void Rectangle(Handle, int, int, int, int) {}
void Ellipse(Handle, int, int, int, int) {}
void Polyline(Handle, const int*, int) {}

// The host keeps one font per display and index.
Handle DefaultFont(Handle hostDisplay, int index) {
  static std::map<std::pair<Handle, int>, Handle> fonts;
  if (hostDisplay == nullptr) return nullptr;
  Handle& font = fonts[{hostDisplay, index}];
  if (font == nullptr) font = fake_sdk::NewHandle();
  return font;
}
void InvalidateButtons(Handle hostDisplay) { host().invalidatedDisplays.push_back(hostDisplay); }

char* DebugString() { return host().debugLine; }
void WriteLog(const char*) {}

int RegisterMode(const char*, int, void* modeContext) {
  host().lastModeContext = modeContext;
  return 7;
}
bool UnregisterMode(int) { return true; }
void RegisterModule(ModuleHooks* hooks, Handle moduleHandle) {
  host().registeredModule = hooks;
  host().registeredModuleHandle = moduleHandle;
}
void UnregisterModule(ModuleHooks* hooks) { host().unregisteredModule = hooks; }

}  // namespace sdk_bridge
