#include "route_tool/planner/planner_preview.h"

#include <algorithm>

#include "geodesy/angles.h"
#include "geodesy/body_constants.h"
#include "page_pictures/page_picture.h"
#include "route_tool/core/route_legs.h"
#include "route_tool/formats/route_gpx.h"
#include "simhost/sim_host.h"

namespace route_tool {

bool IsModuleRange(std::uint32_t rangeMetres) {
  if (rangeMetres == 250 || rangeMetres == 500 || rangeMetres == 1000) return true;
  for (std::uint64_t range = 2000; range <= 131072000; range *= 2)
    if (range == rangeMetres) return true;
  return false;
}

PreviewPictures PreviewPages(const RouteSource& source, const PreviewRequest& request) {
  PreviewPictures pictures;
  simhost::Host& host = simhost::host();
  host.Reset();
  host.KeepLogLines(false);
  simhost::Body& earth = host.AddBody("Earth", geodesy::kEarthRadiusMetres);
  simhost::VesselSpec vessel;
  vessel.name = "Planner";
  vessel.body = &earth;
  vessel.position = {request.latitudeDeg * geodesy::kRadiansPerDegree, request.longitudeDeg * geodesy::kRadiansPerDegree};
  vessel.headingRad = request.headingDeg * geodesy::kRadiansPerDegree;
  host.AddVessel(vessel);
  {
    TarvikMFD display(kPreviewDisplayPx, kPreviewDisplayPx, host.Focus()->iface.get(), 1);
    VesselRoute route;
    route.waypoints = source.waypoints;
    route.runways = source.runways;
    route.currentIndex = static_cast<std::uint32_t>(std::min(request.currentWaypoint, source.waypoints.size() - 1));
    page_pictures::ShowRoute(display, std::move(route));
    simhost::CairoSurface picture(kPreviewDisplayPx, kPreviewDisplayPx);
    page_pictures::DrawPage(display, Graphical, request.rangeMetres, picture);
    const bool map = page_pictures::PngBytes(picture, pictures.mapPng);
    page_pictures::DrawPage(display, List, request.rangeMetres, picture);
    if (!map || !page_pictures::PngBytes(picture, pictures.listPng)) pictures.why = "Cairo cannot write the pictures";
  }
  ClearRoutes();
  host.Reset();
  return pictures;
}

}  // namespace route_tool
