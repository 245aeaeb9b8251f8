// The route draft as the planner's page sends and shows it: points,
// runways and waypoints as JSON, to and from the writer's draft, and the
// draft as the module's reader gave it back.
//
//   {"points":   [{"lon": deg, "lat": deg, "comment": ""}],
//    "runways":  [{"end1": point, "end2": point, "comment": ""}],
//    "waypoints":[{"runway": false, "index": point or runway, "task": "TURN",
//                  "loop": waypoint, "radius": m, "altitude": m, "speed": m/s,
//                  "description": "", "comment": ""}]}
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "route_tool/core/route_file_writer.h"
#include "route_tool/core/route_source.h"

namespace route_tool {

// The writer's draft of the page's JSON; false with why (naming the
// field) when a field is missing or of the wrong kind. Comments and
// "loop" may be left out.
bool DraftFromJson(const nlohmann::json& json, RouteFileDraft& draft, std::string& why);

// What the module read, in the page's form: points in degrees as written,
// runways by their points, each waypoint by what it names. Comments are
// not read by the module and come back empty.
nlohmann::json JsonOfSource(const RouteSource& source);

}  // namespace route_tool
