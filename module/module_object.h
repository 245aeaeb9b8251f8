// The module object: the host drives waypoint sequencing and the end of a
// simulation run through it.
#pragma once

#include "host/module.h"

class Mymod : public oapi::Module {
 public:
  explicit Mymod(HINSTANCE hDLL);

  void clbkRunEnd() override;  // empties the route registry
  // simt, simdt [s] and mjd [days] are not needed: sequencing reads the
  // vessels' state as it is now.
  void clbkStepDone(double simt, double simdt, double mjd) override;
  // The vessel's record goes before the host destroys the vessel, so that
  // sequencing never reads a dead interface.
  void clbkDeleteVessel(OBJHANDLE hVessel) override;
};
