#include "nav/route_registry.h"

#include <algorithm>

#include "host/oapi.h"

// Constant-initialised: it exists before the library glue's attach step runs and
// is destroyed only after its detach step.
constinit std::vector<VesselRoute> vesselRoutes;

namespace {

constexpr std::uint32_t kInitialRangeMetres = 2000;

VesselRoute* FindRoute(OBJHANDLE vesselHandle) {
  for (VesselRoute& route : vesselRoutes)
    if (route.vesselHandle == vesselHandle) return &route;
  return nullptr;
}

bool HasDisplay(const VesselRoute& route, std::uint32_t displayId) {
  return std::any_of(route.displays.begin(), route.displays.end(),
                     [displayId](const DisplayState& d) { return d.displayId == displayId; });
}

DisplayState NewDisplayState(std::uint32_t displayId, int displayHeight) {
  DisplayState state;
  state.displayId = displayId;
  state.page = 0;
  state.scale = static_cast<double>(displayHeight) / 2000.0;
  state.range = kInitialRangeMetres;
  return state;
}

}  // namespace

// The display the call comes from plays no part in choosing the record: a
// display always works on the vessel that has the focus now.
void PullRoute(std::uint32_t displayId, int displayHeight, VesselRoute& route) {
  VESSEL* focus = oapiGetFocusInterface();
  // With no vessel left in the world there is no record to work on: the
  // display gets an empty copy that belongs to no vessel.
  if (focus == nullptr) {
    route = VesselRoute{};
    route.displays.push_back(NewDisplayState(displayId, displayHeight));
    return;
  }
  const OBJHANDLE focusHandle = focus->GetHandle();
  if (VesselRoute* existing = FindRoute(focusHandle)) {
    if (!HasDisplay(*existing, displayId)) existing->displays.push_back(NewDisplayState(displayId, displayHeight));
    route = *existing;
    return;
  }
  VesselRoute created;
  created.vessel = focus;
  created.vesselHandle = focusHandle;
  created.displays.push_back(NewDisplayState(displayId, displayHeight));
  route = created;
  vesselRoutes.push_back(std::move(created));
}

void PushRoute(std::uint32_t displayId, const VesselRoute& route) {
  const VESSEL* focus = oapiGetFocusInterface();
  if (focus == nullptr) return;
  VesselRoute* existing = FindRoute(focus->GetHandle());
  if (existing == nullptr || !HasDisplay(*existing, displayId)) return;
  *existing = route;
}

void ClearRoutes() { vesselRoutes.clear(); }

void ForgetVessel(OBJHANDLE vesselHandle) {
  std::erase_if(vesselRoutes, [vesselHandle](const VesselRoute& r) { return r.vesselHandle == vesselHandle; });
}
