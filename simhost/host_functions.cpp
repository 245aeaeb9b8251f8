// The host's functions and base classes, answered from the simulated world.
#include <cstdio>
#include <cstring>
#include <string>

#include "simhost/sim_host.h"

using simhost::host;

namespace {

simhost::Vessel& VesselOf(OBJHANDLE h) { return *static_cast<simhost::Vessel*>(static_cast<simhost::Object*>(h)); }
// What a handle names, or null when it names nothing of that kind: a bad
// handle gets the host's error value, never undefined behaviour.
simhost::Object* ObjectOf(OBJHANDLE h) { return host().FindObject(static_cast<simhost::Object*>(h)); }
template <class Kind>
Kind* ObjectOf(OBJHANDLE h, simhost::Object::Kind kind) {
  simhost::Object* o = ObjectOf(h);
  return o != nullptr && o->kind == kind ? static_cast<Kind*>(o) : nullptr;
}
simhost::Body* BodyOf(OBJHANDLE h) { return ObjectOf<simhost::Body>(h, simhost::Object::Kind::Body); }
simhost::Base* BaseOf(OBJHANDLE h) { return ObjectOf<simhost::Base>(h, simhost::Object::Kind::Base); }

}  // namespace

inline namespace host_interface {

// ---- VESSEL ---------------------------------------------------------------

VESSEL::~VESSEL() = default;

OBJHANDLE VESSEL::GetHandle() const {
  host().Trace("VESSEL::GetHandle");
  return hVessel;
}

OBJHANDLE VESSEL::GetEquPos(double& longitude, double& latitude, double& radius) const {
  host().Trace("VESSEL::GetEquPos");
  const simhost::Vessel& v = VesselOf(hVessel);
  longitude = v.position.longitudeRad;
  latitude = v.position.latitudeRad;
  radius = v.body->radiusMetres + v.altitudeMetres;
  return static_cast<simhost::Object*>(v.body);
}

void VESSEL::GetStatus(VESSELSTATUS& status) const {
  host().Trace("VESSEL::GetStatus");
  const simhost::Vessel& v = VesselOf(hVessel);
  status.rbody = static_cast<simhost::Object*>(v.body);
  status.base = v.landedBase != nullptr ? static_cast<simhost::Object*>(v.landedBase) : nullptr;
  status.status = v.landedBase != nullptr ? 1 : 0;
}

double VESSEL::GetAltitude() const {
  host().Trace("VESSEL::GetAltitude");
  return VesselOf(hVessel).altitudeMetres;
}

double VESSEL::GetAirspeed() const {
  host().Trace("VESSEL::GetAirspeed");
  return VesselOf(hVessel).airspeed;
}

bool VESSEL::GetTouchdownPoints(VECTOR3& pt1, VECTOR3& pt2, VECTOR3& pt3) const {
  host().Trace("VESSEL::GetTouchdownPoints");
  const simhost::Vessel& v = VesselOf(hVessel);
  pt1 = v.touchdown[0];
  pt2 = v.touchdown[1];
  pt3 = v.touchdown[2];
  return true;
}

DWORD VESSEL::GetNavCount() const {
  host().Trace("VESSEL::GetNavCount");
  return static_cast<DWORD>(VesselOf(hVessel).receivers.size());
}

NAVHANDLE VESSEL::GetNavSource(DWORD receiver) const {
  host().Trace("VESSEL::GetNavSource");
  const simhost::Vessel& v = VesselOf(hVessel);
  return receiver < v.receivers.size() ? v.receivers[receiver] : nullptr;
}

// ---- Free functions -------------------------------------------------------

VESSEL* oapiGetFocusInterface() {
  host().Trace("oapiGetFocusInterface");
  simhost::Vessel* v = host().Focus();
  return v != nullptr ? v->iface.get() : nullptr;
}

double oapiGetSize(OBJHANDLE hObj) {
  host().Trace("oapiGetSize");
  const simhost::Object* o = ObjectOf(hObj);
  if (o == nullptr) return 0.0;
  if (o->kind == simhost::Object::Kind::Body) return static_cast<const simhost::Body*>(o)->radiusMetres;
  return 10.0;  // bases and vessels: a nominal size
}

bool oapiGetFocusHeading(double* heading) {
  host().Trace("oapiGetFocusHeading");
  simhost::Vessel* v = host().Focus();
  if (v == nullptr) return false;
  *heading = v->headingRad;
  return true;
}

void oapiGetObjectName(OBJHANDLE hObj, char* name, int n) {
  host().Trace("oapiGetObjectName");
  if (name == nullptr || n <= 0) return;
  const simhost::Object* o = ObjectOf(hObj);
  std::snprintf(name, static_cast<std::size_t>(n), "%s", o != nullptr ? o->name.c_str() : "");
}

DWORD oapiGetBaseCount(OBJHANDLE hPlanet) {
  host().Trace("oapiGetBaseCount");
  const simhost::Body* body = BodyOf(hPlanet);
  return body != nullptr ? static_cast<DWORD>(body->bases.size()) : 0;
}

OBJHANDLE oapiGetBaseByIndex(OBJHANDLE hPlanet, int index) {
  host().Trace("oapiGetBaseByIndex");
  const simhost::Body* body = BodyOf(hPlanet);
  if (body == nullptr) return nullptr;
  const auto& bases = body->bases;
  if (index < 0 || static_cast<std::size_t>(index) >= bases.size()) return nullptr;
  return static_cast<simhost::Object*>(bases[static_cast<std::size_t>(index)]);
}

void oapiGetBaseEquPos(OBJHANDLE hBase, double* lng, double* lat, double* rad) {
  host().Trace("oapiGetBaseEquPos");
  const simhost::Base* base = BaseOf(hBase);
  if (base == nullptr || lng == nullptr || lat == nullptr) return;
  *lng = base->position.longitudeRad;
  *lat = base->position.latitudeRad;
  if (rad != nullptr) *rad = base->body->radiusMetres;
}

DWORD oapiGetBasePadCount(OBJHANDLE hBase) {
  host().Trace("oapiGetBasePadCount");
  const simhost::Base* base = BaseOf(hBase);
  return base != nullptr ? static_cast<DWORD>(base->pads.size()) : 0;
}

bool oapiGetBasePadEquPos(OBJHANDLE hBase, DWORD pad, double* lng, double* lat, double* rad) {
  host().Trace("oapiGetBasePadEquPos");
  const simhost::Base* base = BaseOf(hBase);
  if (base == nullptr || pad >= base->pads.size() || lng == nullptr || lat == nullptr) return false;
  *lng = base->pads[pad].longitudeRad;
  *lat = base->pads[pad].latitudeRad;
  if (rad != nullptr) *rad = 30.0;
  return true;
}

void oapiGetNavData(NAVHANDLE hNav, NAVDATA* data) {
  host().Trace("oapiGetNavData");
  if (data == nullptr) return;
  *data = NAVDATA{};  // a handle of no transmitter: type 0, no transmitter
  const simhost::Transmitter* transmitter = host().FindTransmitter(hNav);
  if (transmitter == nullptr) return;
  const auto& t = *transmitter;
  data->type = t.type;
  std::snprintf(data->id, sizeof data->id, "%s", t.id.c_str());
  data->vor.hPlanet = static_cast<simhost::Object*>(t.body);
  data->vor.lng = t.position.longitudeRad;
  data->vor.lat = t.position.latitudeRad;
}

oapi::Pen* oapiCreatePen(int style, int width, DWORD col) {
  host().Trace("oapiCreatePen");
  return host().CreatePen(style, width, col);
}

void oapiReleasePen(oapi::Pen* pen) {
  host().Trace("oapiReleasePen");
  host().ReleasePen(pen);
}

oapi::Font* oapiCreateFont(int height, bool prop, const char* face, oapi::FontStyle style) {
  host().Trace("oapiCreateFont");
  return host().CreateFont(height, prop, face, style);
}

void oapiReleaseFont(oapi::Font* font) {
  host().Trace("oapiReleaseFont");
  host().ReleaseFont(font);
}

char* oapiDebugString() {
  host().Trace("oapiDebugString");
  return host().DebugLine();
}

void oapiWriteLog(const char* line) {
  host().Trace("oapiWriteLog");
  host().WriteLog(line);
}

int oapiRegisterMFDMode(MFDMODESPECEX& modeSpec) {
  host().Trace("oapiRegisterMFDMode");
  return host().RegisterMode(modeSpec);
}

bool oapiUnregisterMFDMode(int mode) {
  host().Trace("oapiUnregisterMFDMode");
  return host().UnregisterMode(mode);
}

void oapiRegisterModule(oapi::Module* module) {
  host().Trace("oapiRegisterModule");
  host().RegisterModule(module);
}

void InitLib(HINSTANCE hModule) {
  host().Trace("InitLib");
  ++host().initLibCalls;
  host().lastInitLib = hModule;
}

int Date2Int(const char* date) {
  host().Trace("Date2Int");
  ++host().date2IntCalls;
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char month[4] = {};
  int day = 0;
  int year = 0;
  if (date == nullptr || std::sscanf(date, "%3s %d %d", month, &day, &year) != 3) return 0;
  for (int m = 0; m < 12; ++m)
    if (std::strcmp(month, kMonths[m]) == 0) return year * 10000 + (m + 1) * 100 + day;
  return 0;
}

// ---- Display base classes -------------------------------------------------

MFD::~MFD() = default;

void MFD::InvalidateButtons() {
  host().Trace("MFD::InvalidateButtons");
  ++host().invalidateButtonsCalls;
}

oapi::Font* MFD2::GetDefaultFont(DWORD fontidx) const {
  host().Trace("MFD2::GetDefaultFont");
  return host().DefaultFont(fontidx);
}

// ---- Module base classes --------------------------------------------------

namespace oapi {

Module::~Module() { host().UnregisterModule(this); }

}  // namespace oapi

}  // namespace host_interface
