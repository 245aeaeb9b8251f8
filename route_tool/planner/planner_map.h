// The planner's map: the route drawn by draw's own code as a display list
// for the page's canvas, with what the page needs to turn a click into a
// place and to put a handle on each waypoint: the local projection and how
// it is fitted into the picture.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "route_tool/core/route_source.h"

namespace route_tool {

// For a route read without error:
//   {"drawing": [display list], "widthPx", "heightPx",
//    "projection": {"latitude0Deg", "longitude0Deg", "eastMetresPerDeg", "northMetresPerDeg"},
//    "fit": {"frameLeftPx", "frameTopPx", "frameWidthPx", "frameHeightPx", "pxPerMetre",
//            "centreEastMetres", "centreNorthMetres"},
//    "waypointsPx": [[x, y]...], "runwaysPx": [[x1, y1, x2, y2]...], "pointsPx": [[x, y]...]}
// The page goes from a pixel to a place by the fit and the projection:
//   east = centreEast + (x - frameLeft - frameWidth/2) / pxPerMetre, likewise north (y down),
//   latitude = latitude0 + north / northMetresPerDeg, longitude = longitude0 + east / eastMetresPerDeg.
nlohmann::json MapOfSource(const RouteSource& source, const std::string& title);

// Gives each problem ({"line", ...}) whose line holds a point, a runway,
// or a waypoint on a point or runway whose place is known, that place as
// "lat" and "lon" in degrees (a runway's centre), for a marker on the map. Reads
// past errors, so a waypoint line the module stops at still has its place.
void PlaceProblems(const RouteInput& input, nlohmann::json& problems);

}  // namespace route_tool
