#include "simhost/sim_host.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace simhost {

Host& host() {
  static Host instance;
  return instance;
}

Vessel::Vessel(const VesselSpec& vesselSpec)
    : Object(Kind::Vessel, vesselSpec.name),
      body(vesselSpec.body),
      position(vesselSpec.position),
      headingRad(vesselSpec.headingRad),
      altitudeMetres(vesselSpec.altitudeMetres),
      airspeed(vesselSpec.airspeed),
      touchdown(vesselSpec.touchdown),
      landedBase(vesselSpec.landedBase),
      receivers(vesselSpec.receivers),
      iface(std::make_unique<VESSEL>(static_cast<Object*>(this))) {}

Vessel::~Vessel() = default;

Object* Host::FindObject(const void* handle) const {
  if (handle == nullptr) return nullptr;
  for (const auto& body : bodies_)
    if (static_cast<const Object*>(body.get()) == handle) return body.get();
  for (const auto& base : bases_)
    if (static_cast<const Object*>(base.get()) == handle) return base.get();
  for (const auto& vessel : vessels_)
    if (static_cast<const Object*>(vessel.get()) == handle) return vessel.get();
  return nullptr;
}

Transmitter* Host::FindTransmitter(const void* handle) const {
  if (handle == nullptr) return nullptr;
  for (const auto& transmitter : transmitters_)
    if (transmitter.get() == handle) return transmitter.get();
  return nullptr;
}

void Host::Reset() {
  throwIn.clear();
  graphicsClient = true;
  vessels_.clear();
  transmitters_.clear();
  bases_.clear();
  bodies_.clear();
  focus_ = nullptr;
  log_.Reset();
  debugLine_.fill('\0');
  livePens_ = liveFonts_ = pensCreated_ = fontsCreated_ = 0;
  defaultFonts_.clear();
  modes_.clear();
  nextModeId_ = 1;
  modules_.clear();
  date2IntCalls = initLibCalls = invalidateButtonsCalls = 0;
  lastInitLib = nullptr;
  traceCalls = false;
  logMuted = false;
  calls.clear();
}

Body& Host::AddBody(std::string name, double radiusMetres) {
  bodies_.push_back(std::make_unique<Body>(std::move(name), radiusMetres));
  return *bodies_.back();
}

Base& Host::AddBase(Body& body, std::string name, LatLon position, std::vector<LatLon> pads) {
  bases_.push_back(std::make_unique<Base>(std::move(name), &body, position));
  Base& base = *bases_.back();
  base.pads = std::move(pads);
  body.bases.push_back(&base);
  return base;
}

Transmitter& Host::AddTransmitter(Body& body, DWORD type, std::string id, LatLon position) {
  auto t = std::make_unique<Transmitter>();
  t->type = type;
  t->id = std::move(id);
  t->body = &body;
  t->position = position;
  transmitters_.push_back(std::move(t));
  return *transmitters_.back();
}

Vessel& Host::AddVessel(const VesselSpec& vesselSpec) {
  if (vesselSpec.body == nullptr) throw std::invalid_argument("vessel " + vesselSpec.name + " has no body");
  vessels_.push_back(std::make_unique<Vessel>(vesselSpec));
  Vessel& v = *vessels_.back();
  if (focus_ == nullptr) focus_ = &v;
  for (oapi::Module* m : modules_) m->clbkNewVessel(static_cast<Object*>(&v));
  return v;
}

void Host::DeleteVessel(Vessel& vessel) {
  // Copy: a module may unregister itself from inside the callback.
  std::vector<oapi::Module*> modules = modules_;
  for (oapi::Module* m : modules) m->clbkDeleteVessel(static_cast<Object*>(&vessel));
  auto it = std::find_if(vessels_.begin(), vessels_.end(), [&](const auto& p) { return p.get() == &vessel; });
  if (it == vessels_.end()) return;
  bool wasFocus = focus_ == &vessel;
  vessels_.erase(it);
  if (wasFocus) focus_ = vessels_.empty() ? nullptr : vessels_.front().get();
}

void Host::SetFocus(Vessel& vessel) {
  Vessel* old = focus_;
  focus_ = &vessel;
  if (old != &vessel) {
    for (oapi::Module* m : modules_) m->clbkFocusChanged(static_cast<Object*>(&vessel), static_cast<Object*>(old));
  }
}

Vessel* Host::FindVessel(const std::string& name) const {
  for (const auto& v : vessels_)
    if (v->name == name) return v.get();
  return nullptr;
}

void Host::WriteLog(const char* line) {
  if (!logMuted) log_.WriteLine(line);
}

oapi::Pen* Host::CreatePen(int style, int width, DWORD colour) {
  if (!graphicsClient) return nullptr;
  ++livePens_;
  ++pensCreated_;
  return new SimPen(style, width, colour);
}

void Host::ReleasePen(oapi::Pen* pen) {
  if (pen == nullptr) return;
  --livePens_;
  delete pen;
}

oapi::Font* Host::CreateFont(int height, bool prop, const char* face, int style) {
  if (!graphicsClient) return nullptr;
  ++liveFonts_;
  ++fontsCreated_;
  return new SimFont(height, prop, face != nullptr ? face : "", style);
}

void Host::ReleaseFont(oapi::Font* font) {
  if (font == nullptr) return;
  auto* f = dynamic_cast<SimFont*>(font);
  if (f != nullptr && f->defaultIndex >= 0) return;  // a display's own font
  --liveFonts_;
  delete font;
}

oapi::Font* Host::DefaultFont(DWORD index) {
  for (const auto& f : defaultFonts_)
    if (f->defaultIndex == static_cast<int>(index)) return f.get();
  // Display font 0 is fixed-pitch, the others proportional.
  defaultFonts_.push_back(std::make_unique<SimFont>(0, index != 0, index == 0 ? "Monospace" : "Sans", 0,
                                                    static_cast<int>(index)));
  return defaultFonts_.back().get();
}

int Host::RegisterMode(const MFDMODESPECEX& modeSpec) {
  ModeRegistration r{nextModeId_++, modeSpec.name != nullptr ? modeSpec.name : "", modeSpec.key, modeSpec.context, modeSpec.msgproc};
  modes_.push_back(r);
  return r.id;
}

bool Host::UnregisterMode(int id) {
  auto it = std::find_if(modes_.begin(), modes_.end(), [&](const ModeRegistration& m) { return m.id == id; });
  if (it == modes_.end()) return false;
  modes_.erase(it);
  return true;
}

const ModeRegistration* Host::ModeByKey(DWORD key) const {
  for (const auto& m : modes_)
    if (m.key == key) return &m;
  return nullptr;
}

void Host::RegisterModule(oapi::Module* module) {
  if (std::find(modules_.begin(), modules_.end(), module) == modules_.end()) modules_.push_back(module);
}

void Host::UnregisterModule(oapi::Module* module) {
  modules_.erase(std::remove(modules_.begin(), modules_.end(), module), modules_.end());
}

void Host::StepModules(double simt, double simdt, double mjd) {
  std::vector<oapi::Module*> modules = modules_;
  for (oapi::Module* m : modules) m->clbkPreStep(simt, simdt, mjd);
  for (oapi::Module* m : modules) m->clbkStepDone(simt, simdt, mjd);
}

void Host::EndRun() {
  std::vector<oapi::Module*> modules = modules_;
  for (oapi::Module* m : modules) m->clbkRunEnd();
}

}  // namespace simhost
