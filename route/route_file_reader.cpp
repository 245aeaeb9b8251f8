#include "route/route_file_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <string_view>

#include "host/oapi.h"
#include "route/route_messages.h"

namespace {

namespace msg = route_messages;

constexpr double kRadiansPerDegree = 0.017453292519943295;

void Log(const char* line) { oapiWriteLog(line); }

// The lines of a section body, to size its list once (growing a large
// list costs more than reading it); capped so that a file of many short
// bad lines reserves no more than some hundred megabytes of address space.
std::size_t ExpectedLineCount(std::string_view body) {
  constexpr std::size_t kMostReserved = std::size_t{1} << 21;
  const auto lineFeeds = static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n'));
  return std::min(lineFeeds + 1, kMostReserved);
}

// The non-empty lines of a section body, numbered from 1; the same pieces
// as SplitText at LF without building the list.
class Lines {
 public:
  explicit Lines(std::string_view body) : rest_(body) {}
  bool Next(std::string_view& line) {
    while (!rest_.empty()) {
      const std::size_t lf = rest_.find('\n');
      line = rest_.substr(0, lf);
      rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
      if (!line.empty()) {
        ++number_;
        return true;
      }
    }
    return false;
  }
  std::size_t Number() const { return number_; }

 private:
  std::string_view rest_;
  std::size_t number_ = 0;
};

// The first N fields of a line, as SplitText at the space gives them;
// count says how many there are, up to N.
template <std::size_t N>
struct Fields {
  explicit Fields(std::string_view line) {
    while (count < N) {
      while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      if (line.empty()) break;
      const std::size_t space = line.find(' ');
      field[count++] = line.substr(0, space);
      if (space == std::string_view::npos) break;
      line.remove_prefix(space);
    }
  }
  std::array<std::string_view, N> field{};
  std::size_t count = 0;
};

// "Error: <section> line <n>: <what>: "<text>"", the text cut short.
std::string LineError(std::string_view section, std::size_t lineNumber, std::string_view what, std::string_view text) {
  std::string message(msg::kLineStart);
  message.append(section).append(msg::kLineMiddle).append(std::to_string(lineNumber)).append(": ").append(what);
  message.append(": \"").append(text.substr(0, msg::kQuotedTextLimit));
  if (text.size() > msg::kQuotedTextLimit) message.append("...");
  message.append("\"");
  return message;
}

// The characters between the line's first and second double quote; none
// when the first stands at the start of the line.
std::string Description(std::string_view line) {
  const std::size_t open = line.find('"');
  if (open == std::string_view::npos || open == 0) return {};
  const std::size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return std::string(line.substr(open + 1, close - open - 1));
}

// "LOOP:n": a loop that continues at waypoint n (from 0) rather than at
// the first. False when the field is not of this form.
bool LoopWithTarget(std::string_view field, std::int32_t& loopTarget) {
  if (!field.starts_with(msg::kLoopWithTarget)) return false;
  const std::string_view number = field.substr(msg::kLoopWithTarget.size());
  const char* const end = number.data() + number.size();
  if (number.empty() || number.front() < '0' || number.front() > '9') return false;
  const auto [stop, error] = std::from_chars(number.data(), end, loopTarget);
  return error == std::errc{} && stop == end;
}

}  // namespace

WaypointList RouteFileReader::ParseRouteFile(const std::string& path) {
  Log(msg::kStartParsing);
  // Memory is the one thing that can run out; it ends the read as an error.
  try {
    fileText = NormalizeWhitespace(ReadRouteText(path));
    const std::vector<RoutePoint> points = ParsePoints();
    runways = ParseRunways(points);
    waypoints = ParseWaypoints(points, runways);
  } catch (const std::exception&) {
    fileText.clear();
    fileText.shrink_to_fit();
    ReportError(std::string(msg::kOutOfMemory));
  }
  Log(msg::kParsingCompleted);
  return waypoints;
}

RunwayList RouteFileReader::GetRunways() const { return runways; }

