// Draws the three pages of a display in a sample world (a circuit around a
// base, the vessel climbing out towards the second waypoint) into PNG files, one per page, and
// a sheet of all three side by side.
//
//   render_pages [output folder]     (default: docs/images)
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "geodesy/body_constants.h"
#include "mfd/tarvik_mfd.h"
#include "nav/route_registry.h"
#include "page_pictures/page_picture.h"
#include "simhost/sim_host.h"
#include "surfaces/cairo_surface.h"

namespace {

constexpr int kDisplayPx = 400;
constexpr int kSheetGapPx = 12;
constexpr std::uint32_t kRangeMetres = 2000;
constexpr simhost::LatLon kBaseOrigin{0.4765, -1.4172};  // [rad]

// A point north and east of the base origin [m].
simhost::LatLon Local(double northMetres, double eastMetres) {
  return {kBaseOrigin.latitudeRad + northMetres / geodesy::kEarthRadiusMetres,
          kBaseOrigin.longitudeRad + eastMetres / (geodesy::kEarthRadiusMetres * std::cos(kBaseOrigin.latitudeRad))};
}

Waypoint MakeWaypoint(double north, double east, TaskKind task, double altitude, double speed, std::string name = "",
                      std::string description = "") {
  const simhost::LatLon at = Local(north, east);
  Waypoint w;
  w.latitude = at.latitudeRad;
  w.longitude = at.longitudeRad;
  w.acceptRadius = 150.0;
  w.altitude = altitude;
  w.speed = speed;
  w.task = task;
  w.name = std::move(name);
  w.description = std::move(description);
  return w;
}

void BuildWorld() {
  simhost::Host& host = simhost::host();
  simhost::Body& earth = host.AddBody("Earth", geodesy::kEarthRadiusMetres);
  host.AddBase(earth, "Brighton Beach", Local(-150.0, 0.0),
               {Local(-220.0, -120.0), Local(-220.0, -40.0), Local(-220.0, 40.0), Local(-220.0, 120.0)});
  simhost::Transmitter& vor = host.AddTransmitter(earth, TRANSMITTER_VOR, "BBV", Local(-450.0, 650.0));
  simhost::VesselSpec vesselSpec;
  vesselSpec.name = "GL-01";
  vesselSpec.body = &earth;
  vesselSpec.position = Local(-20.0, -180.0);
  vesselSpec.headingRad = 1.25;
  vesselSpec.altitudeMetres = 450.0;
  vesselSpec.airspeed = 88.0;
  vesselSpec.receivers = {&vor, nullptr};
  host.AddVessel(vesselSpec);
}

VesselRoute SampleRoute() {
  VesselRoute route;
  route.waypoints = {
      MakeWaypoint(0.0, -300.0, Takeoff, 0.0, 60.0, "", "Runway 09"),
      MakeWaypoint(0.0, 700.0, Turn, 300.0, 80.0),
      MakeWaypoint(450.0, 850.0, Turn, 500.0, 90.0, "ECHO"),
      MakeWaypoint(700.0, 100.0, Turn, 500.0, 90.0),
      MakeWaypoint(500.0, -750.0, Loop, 400.0, 85.0, "", "Second circuit"),
      MakeWaypoint(0.0, -520.0, Land, 0.0, 55.0, "", "Runway 09"),
  };
  const simhost::LatLon end1 = Local(0.0, -420.0);
  const simhost::LatLon end2 = Local(0.0, 420.0);
  route.runways.push_back({end1.latitudeRad, end1.longitudeRad, end2.latitudeRad, end2.longitudeRad,
                           RunwayCentre(end1.latitudeRad, end2.latitudeRad),
                           RunwayCentreLongitude(end1.longitudeRad, end2.longitudeRad)});
  route.currentIndex = 1;
  route.selectedFile = 1;
  route.fileCount = 4;
  return route;
}

// Redraws the display on one page and keeps the picture.
bool RenderPage(TarvikMFD& display, DisplayPage page, simhost::CairoSurface& picture, const std::filesystem::path& file) {
  page_pictures::DrawPage(display, page, kRangeMetres, picture);
  const bool written = picture.WritePng(file.string());
  std::printf("%s %s\n", written ? "wrote" : "could not write", file.string().c_str());
  return written;
}

// Renders every page and the sheet; true when all files were written and no
// redraw left a pen or font behind.
bool RenderAll(const std::filesystem::path& folder) {
  BuildWorld();
  TarvikMFD display(kDisplayPx, kDisplayPx, simhost::host().Focus()->iface.get(), 1);
  page_pictures::ShowRoute(display, SampleRoute());
  display.routeFiles = {"brighton_circuit.route", "coastal_tour.route", "night_landing.route", "polar_test.route"};

  struct Page {
    DisplayPage page;
    const char* file;
  };
  constexpr Page kPages[] = {{Graphical, "map.png"}, {List, "list.png"}, {FileSelect, "files.png"}};
  const int sheetWidthPx = 3 * kDisplayPx + 4 * kSheetGapPx;
  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sheetWidthPx, kDisplayPx + 2 * kSheetGapPx);
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.25, 0.25, 0.27);
  cairo_paint(cr);

  bool ok = true;
  simhost::CairoSurface picture(kDisplayPx, kDisplayPx);
  for (int i = 0; i < 3; ++i) {
    ok = RenderPage(display, kPages[i].page, picture, folder / kPages[i].file) && ok;
    cairo_set_source_surface(cr, picture.Raster(), kSheetGapPx + i * (kDisplayPx + kSheetGapPx), kSheetGapPx);
    cairo_paint(cr);
  }
  cairo_destroy(cr);
  const std::filesystem::path sheetFile = folder / "pages.png";
  ok = cairo_surface_write_to_png(sheet, sheetFile.string().c_str()) == CAIRO_STATUS_SUCCESS && ok;
  std::printf("wrote %s\n", sheetFile.string().c_str());
  cairo_surface_destroy(sheet);

  if (simhost::host().LivePens() != 0 || simhost::host().LiveFonts() != 0) {
    std::fprintf(stderr, "a redraw left %d pens and %d fonts\n", simhost::host().LivePens(), simhost::host().LiveFonts());
    ok = false;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "docs/images";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const bool ok = RenderAll(folder);
  ClearRoutes();
  simhost::ReleaseCairoStaticData();
  return ok ? 0 : 1;
}
