#include "route_tool/planner/planner_map.h"

#include <optional>
#include <unordered_map>

#include "geodesy/angles.h"
#include "route/route_file_reader.h"
#include "route_tool/formats/route_gpx.h"
#include "route_tool/plan/route_plan.h"
#include "route_tool/plan/display_list_painter.h"

namespace route_tool {
namespace {

nlohmann::json PxOf(const PlanFit& fit, PlanMetres at) {
  return {ListedPx(fit.XPx(at.eastMetres)), ListedPx(fit.YPx(at.northMetres))};
}

// The centre of runway index as the module computes it, when its line was read.
std::optional<RoutePoint> RunwayCentre(const ReadTrace& trace, const RunwayList& runways, std::size_t index) {
  if (index >= trace.runways.size() || index >= runways.size() || !trace.runways[index].read) return std::nullopt;
  return RoutePoint{runways[index].centerLatitude / geodesy::kRadiansPerDegree,
                    runways[index].centerLongitude / geodesy::kRadiansPerDegree};
}

// The place a waypoint line names, when its point or runway was read.
std::optional<RoutePoint> PlaceNamed(const ReadTrace& trace, const RunwayList& runways,
                                     const ReadTrace::WaypointLine& waypoint) {
  if (waypoint.index < 0) return std::nullopt;
  const auto index = static_cast<std::size_t>(waypoint.index);
  if (waypoint.onRunway) return RunwayCentre(trace, runways, index);
  if (index >= trace.points.size() || !trace.points[index].read) return std::nullopt;
  return trace.points[index].point;
}

}  // namespace

void PlaceProblems(const RouteInput& input, nlohmann::json& problems) {
  // Most edits have no problem on a line: they are spared the second read.
  const bool anyLine = std::any_of(problems.begin(), problems.end(),
                                   [](const nlohmann::json& p) { return p.value("line", 0) > 0; });
  if (!anyLine) return;
  ReadTrace trace;
  RouteFileReader reader(&trace, true);
  reader.SetReportEcho(DiscardEcho);
  reader.ParseRouteBytes(input.bytes, input.tooLarge);
  const FileLines lines(input.bytes, trace.origins);
  std::unordered_map<std::size_t, RoutePoint> placeOfLine;
  for (const ReadTrace::PointLine& point : trace.points)
    if (point.read) placeOfLine[lines.PlaceOf(reader.fileText, point.line.text).line] = point.point;
  for (std::size_t i = 0; i < trace.runways.size(); ++i)
    if (const std::optional<RoutePoint> centre = RunwayCentre(trace, reader.runways, i))
      placeOfLine[lines.PlaceOf(reader.fileText, trace.runways[i].line.text).line] = *centre;
  for (const ReadTrace::WaypointLine& waypoint : trace.waypoints)
    if (const std::optional<RoutePoint> at = PlaceNamed(trace, reader.runways, waypoint))
      placeOfLine[lines.PlaceOf(reader.fileText, waypoint.line.text).line] = *at;
  for (nlohmann::json& problem : problems) {
    const auto at = placeOfLine.find(problem.value("line", std::size_t{0}));
    if (at == placeOfLine.end()) continue;
    problem["lat"] = at->second.latitude;
    problem["lon"] = at->second.longitude;
  }
}

nlohmann::json MapOfSource(const RouteSource& source, const std::string& title) {
  const RoutePlan plan = MakeRoutePlan(source, title);
  const LocalProjection& projection = plan.projection;
  // One degree east at the centre, measured by the projection itself.
  const double eastMetresPerDeg =
      projection.ToPlan(projection.Latitude0Rad(), projection.Longitude0Rad() + geodesy::kRadiansPerDegree).eastMetres;
  const PlanFit& fit = plan.fit;
  nlohmann::json waypoints = nlohmann::json::array();
  for (const PlanWaypoint& w : plan.waypoints) waypoints.push_back(PxOf(fit, w.at));
  nlohmann::json points = nlohmann::json::array();
  for (const PlanMetres& p : plan.points) points.push_back(PxOf(fit, p));
  nlohmann::json runways = nlohmann::json::array();
  for (const PlanRunway& r : plan.runways) {
    nlohmann::json ends = PxOf(fit, r.end1);
    ends.push_back(ListedPx(fit.XPx(r.end2.eastMetres)));
    ends.push_back(ListedPx(fit.YPx(r.end2.northMetres)));
    runways.push_back(std::move(ends));
  }
  return {{"drawing", DisplayListOfPlan(plan)},
         {"widthPx", kCanvasWidthPx},
         {"heightPx", kCanvasHeightPx},
         {"projection",
          {{"latitude0Deg", projection.Latitude0Rad() / geodesy::kRadiansPerDegree},
           {"longitude0Deg", projection.Longitude0Rad() / geodesy::kRadiansPerDegree},
           {"eastMetresPerDeg", eastMetresPerDeg},
           {"northMetresPerDeg", projection.RadiusMetres() * geodesy::kRadiansPerDegree}}},
         {"fit",
          {{"frameLeftPx", fit.frame.leftPx},
           {"frameTopPx", fit.frame.topPx},
           {"frameWidthPx", fit.frame.widthPx},
           {"frameHeightPx", fit.frame.heightPx},
           {"pxPerMetre", fit.scalePxPerMetre},
           {"centreEastMetres", fit.centre.eastMetres},
           {"centreNorthMetres", fit.centre.northMetres}}},
         {"waypointsPx", std::move(waypoints)},
         {"pointsPx", std::move(points)},
         {"runwaysPx", std::move(runways)}};
}

}  // namespace route_tool
