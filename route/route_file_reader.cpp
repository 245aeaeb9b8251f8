#include "route/route_file_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <string_view>

#include "host/oapi.h"
#include "route/route_messages.h"
#include "route/section_lines.h"

namespace {

namespace msg = route_messages;

constexpr double kRadiansPerDegree = 0.017453292519943295;

void Log(const char* line) { oapiWriteLog(line); }

using section_lines::ExpectedLineCount;
using section_lines::Fields;
using section_lines::Lines;
using section_lines::Traced;

// "Error: <section> line <n>: <what>: "<text>"", the text cut short.
std::string LineError(std::string_view section, std::size_t lineNumber, std::string_view what, std::string_view text) {
  std::string message(msg::kLineStart);
  message.append(section).append(msg::kLineMiddle).append(std::to_string(lineNumber)).append(": ").append(what);
  message.append(": \"").append(text.substr(0, msg::kQuotedTextLimit));
  if (text.size() > msg::kQuotedTextLimit) message.append("...");
  message.append("\"");
  return message;
}

// The n of "LOOP:n", a loop that continues at waypoint n (from 0) rather
// than at the first. False when it is not a number of its own.
bool LoopTarget(std::string_view number, std::int32_t& loopTarget) {
  const char* const end = number.data() + number.size();
  if (number.empty() || number.front() < '0' || number.front() > '9') return false;
  const auto [stop, error] = std::from_chars(number.data(), end, loopTarget);
  return error == std::errc{} && stop == end;
}

}  // namespace

std::string_view DescriptionOf(std::string_view line) {
  const std::size_t open = line.find('"');
  if (open == std::string_view::npos || open == 0) return {};
  const std::size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return line.substr(open + 1, close - open - 1);
}

WaypointList RouteFileReader::ParseRouteFile(const std::string& path) {
  ParseText([&path](TextOrigins* origins, bool& tooLarge) { return ReadRouteText(path, origins, &tooLarge); });
  return waypoints;
}

void RouteFileReader::ParseRouteBytes(std::string bytes, bool tooLarge) {
  ParseText([&bytes, tooLarge](TextOrigins* origins, bool& larger) {
    larger = tooLarge;
    return tooLarge ? std::string() : RouteTextOfBytes(std::move(bytes), origins);
  });
}

void RouteFileReader::ParseText(const TextReading& readText) {
  Log(msg::kStartParsing);
  // Memory is the one thing that can run out; it ends the read as an error.
  try {
    TextOrigins* const origins = trace_ != nullptr && trace_->wantOrigins ? &trace_->origins : nullptr;
    bool tooLarge = false;
    fileText = NormalizeWhitespace(readText(origins, tooLarge), origins);
    // Like running out of memory, a file too large to read ends the read
    // with the one message that says so.
    if (tooLarge) {
      ReportError(std::string(msg::kTooLarge));
    } else {
      const std::vector<RoutePoint> points = ParsePoints();
      runways = ParseRunways(points);
      waypoints = ParseWaypoints(points, runways);
    }
  } catch (const std::exception&) {
    fileText.clear();
    fileText.shrink_to_fit();
    if (trace_ != nullptr) *trace_ = ReadTrace{};
    subject_ = {};  // it pointed into the text just given back
    ReportError(std::string(msg::kOutOfMemory));
  }
  Log(msg::kParsingCompleted);
}

void EchoToStandardOutput(std::string_view message) { std::fwrite(message.data(), 1, message.size(), stdout); }

void DiscardEcho(std::string_view) {}

RunwayList RouteFileReader::GetRunways() const { return runways; }

void RouteFileReader::ReportError(const std::string& message) {
  errorFlag = true;
  errorText = message;
  ++reportCount_;
  if (trace_ != nullptr) trace_->reports.push_back({message, subject_});
  subject_ = {};
  Log(msg::kErrorLogHeader);
  echo_(message);
  // The host's log call takes the message through a 500-character buffer.
  Log(message.size() > msg::kLongestLoggedMessage ? msg::kErrorLogTooLong : message.c_str());
}

bool RouteFileReader::LineFailed(std::size_t reportsBeforeLine) const {
  return readPastErrors_ ? reportCount_ != reportsBeforeLine : errorFlag;
}

double RouteFileReader::FieldAsDouble(std::string_view field) {
  subject_ = field;
  const double value = ParseDouble(field, *this);
  subject_ = {};
  return value;
}

std::int32_t RouteFileReader::FieldAsInt(std::string_view field) {
  subject_ = field;
  const std::int32_t value = ParseInt(field, *this);
  subject_ = {};
  return value;
}

void RouteFileReader::ReportAbout(std::string_view subject, const std::string& message) {
  subject_ = subject;
  ReportError(message);
}

// After an error the module's steps stop at a line's first number, before
// any report of their own; a short line stops there too, once that number
// is converted, as every conversion is.
void RouteFileReader::ReportShortLine(std::string_view line, std::string_view firstNumber, NumberKind kind,
                                      const std::string& message) {
  if (!errorFlag || readPastErrors_) return ReportAbout(line, message);
  if (firstNumber.empty()) return;
  if (kind == NumberKind::Int) {
    FieldAsInt(firstNumber);
  } else {
    FieldAsDouble(firstNumber);
  }
}

