// One route record per vessel, in one module-wide ordered list. Displays
// copy the focus vessel's record out at the start of every key and redraw
// and copy it back at the end; sequencing changes the records in place.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_types.h"
#include "host/vessel.h"
#include "route/route_records.h"

// The settings of one display for one vessel.
struct DisplayState {
  std::uint32_t displayId = 0;
  std::int32_t page = 0;   // a DisplayPage
  double scale = 0.0;      // [pixels/m] = display height / range
  std::uint32_t range = 2000;  // [m] shown over the display height
};

struct VesselRoute {
  WaypointList waypoints;
  RunwayList runways;
  std::vector<DisplayState> displays;  // one per display, in order of first use
  std::uint32_t currentIndex = 0;
  VESSEL* vessel = nullptr;  // not owned; may be null
  OBJHANDLE vesselHandle = nullptr;  // the key
  std::uint32_t selectedFile = 0;
  std::uint32_t fileCount = 0;
  std::int32_t colorScheme = 0;
};

extern std::vector<VesselRoute> vesselRoutes;

// Copies the focus vessel's record into route, creating the record and the
// display's DisplayState when missing.
void PullRoute(std::uint32_t displayId, int displayHeight, VesselRoute& route);
// Copies route over the focus vessel's record if it has this display.
void PushRoute(std::uint32_t displayId, const VesselRoute& route);
void ClearRoutes();
// The host is deleting this vessel: its record goes with it.
void ForgetVessel(OBJHANDLE vesselHandle);