void RouteFileReader::ReportError(const std::string& message) {
  errorFlag = true;
  errorText = message;
  Log(msg::kErrorLogHeader);
  std::fwrite(message.data(), 1, message.size(), stdout);
  // The host's log call takes the message through a 500-character buffer.
  Log(message.size() > msg::kLongestLoggedMessage ? msg::kErrorLogTooLong : message.c_str());
}

std::vector<RoutePoint> RouteFileReader::ParsePoints() {
  Log(msg::kParsingPoints);
  std::vector<RoutePoint> points;
  const std::string_view body = SectionBody(fileText, msg::kPointsSection, *this);
  if (body.empty()) {
    ReportError(std::string(msg::kPointsMissing));
    return points;
  }
  Log(msg::kStartSplitLines);
  points.reserve(ExpectedLineCount(body));
  Lines lines(body);
  Log(msg::kEndSplitLines);
  Log(msg::kPointsLinesReady);
  std::string_view line;
  while (lines.Next(line)) {
    Log(msg::kPointLine);
    Log(msg::kStartSplitFields);
    const Fields<2> fields(line);
    Log(msg::kEndSplitFields);
    if (fields.count < 2) {
      ReportError(LineError(msg::kPointsSection, lines.Number(), msg::kTooFewFieldsPoint, line));
      return points;
    }
    RoutePoint point;
    point.longitude = ParseDouble(fields.field[0], *this);
    if (errorFlag) return points;
    point.latitude = ParseDouble(fields.field[1], *this);
    if (errorFlag) return points;
    points.push_back(point);
  }
  Log(msg::kStepOk);
  return points;
}

RunwayList RouteFileReader::ParseRunways(const std::vector<RoutePoint>& points) {
  Log(msg::kParsingRunways);
  RunwayList runwayList;
  const std::string_view body = SectionBody(fileText, msg::kRunwaysSection, *this);
  if (body.empty()) {
    ReportError(std::string(msg::kRunwaysMissing));
    return runwayList;
  }
  runwayList.reserve(ExpectedLineCount(body));
  Lines lines(body);
  std::string_view line;
  while (lines.Next(line)) {
    const Fields<2> fields(line);
    if (fields.count < 2) {
      ReportError(LineError(msg::kRunwaysSection, lines.Number(), msg::kTooFewFieldsRunway, line));
      return runwayList;
    }
    const std::int32_t end1 = ParseInt(fields.field[0], *this);
    if (errorFlag) return runwayList;
    const std::int32_t end2 = ParseInt(fields.field[1], *this);
    if (errorFlag) return runwayList;
    // -1 marks the end of the runway list.
    if (end1 == -1 || end2 == -1) return runwayList;
    const auto pointCount = static_cast<std::int64_t>(points.size());
    if (end1 < 0 || end1 >= pointCount || end2 < 0 || end2 >= pointCount) {
      ReportError(LineError(msg::kRunwaysSection, lines.Number(), msg::kRunwayEndNotFound, line));
      return runwayList;
    }
    Runway runway;
    runway.end1Latitude = points[end1].latitude * kRadiansPerDegree;
    runway.end1Longitude = points[end1].longitude * kRadiansPerDegree;
    runway.end2Latitude = points[end2].latitude * kRadiansPerDegree;
    runway.end2Longitude = points[end2].longitude * kRadiansPerDegree;
    runway.centerLatitude = RunwayCentre(runway.end1Latitude, runway.end2Latitude);
    runway.centerLongitude = RunwayCentre(runway.end1Longitude, runway.end2Longitude);
    runwayList.push_back(runway);
  }
  Log(msg::kStepOk);
  return runwayList;
}

