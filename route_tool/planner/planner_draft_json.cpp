#include "route_tool/planner/planner_draft_json.h"

#include <cstdint>

namespace route_tool {
namespace {

using nlohmann::json;

// Reads one field of an entry, naming it in why when it is missing or of
// another kind.
class Fields {
 public:
  Fields(const json& entry, std::string where, std::string& why) : entry_(entry), where_(std::move(where)), why_(why) {}

  bool Number(const char* name, double& value) {
    const json* field = Find(name, true);
    if (field == nullptr) return false;
    if (!field->is_number()) return Wrong(name, "a number");
    value = field->get<double>();
    return true;
  }
  bool Index(const char* name, std::int32_t& value, bool required = true) {
    const json* field = Find(name, required);
    if (field == nullptr) return !required && why_.empty();
    if (!field->is_number_integer()) return Wrong(name, "a whole number");
    const auto wide = field->get<std::int64_t>();
    if (wide < INT32_MIN || wide > INT32_MAX) return Wrong(name, "a whole number in range");
    value = static_cast<std::int32_t>(wide);
    return true;
  }
  bool Text(const char* name, std::string& value, bool required = false) {
    const json* field = Find(name, required);
    if (field == nullptr) return !required && why_.empty();
    if (!field->is_string()) return Wrong(name, "a text");
    value = field->get<std::string>();
    return true;
  }
  bool Flag(const char* name, bool& value) {
    const json* field = Find(name, false);
    if (field == nullptr) return why_.empty();
    if (!field->is_boolean()) return Wrong(name, "true or false");
    value = field->get<bool>();
    return true;
  }

 private:
  const json* Find(const char* name, bool required) {
    const auto it = entry_.find(name);
    if (it != entry_.end() && !it->is_null()) return &*it;
    if (required) why_ = where_ + ": \"" + name + "\" is missing";
    return nullptr;
  }
  bool Wrong(const char* name, const char* kind) {
    why_ = where_ + ": \"" + name + "\" must be " + kind;
    return false;
  }
  const json& entry_;
  std::string where_;
  std::string& why_;
};

bool Entries(const json& draft, const char* name, std::string& why, const json*& list) {
  const auto it = draft.find(name);
  if (it == draft.end() || !it->is_array()) {
    why = std::string("the draft needs a list \"") + name + "\"";
    return false;
  }
  for (const json& entry : *it) {
    if (!entry.is_object()) {
      why = std::string("every entry of \"") + name + "\" must be an object";
      return false;
    }
  }
  list = &*it;
  return true;
}

bool ReadWaypoint(const json& entry, std::size_t i, RouteFileDraft::WaypointLine& line, std::string& why) {
  Fields fields(entry, "waypoint " + std::to_string(i + 1), why);
  std::string task;
  if (!fields.Flag("runway", line.onRunway) || !fields.Index("index", line.index) ||
      !fields.Text("task", task, true) || !fields.Index("loop", line.loopTarget, false) ||
      !fields.Number("radius", line.acceptRadiusMetres) || !fields.Number("altitude", line.altitudeMetres) ||
      !fields.Number("speed", line.speedMetresPerSecond) || !fields.Text("description", line.description) ||
      !fields.Text("comment", line.comment))
    return false;
  if (!TaskFromKeyword(task, line.task)) {
    why = "waypoint " + std::to_string(i + 1) + ": \"task\" must be TURN, LOOP, TAKEOFF or LAND";
    return false;
  }
  return true;
}

}  // namespace

bool DraftFromJson(const json& draft, RouteFileDraft& out, std::string& why) {
  if (!draft.is_object()) {
    why = "the draft must be an object";
    return false;
  }
  const json* points = nullptr;
  const json* runways = nullptr;
  const json* waypoints = nullptr;
  if (!Entries(draft, "points", why, points) || !Entries(draft, "runways", why, runways) ||
      !Entries(draft, "waypoints", why, waypoints))
    return false;
  RouteFileDraft result;
  for (std::size_t i = 0; i < points->size(); ++i) {
    RouteFileDraft::Point point;
    Fields fields((*points)[i], "point " + std::to_string(i), why);
    if (!fields.Number("lon", point.longitudeDeg) || !fields.Number("lat", point.latitudeDeg) ||
        !fields.Text("comment", point.comment))
      return false;
    result.points.push_back(std::move(point));
  }
  for (std::size_t i = 0; i < runways->size(); ++i) {
    RouteFileDraft::RunwayLine runway;
    Fields fields((*runways)[i], "runway " + std::to_string(i), why);
    if (!fields.Index("end1", runway.end1Point) || !fields.Index("end2", runway.end2Point) ||
        !fields.Text("comment", runway.comment))
      return false;
    result.runways.push_back(std::move(runway));
  }
  for (std::size_t i = 0; i < waypoints->size(); ++i) {
    RouteFileDraft::WaypointLine line;
    if (!ReadWaypoint((*waypoints)[i], i, line, why)) return false;
    result.waypoints.push_back(std::move(line));
  }
  out = std::move(result);
  return true;
}

json JsonOfSource(const RouteSource& source) {
  json points = json::array();
  for (const RoutePoint& point : source.points)
    points.push_back({{"lon", point.longitude}, {"lat", point.latitude}, {"comment", ""}});
  json runways = json::array();
  for (const RunwayEnds& ends : source.runwayEnds)
    runways.push_back({{"end1", ends.end1Point}, {"end2", ends.end2Point}, {"comment", ""}});
  json waypoints = json::array();
  for (std::size_t i = 0; i < source.waypoints.size() && i < source.references.size(); ++i) {
    const Waypoint& w = source.waypoints[i];
    waypoints.push_back({{"runway", source.references[i].onRunway},
                         {"index", source.references[i].index},
                         {"task", TaskKeyword(w.task)},
                         {"loop", w.loopTarget},
                         {"radius", w.acceptRadius},
                         {"altitude", w.altitude},
                         {"speed", w.speed},
                         {"description", w.description},
                         {"comment", ""}});
  }
  return {{"points", std::move(points)}, {"runways", std::move(runways)}, {"waypoints", std::move(waypoints)}};
}

}  // namespace route_tool
