// The host's module class. The host calls these slots on its simulation
// thread once the object is registered with oapiRegisterModule; each slot
// not overridden does nothing. The defaults are defined here, once for both
// hosts; only the destructor, which unregisters the object, is each host's.
#pragma once

#include "host/host_types.h"

inline namespace host_interface {

namespace oapi {

class ModuleNV {
 public:
  explicit ModuleNV(HINSTANCE hDLL) : hModule(hDLL) {}
  virtual ~ModuleNV() = default;
  HINSTANCE GetModule() const { return hModule; }

 protected:
  HINSTANCE hModule;
};

class Module : public ModuleNV {
 public:
  explicit Module(HINSTANCE hDLL) : ModuleNV(hDLL) {}
  ~Module() override;
  virtual void clbkRunStart(int /*mode*/) {}
  virtual void clbkRunEnd() {}
  // simt: simulation time [s], simdt: step [s], mjd: date [days]
  virtual void clbkPreStep(double /*simt*/, double /*simdt*/, double /*mjd*/) {}
  virtual void clbkStepDone(double /*simt*/, double /*simdt*/, double /*mjd*/) {}
  virtual void clbkTimeJump(double /*simt*/, double /*simdt*/, int /*mode*/) {}
  virtual void clbkFocusChanged(OBJHANDLE /*newFocus*/, OBJHANDLE /*oldFocus*/) {}
  virtual void clbkTimeAccChanged(double /*newWarp*/, double /*oldWarp*/) {}
  virtual void clbkNewVessel(OBJHANDLE /*hVessel*/) {}
  // Called before the vessel is destroyed: its interface is still valid
  // during the call, and must not be used after it.
  virtual void clbkDeleteVessel(OBJHANDLE /*hVessel*/) {}
  virtual void clbkVesselJump(OBJHANDLE /*hVessel*/) {}
  virtual void clbkPause(bool /*pause*/) {}
};

}  // namespace oapi

}  // namespace host_interface