WaypointList RouteFileReader::ParseWaypoints(const std::vector<RoutePoint>& points, const RunwayList& runwayList) {
  Log(msg::kWaypointsStart);
  WaypointList route;
  const std::string_view body = SectionBody(fileText, msg::kWaypointsSection, *this);
  if (body.empty()) {
    ReportError(std::string(msg::kWaypointsMissing));
    return route;
  }
  Log(msg::kWaypointsBody);
  route.reserve(ExpectedLineCount(body));
  Lines lines(body);
  // Loops that name their target, by their place in the route and the
  // line they came from: the target can only be checked once all are read.
  std::vector<std::pair<std::size_t, std::size_t>> namedLoops;
  std::string_view line;
  while (lines.Next(line)) {
    Log(msg::kWaypointLine);
    Waypoint waypoint;  // fresh for every line; loopTarget 0 unless the loop names one
    waypoint.description = Description(line);

    const Fields<6> fields(line);
    if (fields.count < 4) {
      ReportError(LineError(msg::kWaypointsSection, lines.Number(), msg::kTooFewFieldsWaypoint, line));
      return route;
    }
    const std::int32_t index = ParseInt(fields.field[1], *this);
    if (errorFlag) return route;
    const std::string_view task = fields.field[2];
    const bool namedLoop = task.starts_with(msg::kLoopWithTarget);
    if (namedLoop) {
      if (!LoopWithTarget(task, waypoint.loopTarget)) {
        ReportError(LineError(msg::kWaypointsSection, lines.Number(), msg::kBadLoopTarget, task));
        return route;
      }
      waypoint.task = Loop;
    } else if (!TaskFromKeyword(task, waypoint.task)) {
      ReportError(LineError(msg::kWaypointsSection, lines.Number(), msg::kUnknownTask, task));
      return route;
    }
    Log(msg::kWaypointIndexAndTask);
    waypoint.acceptRadius = ParseDouble(fields.field[3], *this);
    if (errorFlag) return route;
    Log(msg::kWaypointRadius);
    bool referenceMissing = false;
    if (fields.count > 4) {
      waypoint.altitude = ParseDouble(fields.field[4], *this);
      if (errorFlag) return route;
      if (fields.count == 5) {
        ReportError(LineError(msg::kWaypointsSection, lines.Number(), msg::kAltitudeWithoutSpeed, line));
        return route;
      }
      waypoint.speed = ParseDouble(fields.field[5], *this);
      if (errorFlag) return route;
    }
    Log(msg::kWaypointAltitudeSpeed);

    const std::string_view reference = fields.field[0];
    if (reference == "RUNWAY") {
      Log(msg::kWaypointRunway);
      if (index >= 0 && static_cast<std::size_t>(index) < runwayList.size()) {
        waypoint.latitude = runwayList[index].centerLatitude;
        waypoint.longitude = runwayList[index].centerLongitude;
      } else {
        ReportError(std::string(msg::kRunwayNotFound));
        referenceMissing = true;
      }
    } else if (reference == "POINT") {
      Log(msg::kWaypointPoint);
      if (index >= 0 && static_cast<std::size_t>(index) < points.size()) {
        waypoint.latitude = points[index].latitude * kRadiansPerDegree;
        waypoint.longitude = points[index].longitude * kRadiansPerDegree;
      } else {
        ReportError(std::string(msg::kPointNotFound));
        referenceMissing = true;
      }
      Log(msg::kWaypointPointDone);
    } else {
      ReportError(LineError(msg::kWaypointsSection, lines.Number(), msg::kUnknownReference, reference));
      referenceMissing = true;
    }
    Log(msg::kWaypointReferenceDone);
    if (!referenceMissing) {
      if (namedLoop) namedLoops.emplace_back(route.size(), lines.Number());
      route.push_back(waypoint);
    }
    Log(msg::kWaypointDone);
  }
  // A route cut short by an error has been reported already.
  if (errorFlag) return route;
  for (const auto& [place, lineNumber] : namedLoops) {
    if (static_cast<std::size_t>(route[place].loopTarget) < route.size()) continue;
    const std::string target = std::string(msg::kLoopWithTarget) + std::to_string(route[place].loopTarget);
    ReportError(LineError(msg::kWaypointsSection, lineNumber, msg::kLoopTargetOutside, target));
    break;
  }
  return route;
}
