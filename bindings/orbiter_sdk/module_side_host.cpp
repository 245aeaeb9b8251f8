// The module's host interface over the real host: vessels, bodies, bases,
// radio, messages, the module object and mode registration. Each function
// passes its values through the bridge unchanged; only handles and records
// are translated.
#include <cstdio>
#include <list>
#include <map>
#include <memory>
#include <type_traits>

#include "host/oapi.h"
#include "bindings/orbiter_sdk/module_side.h"
#include "bindings/orbiter_sdk/sdk_bridge.h"

namespace {

// The module's VESSEL objects, one per real vessel, made when first asked
// for and kept while the vessel lives: the module may hold the pointer.
std::map<OBJHANDLE, std::unique_ptr<VESSEL>>& Vessels() {
  static std::map<OBJHANDLE, std::unique_ptr<VESSEL>> vessels;
  return vessels;
}

// A registered mode: what the module gave, found again by its context.
struct RegisteredMode {
  int id = 0;
  MFDMODESPECEX record{};
};

std::list<RegisteredMode>& Modes() {
  static std::list<RegisteredMode> modes;
  return modes;
}

// The module object's callbacks under the module's names. After a vessel's
// deletion or the end of a run its VESSEL object goes too.
class ModuleAdapter final : public sdk_bridge::ModuleHooks {
 public:
  explicit ModuleAdapter(oapi::Module* module) : module_(module) {}
  void SimulationStart(int renderMode) override { module_->clbkRunStart(renderMode); }
  void SimulationEnd() override {
    module_->clbkRunEnd();
    Vessels().clear();
  }
  void PreStep(double simt, double simdt, double mjd) override { module_->clbkPreStep(simt, simdt, mjd); }
  void PostStep(double simt, double simdt, double mjd) override { module_->clbkStepDone(simt, simdt, mjd); }
  void TimeJump(double simt, double simdt, int mode) override { module_->clbkTimeJump(simt, simdt, mode); }
  void FocusChanged(sdk_bridge::Handle newFocus, sdk_bridge::Handle oldFocus) override {
    module_->clbkFocusChanged(newFocus, oldFocus);
  }
  void TimeAccelerationChanged(double newWarp, double oldWarp) override {
    module_->clbkTimeAccChanged(newWarp, oldWarp);
  }
  void NewVessel(sdk_bridge::Handle vessel) override { module_->clbkNewVessel(vessel); }
  void DeleteVessel(sdk_bridge::Handle vessel) override {
    module_->clbkDeleteVessel(vessel);
    Vessels().erase(vessel);
  }
  void VesselJump(sdk_bridge::Handle vessel) override { module_->clbkVesselJump(vessel); }
  void Pause(bool paused) override { module_->clbkPause(paused); }

 private:
  oapi::Module* module_;
};

std::map<const oapi::Module*, std::unique_ptr<ModuleAdapter>>& ModuleAdapters() {
  static std::map<const oapi::Module*, std::unique_ptr<ModuleAdapter>> adapters;
  return adapters;
}

}  // namespace

VESSEL* module_side::VesselOf(OBJHANDLE handle) {
  if (handle == nullptr) return nullptr;
  std::unique_ptr<VESSEL>& vessel = Vessels()[handle];
  if (!vessel) vessel = std::make_unique<VESSEL>(handle);
  return vessel.get();
}

MFD* module_side::OpenModeDisplay(void* modeContext, UINT displayId, int widthPx, int heightPx,
                                  OBJHANDLE vessel) {
  for (const RegisteredMode& mode : Modes()) {
    if (&mode != modeContext || mode.record.msgproc == nullptr) continue;
    MFDMODEOPENSPEC open{static_cast<DWORD>(widthPx), static_cast<DWORD>(heightPx)};
    const OAPI_MSGTYPE made = mode.record.msgproc(OAPI_MSG_MFD_OPENEDEX, displayId, reinterpret_cast<WPARAM>(&open),
                                                reinterpret_cast<LPARAM>(VesselOf(vessel)));
    return reinterpret_cast<MFD*>(made);
  }
  return nullptr;
}

// The calls that pass unchanged, made from the table. Qualified, so that a
// row whose types differ from host/'s declaration does not compile.
static_assert(std::is_same_v<OBJHANDLE, sdk_bridge::Handle>);
using sdk_bridge::Handle;
#define BRIDGED_CALL(result, hostName, bridgeName, parameters, arguments) \
  result host_interface::hostName parameters { return sdk_bridge::bridgeName arguments; }
