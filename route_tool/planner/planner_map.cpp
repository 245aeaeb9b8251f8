#include "route_tool/planner/planner_map.h"

#include "geodesy/angles.h"
#include "route_tool/formats/route_gpx.h"
#include "route_tool/plan/route_plan.h"
#include "route_tool/plan/route_plan_drawing.h"

namespace route_tool {
namespace {

nlohmann::json PxOf(const PlanFit& fit, PlanMetres at) { return {fit.XPx(at.eastMetres), fit.YPx(at.northMetres)}; }

}  // namespace

bool MapOfSource(const RouteSource& source, const std::string& title, nlohmann::json& map, std::string& why) {
  const RoutePlan plan = MakeRoutePlan(source, title);
  std::string svg;
  if (!RenderRoutePlan(plan, PictureFormat::Svg, svg, why)) return false;
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
    ends.push_back(fit.XPx(r.end2.eastMetres));
    ends.push_back(fit.YPx(r.end2.northMetres));
    runways.push_back(std::move(ends));
  }
  map = {{"svg", std::move(svg)},
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
  return true;
}

}  // namespace route_tool
