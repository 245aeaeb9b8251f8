// The per-step cost of waypoint sequencing against the simulated host, and
// the cost of a display's pull and push of a long route. Every heap
// allocation in the program is counted, so that a step that allocates shows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <numbers>
#include <string>

#include "geodesy/body_constants.h"
#include "nav/route_registry.h"
#include "nav/waypoint_sequencing.h"
#include "simhost/sim_host.h"

namespace {

std::uint64_t allocationCount = 0;

void* CountedAllocation(std::size_t bytes, std::size_t alignment) {
  ++allocationCount;
  const std::size_t size = bytes == 0 ? 1 : bytes;
  void* p = alignment <= alignof(std::max_align_t)
                ? std::malloc(size)
                : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t bytes) { return CountedAllocation(bytes, 0); }
void* operator new[](std::size_t bytes) { return CountedAllocation(bytes, 0); }
void* operator new(std::size_t bytes, std::align_val_t a) { return CountedAllocation(bytes, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t bytes, std::align_val_t a) {
  return CountedAllocation(bytes, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

constexpr int kWaypointsPerRoute = 50;
using geodesy::kEarthRadiusMetres;

enum class Traffic {
  Cruising,    // every current waypoint out of reach: the index never moves
  Sequencing,  // every waypoint reached: the index moves on every step and loops
};

Waypoint MakeWaypoint(double latitude, double longitude, double radius, std::int32_t task, std::int32_t target) {
  Waypoint w;
  w.latitude = latitude;
  w.longitude = longitude;
  w.acceptRadius = radius;
  w.task = task;
  w.loopTarget = target;
  w.description = "Report over the river bend";
  return w;
}

// routes vessels spread over the Earth, each with its own 50-waypoint route;
// the first vessel has the focus.
void BuildWorld(int routes, Traffic traffic) {
  simhost::Host& host = simhost::host();
  host.Reset();
  ClearRoutes();
  simhost::Body& earth = host.AddBody("Earth", kEarthRadiusMetres);
  vesselRoutes.reserve(static_cast<std::size_t>(routes));
  for (int i = 0; i < routes; ++i) {
    simhost::VesselSpec vesselSpec;
    vesselSpec.name = "Vessel " + std::to_string(i);
    vesselSpec.body = &earth;
    vesselSpec.position = {0.001 * (i % 1000) - 0.5, 0.0005 * i - 2.0};
    vesselSpec.altitudeMetres = 1500.0;
    vesselSpec.airspeed = 120.0;
    simhost::Vessel& vessel = host.AddVessel(vesselSpec);

    VesselRoute route;
    route.vessel = vessel.iface.get();
    route.vesselHandle = route.vessel->GetHandle();
    route.displays.push_back({1, 0, 0.2, 2000});
    for (int k = 0; k < kWaypointsPerRoute; ++k) {
      const bool last = k == kWaypointsPerRoute - 1;
      if (traffic == Traffic::Cruising) {
        route.waypoints.push_back(MakeWaypoint(vesselSpec.position.latitudeRad + 0.01 * (k + 1),
                                               vesselSpec.position.longitudeRad, 1000.0, Turn, 0));
      } else {
        route.waypoints.push_back(MakeWaypoint(vesselSpec.position.latitudeRad, vesselSpec.position.longitudeRad, 1000.0,
                                               last ? Loop : Turn, 0));
      }
    }
    vesselRoutes.push_back(std::move(route));
  }
}

void BM_StepRoutes(benchmark::State& state, Traffic traffic) {
  const int routes = static_cast<int>(state.range(0));
  BuildWorld(routes, traffic);
  StepRoutes();  // warm the caches
  const std::uint64_t allocationsBefore = allocationCount;
  for (auto _ : state) {
    StepRoutes();
    benchmark::ClobberMemory();
  }
  const double allocations = static_cast<double>(allocationCount - allocationsBefore);
  state.counters["per_route"] =
      benchmark::Counter(routes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_step"] = benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
  state.counters["index_of_route_0"] = static_cast<double>(vesselRoutes[0].currentIndex);
  ClearRoutes();
  simhost::host().Reset();
}

BENCHMARK_CAPTURE(BM_StepRoutes, Cruising, Traffic::Cruising)->Arg(1)->Arg(100)->Arg(10000);
BENCHMARK_CAPTURE(BM_StepRoutes, Sequencing, Traffic::Sequencing)->Arg(1)->Arg(100)->Arg(10000);

// One display's key press or redraw on a 10,000-waypoint route: the whole
// record copied out and back.
void BM_PullPushRoute(benchmark::State& state) {
  const auto waypoints = static_cast<std::size_t>(state.range(0));
  BuildWorld(1, Traffic::Cruising);
  vesselRoutes[0].waypoints.resize(waypoints, vesselRoutes[0].waypoints.front());
  vesselRoutes[0].runways.resize(20);
  VesselRoute copy;
  PullRoute(1, 400, copy);  // the display's first pull sizes its copy
  const std::uint64_t allocationsBefore = allocationCount;
  for (auto _ : state) {
    PullRoute(1, 400, copy);
    PushRoute(1, copy);
    benchmark::DoNotOptimize(copy.waypoints.data());
  }
  const double allocations = static_cast<double>(allocationCount - allocationsBefore);
  state.counters["allocs_per_pull_push"] = benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
  state.counters["per_waypoint"] = benchmark::Counter(static_cast<double>(waypoints),
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
  ClearRoutes();
  simhost::host().Reset();
}

BENCHMARK(BM_PullPushRoute)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
