// What the module will show: its map page and waypoint table for a vessel
// at a place and heading, the route loaded and one waypoint current,
// drawn by the module's own code through the simulated host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "route_tool/core/route_source.h"

namespace route_tool {

// The module's square display, as render_pages draws it.
inline constexpr int kPreviewDisplayPx = 400;

struct PreviewRequest {
  double latitudeDeg = 0.0;
  double longitudeDeg = 0.0;
  double headingDeg = 0.0;
  std::uint32_t rangeMetres = 2000;  // one of the module's zoom levels
  std::size_t currentWaypoint = 0;
};

// True when rangeMetres is a range the module's zoom reaches: 2000 m
// halved down to 250 m or doubled up to 131,072 km.
bool IsModuleRange(std::uint32_t rangeMetres);

struct PreviewPictures {
  std::string mapPng;   // the map page
  std::string listPng;  // the waypoint table
  std::string why;      // empty when both were drawn
};

// For a route read without error. Resets the simulated host's world.
PreviewPictures PreviewPages(const RouteSource& source, const PreviewRequest& request);

}  // namespace route_tool
