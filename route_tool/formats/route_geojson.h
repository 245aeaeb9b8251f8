// A route as a GeoJSON FeatureCollection (RFC 7946): a Point feature per
// waypoint, a LineString per leg and per runway, places [lon, lat] in
// degrees.
#pragma once

#include <string>

#include "route_tool/core/route_source.h"

namespace route_tool {

// The document of a route read without error. A LOOP waypoint's leg back
// to its target is a leg of its own, marked "loop": true.
std::string GeoJsonText(const RouteSource& source);

}  // namespace route_tool