#include "bindings/orbiter_sdk/bridged_calls.inc"
#undef BRIDGED_CALL

inline namespace host_interface {

// ---- VESSEL ---------------------------------------------------------------

VESSEL::~VESSEL() = default;

OBJHANDLE VESSEL::GetHandle() const { return hVessel; }

OBJHANDLE VESSEL::GetEquPos(double& longitude, double& latitude, double& radius) const {
  return sdk_bridge::VesselEquPos(hVessel, longitude, latitude, radius);
}

void VESSEL::GetStatus(VESSELSTATUS& status) const {
  sdk_bridge::VesselStatus(hVessel, status.rbody, status.base, status.status);
}

double VESSEL::GetAltitude() const { return sdk_bridge::VesselAltitude(hVessel); }

double VESSEL::GetAirspeed() const { return sdk_bridge::VesselAirspeed(hVessel); }

bool VESSEL::GetTouchdownPoints(VECTOR3& pt1, VECTOR3& pt2, VECTOR3& pt3) const {
  double points[3][3] = {};
  sdk_bridge::VesselTouchdownPoints(hVessel, points);
  pt1 = {points[0][0], points[0][1], points[0][2]};
  pt2 = {points[1][0], points[1][1], points[1][2]};
  pt3 = {points[2][0], points[2][1], points[2][2]};
  return true;
}

DWORD VESSEL::GetNavCount() const {
  const int count = sdk_bridge::VesselNavCount(hVessel);
  return count > 0 ? static_cast<DWORD>(count) : 0;
}

NAVHANDLE VESSEL::GetNavSource(DWORD receiver) const {
  return sdk_bridge::VesselNavSource(hVessel, static_cast<int>(receiver));
}

// ---- Bodies, bases, radio, messages --------------------------------------

VESSEL* oapiGetFocusInterface() { return module_side::VesselOf(sdk_bridge::FocusVessel()); }

bool oapiGetFocusHeading(double* heading) { return heading != nullptr && sdk_bridge::FocusHeading(*heading); }

DWORD oapiGetBaseCount(OBJHANDLE hPlanet) {
  const int count = sdk_bridge::BaseCount(hPlanet);
  return count > 0 ? static_cast<DWORD>(count) : 0;
}

DWORD oapiGetBasePadCount(OBJHANDLE hBase) {
  const int count = sdk_bridge::BasePadCount(hBase);
  return count > 0 ? static_cast<DWORD>(count) : 0;
}

bool oapiGetBasePadEquPos(OBJHANDLE hBase, DWORD pad, double* lng, double* lat, double* rad) {
  return sdk_bridge::BasePadEquPos(hBase, static_cast<int>(pad), lng, lat, rad);
}

// The real record carries the identifier as a pointer to the host's text.
void oapiGetNavData(NAVHANDLE hNav, NAVDATA* data) {
  if (data == nullptr) return;
  const sdk_bridge::NavSummary nav = sdk_bridge::NavData(hNav);
  *data = NAVDATA{};
  data->type = static_cast<DWORD>(nav.type);
  std::snprintf(data->id, sizeof data->id, "%s", nav.identifier != nullptr ? nav.identifier : "");
  data->vor.hPlanet = nav.body;
  data->vor.lng = nav.longitudeRad;
  data->vor.lat = nav.latitudeRad;
}

// ---- Registration ---------------------------------------------------------

int oapiRegisterMFDMode(MFDMODESPECEX& modeSpec) {
  RegisteredMode& mode = Modes().emplace_back();
  mode.record = modeSpec;
  mode.id = sdk_bridge::RegisterMode(modeSpec.name, static_cast<int>(modeSpec.key), &mode);
  return mode.id;
}

bool oapiUnregisterMFDMode(int id) {
  Modes().remove_if([id](const RegisteredMode& mode) { return mode.id == id; });
  return sdk_bridge::UnregisterMode(id);
}

void oapiRegisterModule(oapi::Module* module) {
  if (module == nullptr) return;
  std::unique_ptr<ModuleAdapter>& adapter = ModuleAdapters()[module];
  if (adapter) return;
  adapter = std::make_unique<ModuleAdapter>(module);
  sdk_bridge::RegisterModule(adapter.get(), module->GetModule());
}

// ---- Module base classes --------------------------------------------------

namespace oapi {

Module::~Module() {
  const auto found = ModuleAdapters().find(this);
  if (found == ModuleAdapters().end()) return;
  sdk_bridge::UnregisterModule(found->second.get());
  ModuleAdapters().erase(found);
}

}  // namespace oapi

}  // namespace host_interface
