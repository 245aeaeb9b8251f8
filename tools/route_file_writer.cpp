#include "tools/route_file_writer.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

// '#' starts a comment and a double quote ends a description.
std::string DescriptionText(std::string text) {
  std::replace(text.begin(), text.end(), '"', '\'');
  std::replace(text.begin(), text.end(), '#', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

std::string CommentText(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

void AppendComment(std::string& out, const std::string& comment) {
  if (!comment.empty()) out.append("  # ").append(CommentText(comment));
  out.push_back('\n');
}

std::string TaskField(const RouteFileDraft::WaypointLine& waypoint) {
  if (waypoint.task == Loop && waypoint.loopTarget != 0) return "LOOP:" + std::to_string(waypoint.loopTarget);
  return TaskKeyword(waypoint.task);
}

}  // namespace

std::string ShortestNumber(double value) {
  std::array<char, 32> text{};
  const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{}) return "0";
  return std::string(text.data(), end);
}

std::string RouteFileText(const RouteFileDraft& draft) {
  std::string out;
  for (const std::string& line : draft.headerComments) out.append("# ").append(CommentText(line)).push_back('\n');
  if (!draft.headerComments.empty()) out.push_back('\n');

  out.append("BEGIN_POINTS\n# longitude latitude [deg]\n");
  for (const RouteFileDraft::Point& point : draft.points) {
    out.append(ShortestNumber(point.longitudeDeg)).append(" ").append(ShortestNumber(point.latitudeDeg));
    AppendComment(out, point.comment);
  }
  out.append("END_POINTS\n\nBEGIN_RUNWAYS\n# point numbers of the two ends, from 0\n");
  for (const RouteFileDraft::RunwayLine& runway : draft.runways) {
    out.append(std::to_string(runway.end1Point)).append(" ").append(std::to_string(runway.end2Point));
    AppendComment(out, runway.comment);
  }
  if (draft.runways.empty()) out.append("-1 -1  # no runways\n");
  out.append("END_RUNWAYS\n\nBEGIN_WAYPOINTS\n");
  out.append("# reference index task radius[m] altitude[m] speed[m/s] \"description\"\n");
  for (const RouteFileDraft::WaypointLine& waypoint : draft.waypoints) {
    out.append(waypoint.onRunway ? "RUNWAY " : "POINT ").append(std::to_string(waypoint.index)).append(" ");
    out.append(TaskField(waypoint)).append(" ").append(ShortestNumber(waypoint.acceptRadiusMetres)).append(" ");
    out.append(ShortestNumber(waypoint.altitudeMetres)).append(" ");
    out.append(ShortestNumber(waypoint.speedMetresPerSecond)).append(" \"");
    out.append(DescriptionText(waypoint.description)).append("\"");
    AppendComment(out, waypoint.comment);
  }
  out.append("END_WAYPOINTS\n");
  if (!draft.trailingComments.empty()) out.push_back('\n');
  for (const std::string& line : draft.trailingComments) out.append("# ").append(CommentText(line)).push_back('\n');
  return out;
}
