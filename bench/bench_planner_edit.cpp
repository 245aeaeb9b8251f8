// The server's part of a planner edit on a route of 1,000 waypoints, the
// route the browser test times (planner/tests/planner_fixtures.mjs): the
// request read, the route written, read back by the module's reader,
// checked, measured and drawn as a display list, and the answer written
// as the server sends it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "route_tool/planner/planner_api.h"

namespace {

constexpr int kWaypoints = 1000;

// 1,000 points on a 40 by 25 grid 0.01 degree apart, a TURN waypoint on each.
std::string LargeRouteText() {
  std::string text = "BEGIN_POINTS\n";
  char line[64];
  for (int i = 0; i < kWaypoints; ++i) {
    std::snprintf(line, sizeof line, "%.2f %.2f\n", 10.0 + 0.01 * (i % 40), 52.0 + 0.01 * (i / 40));
    text += line;
  }
  text += "END_POINTS\nBEGIN_RUNWAYS\n-1 -1\nEND_RUNWAYS\nBEGIN_WAYPOINTS\n";
  for (int i = 0; i < kWaypoints; ++i) text += "POINT " + std::to_string(i) + " TURN 300 500 80 \"wp " + std::to_string(i) + "\"\n";
  return text + "END_WAYPOINTS\n";
}

// Whether the answer shows the whole route: a measurement of less is no
// measurement.
bool AnswersTheWholeRoute(const route_tool::ApiReply& reply) {
  return reply.status == 200 && reply.body["map"]["waypointsPx"].size() == kWaypoints &&
         reply.body["legs"]["legs"].size() == kWaypoints - 1;
}

void Edit(benchmark::State& state, const nlohmann::json& request) {
  const route_tool::PlannerSession session(".");
  if (!AnswersTheWholeRoute(session.Edit(request))) return state.SkipWithError("the large route did not load");
  std::size_t answerBytes = 0;
  for (auto _ : state) {
    const nlohmann::json parsed = nlohmann::json::parse(request.dump());
    const route_tool::ApiReply reply = session.Edit(parsed);
    const std::string answer = reply.body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    answerBytes = answer.size();
    benchmark::DoNotOptimize(answer.data());
  }
  state.counters["answerBytes"] = static_cast<double>(answerBytes);
}

// The page sends the draft after an edit in the tables or on the map.
void BM_PlannerEditDraft(benchmark::State& state) {
  const route_tool::PlannerSession session(".");
  const route_tool::ApiReply read = session.Edit({{"text", LargeRouteText()}});
  if (!AnswersTheWholeRoute(read) || read.body["draft"]["waypoints"].size() != kWaypoints)
    return state.SkipWithError("the large route did not load");
  Edit(state, {{"draft", read.body["draft"]}});
}
BENCHMARK(BM_PlannerEditDraft)->Unit(benchmark::kMillisecond);

// ... and the text after an edit of the text, or on undo and redo.
void BM_PlannerEditText(benchmark::State& state) { Edit(state, {{"text", LargeRouteText()}}); }
BENCHMARK(BM_PlannerEditText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
