#include "route_tool/formats/route_geojson.h"

#include <nlohmann/json.hpp>

#include "route_tool/formats/json_writer.h"
#include "route_tool/formats/route_gpx.h"

namespace route_tool {

namespace {

using Json = nlohmann::ordered_json;

Json Position(const route_tool::PlaceDeg& place) {
  return Json::array({route_tool::NormalizedLongitudeDeg(place.longitudeDeg), place.latitudeDeg});
}

Json Feature(const char* kind, Json geometry, Json properties) {
  Json feature = {{"type", "Feature"}, {"geometry", std::move(geometry)}};
  Json all = {{"kind", kind}};
  all.update(properties);
  feature["properties"] = std::move(all);
  return feature;
}

Json Line(const route_tool::PlaceDeg& from, const route_tool::PlaceDeg& to) {
  return {{"type", "LineString"}, {"coordinates", Json::array({Position(from), Position(to)})}};
}

}  // namespace

std::string GeoJsonText(const RouteSource& source) {
  Json features = Json::array();
  const std::size_t count = source.waypoints.size();
  for (std::size_t i = 0; i < count; ++i) {
    const Waypoint& waypoint = source.waypoints[i];
    const WaypointReference& reference = source.references[i];
    // Waypoints are numbered from 1 as the display shows them; so is the
    // waypoint where a loop continues.
    const Json loopTarget = waypoint.task == Loop ? Json(waypoint.loopTarget + 1) : Json(nullptr);
    features.push_back(Feature("waypoint",
                               {{"type", "Point"}, {"coordinates", Position(route_tool::WaypointPlaceDeg(source, i))}},
                               {{"number", i + 1},
                                {"task", TaskKeyword(waypoint.task)},
                                {"acceptRadiusMetres", waypoint.acceptRadius},
                                {"altitudeMetres", waypoint.altitude},
                                {"speedMetresPerSecond", waypoint.speed},
                                {"description", waypoint.description},
                                {"loopTarget", loopTarget},
                                {"reference",
                                 {{"type", reference.onRunway ? "RUNWAY" : "POINT"}, {"index", reference.index}}}}));
  }
  const auto addLeg = [&](std::size_t from, std::size_t to, bool loop) {
    features.push_back(Feature(
        "leg", Line(route_tool::WaypointPlaceDeg(source, from), route_tool::WaypointPlaceDeg(source, to)),
        {{"from", from + 1}, {"to", to + 1}, {"loop", loop}}));
  };
  for (std::size_t i = 0; i + 1 < count; ++i) addLeg(i, i + 1, false);
  for (std::size_t i = 0; i < count; ++i)
    if (source.waypoints[i].task == Loop) addLeg(i, static_cast<std::size_t>(source.waypoints[i].loopTarget), true);

  for (std::size_t i = 0; i < source.runwayEnds.size(); ++i) {
    const RoutePoint& end1 = source.points[static_cast<std::size_t>(source.runwayEnds[i].end1Point)];
    const RoutePoint& end2 = source.points[static_cast<std::size_t>(source.runwayEnds[i].end2Point)];
    features.push_back(Feature("runway",
                               Line({end1.latitude, end1.longitude}, {end2.latitude, end2.longitude}),
                               {{"index", i},
                                {"end1Point", source.runwayEnds[i].end1Point},
                                {"end2Point", source.runwayEnds[i].end2Point}}));
  }
  const Json document = {{"type", "FeatureCollection"}, {"features", std::move(features)}};
  return JsonDocumentText(document, 2) + "\n";
}

}  // namespace route_tool
