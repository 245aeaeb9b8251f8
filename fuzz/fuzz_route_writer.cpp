// libFuzzer target: random route records written by the tools' route file
// writer and read back by the module's reader. The read gives the same
// records, texts changed only as the writer documents, or the writer
// refuses the draft with a message; a draft made only of values the
// reader takes is never refused.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "fuzz/route_file_input.h"
#include "route/route_file_reader.h"
#include "simhost/sim_host.h"
#include "route_tool/core/route_file_writer.h"

namespace {

using namespace route_tool;

// Pieces that matter to the format, so that random texts meet them often.
constexpr std::string_view kPieces[] = {"BEGIN_", "END_", "POINTS", "RUNWAYS", "WAYPOINTS", "#",  "\"",
                                        "\n",     "\r",   "\t",     " ",       "-0",        "0", "LOOP:"};

std::string Text(FuzzedDataProvider& input) {
  std::string text;
  const std::size_t pieces = input.ConsumeIntegralInRange<std::size_t>(0, 24);
  for (std::size_t i = 0; i < pieces && input.remaining_bytes() > 0; ++i) {
    const auto choice = input.ConsumeIntegral<std::uint8_t>();
    if (choice < std::size(kPieces)) text.append(kPieces[choice]);
    else text.push_back(static_cast<char>(input.ConsumeIntegral<std::uint8_t>()));
  }
  return text;
}

// Any double, -0, NaN and the infinities among them; a plain one mostly.
double Number(FuzzedDataProvider& input, bool& readable) {
  if (input.ConsumeBool()) {
    const double plain = input.ConsumeIntegralInRange<int>(-400, 400) / 4.0;
    return input.ConsumeBool() ? -plain : plain;  // -0 among them
  }
  const double value = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
  readable = readable && std::isfinite(value);
  return value;
}

// Within [0, count) mostly; anything now and then.
std::int32_t Index(FuzzedDataProvider& input, std::size_t count, bool& readable) {
  if (count > 0 && input.ConsumeIntegralInRange<int>(0, 7) != 0)
    return input.ConsumeIntegralInRange<std::int32_t>(0, static_cast<std::int32_t>(count) - 1);
  readable = false;
  return input.ConsumeIntegral<std::int32_t>();
}

RouteFileDraft Draft(FuzzedDataProvider& input, bool& readable) {
  RouteFileDraft draft;
  draft.headerComments.resize(input.ConsumeIntegralInRange<std::size_t>(0, 2));
  for (std::string& line : draft.headerComments) line = Text(input);
  draft.points.resize(input.ConsumeIntegralInRange<std::size_t>(0, 6));
  for (RouteFileDraft::Point& point : draft.points) {
    point.longitudeDeg = Number(input, readable);
    point.latitudeDeg = Number(input, readable);
    point.comment = Text(input);
  }
  draft.runways.resize(input.ConsumeIntegralInRange<std::size_t>(0, 3));
  for (RouteFileDraft::RunwayLine& runway : draft.runways) {
    runway.end1Point = Index(input, draft.points.size(), readable);
    runway.end2Point = Index(input, draft.points.size(), readable);
    runway.comment = Text(input);
  }
  draft.waypoints.resize(input.ConsumeIntegralInRange<std::size_t>(0, 6));
  for (RouteFileDraft::WaypointLine& waypoint : draft.waypoints) {
    waypoint.onRunway = input.ConsumeBool();
    waypoint.index = Index(input, waypoint.onRunway ? draft.runways.size() : draft.points.size(), readable);
    waypoint.task = input.ConsumeIntegralInRange<std::int32_t>(-1, 4);
    readable = readable && waypoint.task >= Turn && waypoint.task <= Land;
    if (input.ConsumeBool()) {
      waypoint.loopTarget = Index(input, draft.waypoints.size(), readable);
      readable = readable && (waypoint.task == Loop || waypoint.loopTarget == 0);
    }
    waypoint.acceptRadiusMetres = Number(input, readable);
    waypoint.altitudeMetres = Number(input, readable);
    waypoint.speedMetresPerSecond = Number(input, readable);
    waypoint.description = Text(input);
    waypoint.comment = Text(input);
  }
  draft.trailingComments.resize(input.ConsumeIntegralInRange<std::size_t>(0, 2));
  for (std::string& line : draft.trailingComments) line = Text(input);
  readable = readable && !draft.points.empty() && !draft.waypoints.empty();
  return draft;
}

// What the writer promises of a description whatever it was given.
bool SafeDescription(std::string_view text) {
  for (const std::string_view unsafe : {"\"", "#", "\n", "\r", "\t", "  ", "BEGIN_POINTS", "END_POINTS",
                                        "BEGIN_RUNWAYS", "END_RUNWAYS", "BEGIN_WAYPOINTS", "END_WAYPOINTS"})
    if (text.find(unsafe) != std::string_view::npos) return false;
  return true;
}

void Check(bool promise) {
  if (!promise) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_input::Begin("tarvik_fuzz_writer_");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  bool readable = true;
  const RouteFileDraft draft = Draft(input, readable);
  const RouteFileWriting written = RouteFileText(draft);
  if (!written.error.empty()) {
    Check(!readable && written.text.empty());
    return 0;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(written.text.data());
  if (!fuzz_input::WriteRouteFile(bytes, written.text.size())) return 0;

  simhost::host().ClearLog();
  ReadTrace trace;
  RouteFileReader reader(&trace);
  reader.SetReportEcho(DiscardEcho);
  const WaypointList waypoints = reader.ParseRouteFile(fuzz_input::RoutePath());
  Check(!reader.errorFlag);
  Check(trace.points.size() == draft.points.size());
  for (std::size_t i = 0; i < draft.points.size(); ++i) {
    Check(trace.points[i].point.longitude == draft.points[i].longitudeDeg);
    Check(trace.points[i].point.latitude == draft.points[i].latitudeDeg);
  }
  Check(reader.runways.size() == draft.runways.size());
  for (std::size_t i = 0; i < draft.runways.size(); ++i) {
    Check(trace.runways[i].end1Point == draft.runways[i].end1Point);
    Check(trace.runways[i].end2Point == draft.runways[i].end2Point);
  }
  Check(waypoints.size() == draft.waypoints.size());
  for (std::size_t i = 0; i < draft.waypoints.size(); ++i) {
    const RouteFileDraft::WaypointLine& line = draft.waypoints[i];
    const Waypoint& read = waypoints[i];
    Check(trace.waypoints[i].onRunway == line.onRunway && trace.waypoints[i].index == line.index);
    Check(read.task == line.task && read.loopTarget == line.loopTarget);
    Check(read.acceptRadius == line.acceptRadiusMetres && read.altitude == line.altitudeMetres &&
          read.speed == line.speedMetresPerSecond);
    Check(read.description == DescriptionAsWritten(line.description) && SafeDescription(read.description));
  }
  return 0;
}
