// Speed of the route reader: whole files of 1,000 to 100,000 waypoints with
// the host log kept in memory, normalisation of blank-heavy texts, and a
// plain memchr scan for line feeds over the same bytes as the yardstick.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "route/route_file_reader.h"
#include "route/section_text.h"
#include "simhost/sim_host.h"

namespace {

// A route of the given number of waypoints, written as users write them:
// comments, tabs, descriptions, both reference kinds.
std::string RouteText(int waypoints) {
  const int points = waypoints;
  const int runways = waypoints / 10 + 1;
  std::string text = "BEGIN_POINTS\n# longitude latitude\n";
  char line[160];
  for (int i = 0; i < points; ++i) {
    std::snprintf(line, sizeof line, "%.6f\t%.6f  # point %d\n", -80.0 + i * 1e-4, 28.0 + i * 1e-4, i);
    text += line;
  }
  text += "END_POINTS\n\nBEGIN_RUNWAYS\n";
  for (int i = 0; i < runways; ++i) {
    std::snprintf(line, sizeof line, "%d %d\n", i, i + 1);
    text += line;
  }
  text += "END_RUNWAYS\n\nBEGIN_WAYPOINTS\n";
  static const char* const kTasks[] = {"TURN", "LOOP", "TAKEOFF", "LAND"};
  for (int i = 0; i < waypoints; ++i) {
    if (i % 2 == 0) {
      std::snprintf(line, sizeof line, "RUNWAY %d %s 500 0 0 \"Runway %d\"\n", i % runways, kTasks[i % 4], i);
    } else {
      std::snprintf(line, sizeof line, "POINT\t%d %s 2000.5 3000 250 \"Turn  at %d\" # leg %d\n", i, kTasks[i % 4],
                    i, i);
    }
    text += line;
  }
  text += "END_WAYPOINTS\n";
  return text;
}

// Words between runs of spaces, tabs and line feeds.
std::string MixedBlanks(std::size_t bytes) {
  std::mt19937 random(42);
  static const char kBlanks[] = {' ', ' ', ' ', '\t', '\t', '\n'};
  std::string text;
  text.reserve(bytes);
  while (text.size() < bytes) {
    text.append(1 + random() % 6, 'x');
    const std::size_t run = 1 + random() % 6;
    for (std::size_t i = 0; i < run; ++i) text.push_back(kBlanks[random() % sizeof kBlanks]);
  }
  text.resize(bytes);
  return text;
}

// One route file per size, written once and removed at exit.
class RouteFiles {
 public:
  ~RouteFiles() {
    for (const auto& [size, path] : paths_) std::remove(path.c_str());
  }
  const std::string& Path(int waypoints) {
    auto found = paths_.find(waypoints);
    if (found != paths_.end()) return found->second;
    const std::string path = "/tmp/tarvik_bench_" + std::to_string(getpid()) + "_" + std::to_string(waypoints) + ".route";
    const std::string text = RouteText(waypoints);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
      std::fwrite(text.data(), 1, text.size(), file);
      std::fclose(file);
    }
    texts_[waypoints] = text;
    return paths_[waypoints] = path;
  }
  const std::string& Text(int waypoints) {
    Path(waypoints);
    return texts_[waypoints];
  }

 private:
  std::map<int, std::string> paths_;
  std::map<int, std::string> texts_;
};

RouteFiles& Files() {
  static RouteFiles files;
  return files;
}

std::size_t CountLineFeeds(const std::string& text) {
  std::size_t count = 0;
  const char* at = text.data();
  const char* const end = at + text.size();
  while ((at = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr) {
    ++count;
    ++at;
  }
  return count;
}

void BM_ReadRouteFile(benchmark::State& state) {
  const int waypoints = static_cast<int>(state.range(0));
  const std::string& path = Files().Path(waypoints);
  const std::size_t bytes = Files().Text(waypoints).size();
  simhost::host().Reset();
  std::size_t read = 0;
  for (auto _ : state) {
    simhost::host().ClearLog();
    RouteFileReader reader;
    const WaypointList route = reader.ParseRouteFile(path);
    read = route.size();
    benchmark::DoNotOptimize(route.data());
  }
  if (read != static_cast<std::size_t>(waypoints)) state.SkipWithError("route not read completely");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ReadRouteFile)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_MemchrLineFeedsOfRouteFile(benchmark::State& state) {
  const std::string& text = Files().Text(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(CountLineFeeds(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_MemchrLineFeedsOfRouteFile)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_NormalizeWhitespace(benchmark::State& state) {
  const std::string text = MixedBlanks(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const std::string normal = NormalizeWhitespace(text);
    benchmark::DoNotOptimize(normal.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_NormalizeWhitespace)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void BM_MemchrLineFeedsOfMixedBlanks(benchmark::State& state) {
  const std::string text = MixedBlanks(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(CountLineFeeds(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_MemchrLineFeedsOfMixedBlanks)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
