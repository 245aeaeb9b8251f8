// A route file as a GPX 1.1 document.
#include <pugixml.hpp>

#include <cmath>
#include <sstream>

#include "route_tool/formats/gpx_text.h"
#include "route_tool/formats/route_gpx.h"

namespace route_tool {
namespace {

void SetNumber(pugi::xml_node node, const char* attribute, double value) {
  node.append_attribute(attribute).set_value(ShortestNumber(value).c_str());
}

void SetInteger(pugi::xml_node node, const char* attribute, std::int32_t value) {
  node.append_attribute(attribute).set_value(std::to_string(value).c_str());
}

void AppendRouteExtension(pugi::xml_node rte, const RouteSource& source) {
  pugi::xml_node route = rte.append_child("extensions").append_child("tarvik:route");
  for (const RoutePoint& point : source.points) {
    pugi::xml_node line = route.append_child("tarvik:point");
    SetNumber(line, "lat", point.latitude);
    SetNumber(line, "lon", NormalizedLongitudeDeg(point.longitude));
  }
  for (const RunwayEnds& ends : source.runwayEnds) {
    pugi::xml_node line = route.append_child("tarvik:runway");
    SetInteger(line, "end1Point", ends.end1Point);
    SetInteger(line, "end2Point", ends.end2Point);
    // The ends themselves as well, for readers that do not count points.
    const RoutePoint& end1 = source.points[static_cast<std::size_t>(ends.end1Point)];
    const RoutePoint& end2 = source.points[static_cast<std::size_t>(ends.end2Point)];
    SetNumber(line, "end1Lat", end1.latitude);
    SetNumber(line, "end1Lon", NormalizedLongitudeDeg(end1.longitude));
    SetNumber(line, "end2Lat", end2.latitude);
    SetNumber(line, "end2Lon", NormalizedLongitudeDeg(end2.longitude));
  }
}

void AppendWaypoint(pugi::xml_node rte, const RouteSource& source, std::size_t i) {
  const Waypoint& waypoint = source.waypoints[i];
  const WaypointReference& reference = source.references[i];
  const PlaceDeg place = WaypointPlaceDeg(source, i);
  pugi::xml_node rtept = rte.append_child("rtept");
  SetNumber(rtept, "lat", place.latitudeDeg);
  SetNumber(rtept, "lon", place.longitudeDeg);
  if (!waypoint.description.empty())
    rtept.append_child("name").text().set(ReadableXmlText(waypoint.description).c_str());

  pugi::xml_node extensions = rtept.append_child("extensions");
  pugi::xml_node ours = extensions.append_child("tarvik:waypoint");
  ours.append_attribute("reference").set_value(reference.onRunway ? "RUNWAY" : "POINT");
  SetInteger(ours, "index", reference.index);
  ours.append_attribute("task").set_value(TaskKeyword(waypoint.task));
  SetInteger(ours, "loopTarget", waypoint.loopTarget);
  if (!waypoint.description.empty())
    ours.append_attribute("description").set_value(ExactXmlText(waypoint.description).c_str());
  SetNumber(ours, "acceptRadiusMetres", waypoint.acceptRadius);
  SetNumber(ours, "altitudeMetres", waypoint.altitude);
  SetNumber(ours, "speedMetresPerSecond", waypoint.speed);
  extensions.append_child("opencpn:arrival_radius")
      .text()
      .set(ShortestNumber(waypoint.acceptRadius / kMetresPerNauticalMile).c_str());
}

}  // namespace

double NormalizedLongitudeDeg(double longitudeDeg) {
  double longitude = std::fmod(longitudeDeg, 360.0);
  if (longitude < -180.0) longitude += 360.0;
  else if (longitude >= 180.0) longitude -= 360.0;
  return longitude;
}

PlaceDeg RunwayCentreDeg(const RoutePoint& end1, const RoutePoint& end2) {
  return {RunwayCentre(end1.latitude * geodesy::kRadiansPerDegree, end2.latitude * geodesy::kRadiansPerDegree) * geodesy::kDegreesPerRadian,
          NormalizedLongitudeDeg(RunwayCentreLongitude(end1.longitude * geodesy::kRadiansPerDegree,
                                                       end2.longitude * geodesy::kRadiansPerDegree) *
                                 geodesy::kDegreesPerRadian)};
}

PlaceDeg WaypointPlaceDeg(const RouteSource& source, std::size_t waypoint) {
  const WaypointReference& reference = source.references[waypoint];
  const auto normalized = [&](std::int32_t index) {
    const RoutePoint& point = source.points[static_cast<std::size_t>(index)];
    return RoutePoint{point.latitude, NormalizedLongitudeDeg(point.longitude)};
  };
  if (!reference.onRunway) {
    const RoutePoint point = normalized(reference.index);
    return {point.latitude, point.longitude};
  }
  const RunwayEnds& ends = source.runwayEnds[static_cast<std::size_t>(reference.index)];
  return RunwayCentreDeg(normalized(ends.end1Point), normalized(ends.end2Point));
}

PlaceProblemFound PlaceProblem(const RouteSource& source) {
  // Runway centres lie between points, so the points decide.
  for (std::size_t i = 0; i < source.points.size(); ++i) {
    const RoutePoint& point = source.points[i];
    if (!std::isfinite(point.latitude) || std::fabs(point.latitude) > 90.0)
      return {i, "point " + std::to_string(i) + " has latitude " + ShortestNumber(point.latitude) +
                     ", not a number from -90 to 90"};
    if (!std::isfinite(point.longitude))
      return {i, "point " + std::to_string(i) + " has longitude " + ShortestNumber(point.longitude) +
                     ", not a finite number"};
  }
  return {};
}

std::string GpxText(const RouteSource& source, const std::string& routeName) {
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  declaration.append_attribute("encoding").set_value("UTF-8");

  pugi::xml_node gpx = document.append_child("gpx");
  gpx.append_attribute("xmlns").set_value(kGpx11Namespace);
  gpx.append_attribute("xmlns:tarvik").set_value(kTarvikNamespace);
  gpx.append_attribute("xmlns:opencpn").set_value(kOpenCpnNamespace);
  gpx.append_attribute("version").set_value("1.1");
  gpx.append_attribute("creator").set_value("tarvik-route");

  pugi::xml_node rte = gpx.append_child("rte");
  rte.append_child("name").text().set(ReadableXmlText(routeName).c_str());
  AppendRouteExtension(rte, source);
  for (std::size_t i = 0; i < source.waypoints.size(); ++i) AppendWaypoint(rte, source, i);

  std::ostringstream text;
  document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
  return text.str();
}

}  // namespace route_tool
