// tarvik-route on inputs that grow in one direction only: a route file of
// nothing but faulty lines (check), one waypoint with a very long
// description (draw) and a GPX file whose root has as many attributes as
// it has points (import). Each runs at two sizes ten times apart; the
// fitted complexity shows whether the time grows with the input or faster.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "surfaces/cairo_surface.h"
#include "route_tool/core/route_check.h"
#include "route_tool/formats/route_gpx.h"
#include "route_tool/plan/route_plan.h"
#include "route_tool/plan/route_plan_drawing.h"
#include "route_tool/core/route_source.h"

namespace {

using namespace route_tool;

// A file in the temporary folder, removed when it goes.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& bytes) {
    char name[] = "/tmp/tarvik-bench-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return;
    path_ = name;
    written_ = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
  }
  ~TemporaryFile() {
    if (!path_.empty()) unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  bool Written() const { return written_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool written_ = false;
};

// Every POINTS line fails to convert; the other sections are empty.
std::string FaultyPointLines(std::size_t lines) {
  std::string text = "BEGIN_POINTS\n";
  for (std::size_t i = 0; i < lines; ++i) text += "x y\n";
  return text + "END_POINTS\nBEGIN_RUNWAYS\nEND_RUNWAYS\nBEGIN_WAYPOINTS\nEND_WAYPOINTS\n";
}

void BM_CheckFaultyLines(benchmark::State& state) {
  const auto lines = static_cast<std::size_t>(state.range(0));
  const TemporaryFile file(FaultyPointLines(lines));
  if (!file.Written()) return state.SkipWithError("cannot write the route file");
  for (auto _ : state) {
    const RouteCheck check = CheckRouteFile(file.Path());
    if (check.ErrorCount() < lines) return state.SkipWithError("not every faulty line was reported");
    benchmark::DoNotOptimize(check.diagnostics.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CheckFaultyLines)->Arg(4'000)->Arg(40'000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

std::string LongDescriptionRoute(std::size_t characters) {
  return "BEGIN_POINTS\n-80.6 28.6\n-80.7 28.5\nEND_POINTS\nBEGIN_RUNWAYS\n0 1\nEND_RUNWAYS\nBEGIN_WAYPOINTS\n"
         "POINT 0 TURN 500 1000 100 \"" +
         std::string(characters, 'a') + "\"\nRUNWAY 0 LAND 500\nEND_WAYPOINTS\n";
}

void BM_DrawLongDescription(benchmark::State& state) {
  const auto characters = static_cast<std::size_t>(state.range(0));
  const TemporaryFile file(LongDescriptionRoute(characters));
  if (!file.Written()) return state.SkipWithError("cannot write the route file");
  const RouteSource source = ReadRouteSource(file.Path());
  if (source.errorFlag || source.waypoints.size() != 2 || source.waypoints[0].description.size() != characters)
    return state.SkipWithError("the route was not read with its description");
  const route_tool::RoutePlan plan = route_tool::MakeRoutePlan(source, "bench");
  for (auto _ : state) {
    std::string bytes;
    std::string why;
    if (!route_tool::RenderRoutePlan(plan, route_tool::PictureFormat::Svg, bytes, why))
      return state.SkipWithError("the plan was not drawn");
    // The legend shows the description cut short with an ellipsis.
    if (bytes.find("aaaa\xE2\x80\xA6") == std::string::npos) return state.SkipWithError("no shortened description");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetComplexityN(state.range(0));
  simhost::ReleaseCairoStaticData();
}
BENCHMARK(BM_DrawLongDescription)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// As many attributes on the root as route points below it.
std::string GpxWithRootAttributes(std::size_t count) {
  std::string text = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"bench\"";
  for (std::size_t i = 0; i < count; ++i) text += " a" + std::to_string(i) + "=\"v\"";
  text += " xmlns=\"http://www.topografix.com/GPX/1/1\">\n<rte>";
  for (std::size_t i = 0; i < count; ++i) text += "<rtept lat=\"28.6\" lon=\"-80.6\"><name>A</name></rtept>\n";
  return text + "</rte></gpx>\n";
}

void BM_ImportGpxRootAttributes(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::string bytes = GpxWithRootAttributes(count);
  for (auto _ : state) {
    const route_tool::GpxImport imported = route_tool::DraftFromGpx(bytes, "bench.gpx", 500.0);
    if (!imported.ok || imported.draft.waypoints.size() != count)
      return state.SkipWithError("the GPX route was not imported whole");
    benchmark::DoNotOptimize(imported.draft.waypoints.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ImportGpxRootAttributes)
    ->Arg(4'000)
    ->Arg(40'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
