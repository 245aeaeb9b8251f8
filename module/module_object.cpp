#include "module/module_object.h"

#include "nav/route_registry.h"
#include "nav/waypoint_sequencing.h"

Mymod::Mymod(HINSTANCE hDLL) : oapi::Module(hDLL) {}

void Mymod::clbkRunEnd() { ClearRoutes(); }

void Mymod::clbkStepDone(double, double, double) { StepRoutes(); }

void Mymod::clbkDeleteVessel(OBJHANDLE hVessel) { ForgetVessel(hVessel); }
