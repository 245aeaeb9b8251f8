#include "route_tool/core/route_file_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "route/route_messages.h"

namespace route_tool {

namespace {

namespace msg = route_messages;

// The reader finds a marker anywhere in its normalised text; one changed
// byte breaks it, and a space in place of '_' makes no other marker.
void BreakMarkerWords(std::string& text) {
  for (const std::string_view prefix : {msg::kBeginMarker, msg::kEndMarker}) {
    for (const std::string_view section : {msg::kPointsSection, msg::kRunwaysSection, msg::kWaypointsSection}) {
      const std::string marker = std::string(prefix).append(section);
      for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1))
        text[at + prefix.size() - 1] = ' ';
    }
  }
}

void AppendComment(std::string& out, const std::string& comment) {
  if (!comment.empty()) out.append("  # ").append(CommentAsWritten(comment));
  out.push_back('\n');
}

std::string TaskField(const RouteFileDraft::WaypointLine& waypoint) {
  if (waypoint.task == Loop && waypoint.loopTarget != 0) return "LOOP:" + std::to_string(waypoint.loopTarget);
  return TaskKeyword(waypoint.task);
}

// "-0" converts to zero without starting with the digit 0: the reader
// refuses it.
std::string FieldNumber(double value) { return value == 0.0 ? "0" : ShortestNumber(value); }

bool Within(std::int32_t index, std::size_t count) {
  return index >= 0 && static_cast<std::size_t>(index) < count;
}

// Why the reader would not give back this draft's records, or empty.
std::string DraftProblem(const RouteFileDraft& draft) {
  if (draft.points.empty()) return "a route file needs at least one point";
  if (draft.waypoints.empty()) return "a route file needs at least one waypoint";
  for (std::size_t i = 0; i < draft.points.size(); ++i) {
    const RouteFileDraft::Point& point = draft.points[i];
    if (!std::isfinite(point.longitudeDeg) || !std::isfinite(point.latitudeDeg))
      return "point " + std::to_string(i) + ": a coordinate is not a finite number";
  }
  for (std::size_t i = 0; i < draft.runways.size(); ++i) {
    const RouteFileDraft::RunwayLine& runway = draft.runways[i];
    if (!Within(runway.end1Point, draft.points.size()) || !Within(runway.end2Point, draft.points.size()))
      return "runway " + std::to_string(i) + ": an end names no point of the route";
  }
  for (std::size_t i = 0; i < draft.waypoints.size(); ++i) {
    const RouteFileDraft::WaypointLine& waypoint = draft.waypoints[i];
    const std::string which = "waypoint " + std::to_string(i) + ": ";
    const std::size_t count = waypoint.onRunway ? draft.runways.size() : draft.points.size();
    if (!Within(waypoint.index, count))
      return which + "index " + std::to_string(waypoint.index) + " names no " +
             (waypoint.onRunway ? "runway" : "point") + " of the route";
    if (waypoint.task < Turn || waypoint.task > Land) return which + "task " + std::to_string(waypoint.task) +
                                                              " is not TURN, LOOP, TAKEOFF or LAND";
    if (waypoint.loopTarget != 0 &&
        (waypoint.task != Loop || !Within(waypoint.loopTarget, draft.waypoints.size())))
      return which + "loop target " + std::to_string(waypoint.loopTarget) + " is not a waypoint of this LOOP's route";
    if (!std::isfinite(waypoint.acceptRadiusMetres) || !std::isfinite(waypoint.altitudeMetres) ||
        !std::isfinite(waypoint.speedMetresPerSecond))
      return which + "radius, altitude or speed is not a finite number";
  }
  return {};
}


}  // namespace

std::string ShortestNumber(double value) {
  std::array<char, 32> text{};
  const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{}) return "0";
  return std::string(text.data(), end);
}

std::string DescriptionAsWritten(std::string_view description) {
  std::string text(description);
  std::size_t kept = 0;
  for (char c : text) {
    if (c == '"') c = '\'';
    else if (c == '#' || c == '\t' || c == '\r' || c == '\n') c = ' ';
    if (c == ' ' && kept > 0 && text[kept - 1] == ' ') continue;
    text[kept++] = c;
  }
  text.resize(kept);
  BreakMarkerWords(text);
  return text;
}

std::string CommentAsWritten(std::string_view comment) {
  std::string text(comment);
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  BreakMarkerWords(text);
  return text;
}

RouteFileWriting RouteFileText(const RouteFileDraft& draft, std::size_t largestFileBytes) {
  if (std::string problem = DraftProblem(draft); !problem.empty()) return {{}, std::move(problem)};
  const auto tooLarge = [largestFileBytes] {
    return RouteFileWriting{{}, "the route file would be larger than " + std::to_string(largestFileBytes) +
                                    " bytes, the most the module reads"};
  };
  // Given up as soon as it is too large, so that a huge text costs no
  // more than the largest file and one line.
  std::string out;
  const auto full = [&out, largestFileBytes] { return out.size() > largestFileBytes; };
  for (const std::string& line : draft.headerComments) {
    out.append("# ").append(CommentAsWritten(line)).push_back('\n');
    if (full()) return tooLarge();
  }
  if (!draft.headerComments.empty()) out.push_back('\n');

  out.append("BEGIN_POINTS\n# longitude latitude [deg]\n");
  for (const RouteFileDraft::Point& point : draft.points) {
    out.append(FieldNumber(point.longitudeDeg)).append(" ").append(FieldNumber(point.latitudeDeg));
    AppendComment(out, point.comment);
    if (full()) return tooLarge();
  }
  out.append("END_POINTS\n\nBEGIN_RUNWAYS\n# point numbers of the two ends, from 0\n");
  for (const RouteFileDraft::RunwayLine& runway : draft.runways) {
    out.append(std::to_string(runway.end1Point)).append(" ").append(std::to_string(runway.end2Point));
    AppendComment(out, runway.comment);
    if (full()) return tooLarge();
  }
  if (draft.runways.empty()) out.append("-1 -1  # no runways\n");
  out.append("END_RUNWAYS\n\nBEGIN_WAYPOINTS\n");
  out.append("# reference index task radius[m] altitude[m] speed[m/s] \"description\"\n");
  for (const RouteFileDraft::WaypointLine& waypoint : draft.waypoints) {
    out.append(waypoint.onRunway ? "RUNWAY " : "POINT ").append(std::to_string(waypoint.index)).append(" ");
    out.append(TaskField(waypoint)).append(" ").append(FieldNumber(waypoint.acceptRadiusMetres)).append(" ");
    out.append(FieldNumber(waypoint.altitudeMetres)).append(" ");
    out.append(FieldNumber(waypoint.speedMetresPerSecond)).append(" \"");
    out.append(DescriptionAsWritten(waypoint.description)).append("\"");
    AppendComment(out, waypoint.comment);
    if (full()) return tooLarge();
  }
  out.append("END_WAYPOINTS\n");
  if (!draft.trailingComments.empty()) out.push_back('\n');
  for (const std::string& line : draft.trailingComments) {
    out.append("# ").append(CommentAsWritten(line)).push_back('\n');
    if (full()) return tooLarge();
  }
  if (full()) return tooLarge();
  return {std::move(out), {}};
}

}  // namespace route_tool
