// The module's own cost of one redraw of a display, map and table, on a
// route of 1,000 waypoints, against the simulated host and a sketchpad that
// only counts: what the real host adds to a frame, less its own drawing.
// The table with only the rows a display shows tells what the rows below
// its edge cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <utility>

#include "geodesy/angles.h"
#include "geodesy/body_constants.h"
#include "mfd/tarvik_mfd.h"
#include "nav/route_registry.h"
#include "simhost/sim_host.h"

namespace {

using geodesy::kEarthRadiusMetres;
constexpr double kDegree = geodesy::kRadiansPerDegree;
constexpr DWORD kDisplaySidePx = 366;  // the left display of a 1024x768 window

class CountingSketchpad : public oapi::Sketchpad {
 public:
  oapi::Font* SetFont(oapi::Font* font) override { return std::exchange(font_, font); }
  oapi::Pen* SetPen(oapi::Pen* pen) override { return std::exchange(pen_, pen); }
  DWORD SetTextColor(DWORD colour) override { return std::exchange(colour_, colour); }
  bool Text(int, int, const char*, int) override {
    ++texts;
    return true;
  }
  void MoveTo(int, int) override { ++shapes; }
  void LineTo(int, int) override { ++shapes; }
  void Line(int, int, int, int) override { ++shapes; }
  void Rectangle(int, int, int, int) override { ++shapes; }
  void Ellipse(int, int, int, int) override { ++shapes; }

  std::int64_t texts = 0;
  std::int64_t shapes = 0;

 private:
  oapi::Font* font_ = nullptr;
  oapi::Pen* pen_ = nullptr;
  DWORD colour_ = 0;
};

// A landed vessel at Cape Canaveral with the focus, and its route: a spiral
// of waypoints round it, the benchmark's own copy of the real-host cost run.
VESSEL* BuildWorld(int waypoints) {
  simhost::Host& host = simhost::host();
  host.Reset();
  ClearRoutes();
  simhost::Body& earth = host.AddBody("Earth", kEarthRadiusMetres);
  simhost::VesselSpec vesselSpec;
  vesselSpec.name = "PB-01";
  vesselSpec.body = &earth;
  vesselSpec.position = {28.594722 * kDegree, -80.681146 * kDegree};
  simhost::Vessel& vessel = host.AddVessel(vesselSpec);

  VesselRoute route;
  route.vessel = vessel.iface.get();
  route.vesselHandle = route.vessel->GetHandle();
  for (int i = 0; i < waypoints; ++i) {
    const double angle = i * 0.2;
    const double radiusDeg = 0.002 + i * 0.00009;
    Waypoint w;
    w.latitude = (28.594722 + radiusDeg * std::sin(angle)) * kDegree;
    w.longitude = (-80.681146 + radiusDeg * std::cos(angle) / 0.878) * kDegree;
    w.acceptRadius = 50;
    w.altitude = 300;
    w.speed = 100;
    w.task = Turn;
    w.description = "Spiral";
    route.waypoints.push_back(w);
  }
  vesselRoutes.push_back(std::move(route));
  return vessel.iface.get();
}

void BM_Redraw(benchmark::State& state, DisplayPage page) {
  VESSEL* vessel = BuildWorld(static_cast<int>(state.range(0)));
  TarvikMFD display(kDisplaySidePx, kDisplaySidePx, vessel, 0);
  display.State().page = page;
  display.State().range = 32000;  // the real-host run's zoom
  display.PushRoute();
  CountingSketchpad pad;
  display.UpdateSketchpad(&pad);  // warm the caches
  pad.texts = pad.shapes = 0;
  for (auto _ : state) display.UpdateSketchpad(&pad);
  state.counters["texts"] = benchmark::Counter(static_cast<double>(pad.texts), benchmark::Counter::kAvgIterations);
  state.counters["shapes"] = benchmark::Counter(static_cast<double>(pad.shapes), benchmark::Counter::kAvgIterations);
  ClearRoutes();
  simhost::host().Reset();
}

// 14 rows fill a display's table; 1,000 is the real-host cost run's route.
BENCHMARK_CAPTURE(BM_Redraw, Table, List)->Arg(14)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Redraw, Map, Graphical)->Arg(14)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