std::string_view RouteFileReader::SectionOrReport(std::string_view name, std::string_view missing) {
  const std::string_view body = SectionBody(fileText, name, *this);
  if (body.empty()) ReportError(std::string(missing));
  return body;
}

std::vector<RoutePoint> RouteFileReader::ParsePoints() {
  Log(msg::kParsingPoints);
  std::vector<RoutePoint> points;
  const std::string_view body = SectionOrReport(msg::kPointsSection, msg::kPointsMissing);
  if (body.empty()) return points;
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
    const std::size_t reportsBefore = reportCount_;
    RoutePoint point;
    if (fields.count < 2) {
      ReportShortLine(line, fields.field[0], NumberKind::Double,
                      LineError(msg::kPointsSection, lines.Number(), msg::kTooFewFieldsPoint, line));
    } else {
      point.longitude = FieldAsDouble(fields.field[0]);
      if (!LineFailed(reportsBefore)) point.latitude = FieldAsDouble(fields.field[1]);
    }
    const bool read = !LineFailed(reportsBefore);
    if (trace_ != nullptr) trace_->points.push_back({Traced(line, fields), point, read});
    if (!read && !readPastErrors_) return points;
    points.push_back(read ? point : RoutePoint{});
  }
  Log(msg::kStepOk);
  return points;
}

RunwayList RouteFileReader::ParseRunways(const std::vector<RoutePoint>& points) {
  Log(msg::kParsingRunways);
  RunwayList runwayList;
  const std::string_view body = SectionOrReport(msg::kRunwaysSection, msg::kRunwaysMissing);
  if (body.empty()) return runwayList;
  runwayList.reserve(ExpectedLineCount(body));
  Lines lines(body);
  std::string_view line;
  while (lines.Next(line)) {
    const Fields<2> fields(line);
    const std::size_t reportsBefore = reportCount_;
    std::int32_t end1 = -1;
    std::int32_t end2 = -1;
    if (fields.count < 2) {
      ReportShortLine(line, fields.field[0], NumberKind::Int,
                      LineError(msg::kRunwaysSection, lines.Number(), msg::kTooFewFieldsRunway, line));
    } else {
      end1 = FieldAsInt(fields.field[0]);
      if (!LineFailed(reportsBefore)) end2 = FieldAsInt(fields.field[1]);
    }
    const bool converted = !LineFailed(reportsBefore);
    // -1 marks the end of the runway list.
    const bool endMarker = converted && (end1 == -1 || end2 == -1);
    const auto pointCount = static_cast<std::int64_t>(points.size());
    const auto outside = [pointCount](std::int32_t end) { return end < 0 || end >= pointCount; };
    if (converted && !endMarker && (outside(end1) || outside(end2))) {
      const std::string_view field = outside(end1) ? fields.field[0] : fields.field[1];
      ReportAbout(field, LineError(msg::kRunwaysSection, lines.Number(), msg::kRunwayEndNotFound, line));
    }
    const bool read = !endMarker && !LineFailed(reportsBefore);
    if (trace_ != nullptr) trace_->runways.push_back({Traced(line, fields), end1, end2, read});
    if (endMarker || (!read && !readPastErrors_)) return runwayList;
    if (!read) {
      runwayList.push_back(Runway{});
      continue;
    }
    Runway runway;
    runway.end1Latitude = points[end1].latitude * kRadiansPerDegree;
    runway.end1Longitude = points[end1].longitude * kRadiansPerDegree;
    runway.end2Latitude = points[end2].latitude * kRadiansPerDegree;
    runway.end2Longitude = points[end2].longitude * kRadiansPerDegree;
    runway.centerLatitude = RunwayCentre(runway.end1Latitude, runway.end2Latitude);
    runway.centerLongitude = RunwayCentreLongitude(runway.end1Longitude, runway.end2Longitude);
    runwayList.push_back(runway);
  }
  Log(msg::kStepOk);
  return runwayList;
}

WaypointList RouteFileReader::ParseWaypoints(const std::vector<RoutePoint>& points, const RunwayList& runwayList) {
  Log(msg::kWaypointsStart);
  WaypointList route;
  const std::string_view body = SectionOrReport(msg::kWaypointsSection, msg::kWaypointsMissing);
  if (body.empty()) return route;
  Log(msg::kWaypointsBody);
  route.reserve(ExpectedLineCount(body));
  Lines lines(body);
  // Loops that name their target, by their place in the route, the line
  // they came from and the task field: the target can only be checked
  // once all are read.
  struct NamedLoop {
    std::size_t place;
    std::size_t lineNumber;
    std::string_view field;
  };
  std::vector<NamedLoop> namedLoops;
  std::string_view line;
  while (lines.Next(line)) {
    Log(msg::kWaypointLine);
    const std::size_t reportsBefore = reportCount_;
    Waypoint waypoint;  // fresh for every line; loopTarget 0 unless the loop names one
    waypoint.description = DescriptionOf(line);

    const Fields<6> fields(line);
    ReadTrace::WaypointLine* const traced =
        trace_ != nullptr ? &trace_->waypoints.emplace_back(ReadTrace::WaypointLine{Traced(line, fields)}) : nullptr;
    // After an error of this line: the module stops the step, a full
    // check goes on with the next line.
    const auto stops = [&] { return LineFailed(reportsBefore); };
    if (fields.count < 4) {
      ReportShortLine(line, fields.field[1], NumberKind::Int,
                      LineError(msg::kWaypointsSection, lines.Number(), msg::kTooFewFieldsWaypoint, line));
      if (readPastErrors_) continue;
      return route;
    }
    const std::int32_t index = FieldAsInt(fields.field[1]);
    if (traced != nullptr) {
      traced->index = index;
      traced->onRunway = fields.field[0] == "RUNWAY";
    }
    if (stops()) {
      if (readPastErrors_) continue;
      return route;
    }
    const std::string_view task = fields.field[2];
    const bool namedLoop = task.starts_with(msg::kLoopWithTarget);
    if (namedLoop) {
      if (!LoopTarget(task.substr(msg::kLoopWithTarget.size()), waypoint.loopTarget)) {
        ReportAbout(task, LineError(msg::kWaypointsSection, lines.Number(), msg::kBadLoopTarget, task));
        if (readPastErrors_) continue;
        return route;
      }
      waypoint.task = Loop;
    } else if (!TaskFromKeyword(task, waypoint.task)) {
      ReportAbout(task, LineError(msg::kWaypointsSection, lines.Number(), msg::kUnknownTask, task));
      if (readPastErrors_) continue;
      return route;
    }
    Log(msg::kWaypointIndexAndTask);
    waypoint.acceptRadius = FieldAsDouble(fields.field[3]);
    if (stops()) {
      if (readPastErrors_) continue;
      return route;
    }
    Log(msg::kWaypointRadius);
    if (fields.count > 4) {
      waypoint.altitude = FieldAsDouble(fields.field[4]);
      if (!stops() && fields.count == 5)
        ReportAbout(fields.field[4],
                    LineError(msg::kWaypointsSection, lines.Number(), msg::kAltitudeWithoutSpeed, line));
      if (!stops()) waypoint.speed = FieldAsDouble(fields.field[5]);
      if (stops()) {
        if (readPastErrors_) continue;
        return route;
      }
    }
    Log(msg::kWaypointAltitudeSpeed);

    bool referenceMissing = false;
    const std::string_view reference = fields.field[0];
    if (reference == "RUNWAY") {
      Log(msg::kWaypointRunway);
      if (index >= 0 && static_cast<std::size_t>(index) < runwayList.size()) {
        waypoint.latitude = runwayList[index].centerLatitude;
        waypoint.longitude = runwayList[index].centerLongitude;
      } else {
        ReportAbout(fields.field[1], std::string(msg::kRunwayNotFound));
        referenceMissing = true;
      }
    } else if (reference == "POINT") {
      Log(msg::kWaypointPoint);
      if (index >= 0 && static_cast<std::size_t>(index) < points.size()) {
        waypoint.latitude = points[index].latitude * kRadiansPerDegree;
        waypoint.longitude = points[index].longitude * kRadiansPerDegree;
      } else {
        ReportAbout(fields.field[1], std::string(msg::kPointNotFound));
        referenceMissing = true;
      }
      Log(msg::kWaypointPointDone);
    } else {
      ReportAbout(reference, LineError(msg::kWaypointsSection, lines.Number(), msg::kUnknownReference, reference));
      referenceMissing = true;
    }
    Log(msg::kWaypointReferenceDone);
    if (!referenceMissing) {
      if (namedLoop) namedLoops.push_back({route.size(), lines.Number(), task});
      if (traced != nullptr) traced->routeIndex = static_cast<std::int32_t>(route.size());
      route.push_back(waypoint);
    }
    Log(msg::kWaypointDone);
  }
  // Every waypoint given out continues inside its route: a target outside
  // falls back to the first waypoint, as a plain LOOP. The first such is
  // reported unless the route was cut short by an earlier error, which
  // then stays the message that explains it.
  bool quiet = errorFlag && !readPastErrors_;
  for (const NamedLoop& loop : namedLoops) {
    Waypoint& waypoint = route[loop.place];
    if (static_cast<std::size_t>(waypoint.loopTarget) < route.size()) continue;
    const std::string target = std::string(msg::kLoopWithTarget) + std::to_string(waypoint.loopTarget);
    waypoint.loopTarget = 0;
    if (quiet) continue;
    ReportAbout(loop.field, LineError(msg::kWaypointsSection, loop.lineNumber, msg::kLoopTargetOutside, target));
    quiet = !readPastErrors_;
  }
  return route;
}
