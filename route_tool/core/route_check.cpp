#include "route_tool/core/route_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string_view>
#include <unordered_set>

#include "route/route_file_reader.h"
#include "route/route_messages.h"
#include "route/section_text.h"
#include "simhost/sim_host.h"
#include "text/escaped.h"
#include "text/file_place.h"
#include "text/terminal_text.h"

namespace route_tool {

namespace {

// Every text of a warning, in one place.
constexpr std::string_view kCommaHint = "; the decimal point is '.'";
constexpr std::string_view kLatitudeOutside = "latitude is outside -90..90 degrees";
constexpr std::string_view kLongitudeOutside = "longitude is outside -180..180 degrees";
constexpr std::string_view kSwapHint = "; longitude and latitude swapped? The longitude comes first";
constexpr std::string_view kTextAfterPoint = "text after the longitude and latitude is ignored; a comment starts with '#'";
constexpr std::string_view kTextAfterRunway = "text after the two point numbers is ignored; a comment starts with '#'";
constexpr std::string_view kNotQuoted =
    "text after the numbers is not a quoted description and is ignored; put the description in double quotes";
constexpr std::string_view kUnclosedDescription = "the description has no closing double quote and is dropped";
constexpr std::string_view kTextAfterDescription = "text after the description is ignored";
constexpr std::string_view kZeroLengthRunway = "the runway has zero length";
constexpr std::string_view kCrossesMeridian = "the runway crosses the 180 degree meridian";
constexpr std::string_view kNegativeRadius =
    "the acceptance radius is negative: the waypoint is never reached and the route stops there";
constexpr std::string_view kSamePlace = "this waypoint is at the same place as the one before it";
constexpr std::string_view kPointUnused = "no waypoint or runway uses point ";
constexpr std::string_view kRunwayUnused = "no waypoint uses runway ";
constexpr std::string_view kNotText = "a zero byte: this does not look like a text file";
// The module needs the section even when it is empty of runways.
constexpr std::string_view kNoRunwaysHint =
    "; for a route without runways write the one line \"-1 -1\" between BEGIN_RUNWAYS and END_RUNWAYS";

constexpr double kMostLatitudeDeg = 90.0;
constexpr double kMostLongitudeDeg = 180.0;

// The module's message on one line, without the "Error: " that the
// diagnostic already says.
std::string AsDiagnosticText(std::string message) {
  constexpr std::string_view kErrorPrefix = "Error: ";
  if (std::string_view(message).starts_with(kErrorPrefix)) message.erase(0, kErrorPrefix.size());
  std::replace(message.begin(), message.end(), '\n', ' ');
  while (!message.empty() && message.back() == ' ') message.pop_back();
  return message;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The rest of a line after a field, without the blank before it.
std::string_view AfterField(std::string_view line, std::string_view field) {
  std::string_view rest = line.substr(static_cast<std::size_t>(field.data() + field.size() - line.data()));
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return rest;
}

class Checker {
 public:
  Checker(RouteCheck& check, const RouteFileReader& reader, const ReadTrace& trace, const FileLines& lines)
      : check_(check), reader_(reader), trace_(trace), lines_(lines) {
    for (const ReadTrace::Report& report : trace_.reports)
      if (report.subject.data() != nullptr) reportedSubjects_.insert(report.subject.data());
  }

  void Run() {
    for (const ReadTrace::Report& report : trace_.reports) AddError(report);
    for (const ReadTrace::PointLine& point : trace_.points) CheckPointLine(point);
    for (std::size_t i = 0; i < trace_.runways.size(); ++i) CheckRunwayLine(trace_.runways[i]);
    const ReadTrace::WaypointLine* previous = nullptr;
    for (const ReadTrace::WaypointLine& waypoint : trace_.waypoints) {
      CheckWaypointLine(waypoint);
      if (waypoint.routeIndex < 0) continue;
      if (previous != nullptr) CheckPlaces(*previous, waypoint);
      previous = &waypoint;
    }
    CheckUnused();
  }

 private:
  FilePlace PlaceOf(std::string_view inText) const { return lines_.PlaceOf(reader_.fileText, inText); }

  void Add(FilePlace place, Severity severity, std::string message) {
    check_.diagnostics.push_back({place, severity, std::move(message)});
  }
  void Warn(std::string_view about, std::string message) { Add(PlaceOf(about), Severity::Warning, std::move(message)); }

  // A report without a subject is about a missing section: at its begin
  // marker, else its end marker, else the end of the file.
  FilePlace SectionPlace(const std::string& message) const {
    for (const std::string_view name : {"POINTS", "RUNWAYS", "WAYPOINTS"}) {
      if (message.find("BEGIN_" + std::string(name)) == std::string::npos) continue;
      for (const std::string_view marker : {"BEGIN_", "END_"}) {
        const std::size_t at = reader_.fileText.find(std::string(marker) + std::string(name));
        if (at != std::string::npos) return PlaceOf(std::string_view(reader_.fileText).substr(at));
      }
      const std::size_t lineCount = lines_.LineCount();
      return {lineCount, lines_.Line(lineCount).size() + 1};
    }
    return {};
  }

  void AddError(const ReadTrace::Report& report) {
    const FilePlace place = report.subject.empty() ? SectionPlace(report.message) : PlaceOf(report.subject);
    std::string message = AsDiagnosticText(report.message);
    if (report.message == route_messages::kRunwaysMissing) message += kNoRunwaysHint;
    Add(place, Severity::Error, std::move(message));
  }

  // Looked up, not searched: a file of only faulty lines has as many
  // reports as fields.
  bool Reported(std::string_view field) const {
    return !field.empty() && reportedSubjects_.count(field.data()) != 0;
  }

  void CheckNumberTail(std::string_view field, bool integer) {
    if (field.empty() || Reported(field)) return;
    const std::size_t length = integer ? IntFieldLength(field) : DoubleFieldLength(field);
    if (length == 0 || length >= field.size()) return;
    const std::string_view tail = field.substr(length);
    std::string message = Quoted(tail) + " after the number " + std::string(field.substr(0, length)) + " is ignored";
    if (tail.front() == ',') message += kCommaHint;
    Warn(tail, message);
  }

  // The two numbers of a point or runway line and the text after them;
  // false when the line is too short to hold them.
  bool CheckTwoNumbers(const TracedLine& line, bool integers, std::string_view textAfterWarning) {
    if (line.fieldCount < 2) return false;
    CheckNumberTail(line.fields[0], integers);
    CheckNumberTail(line.fields[1], integers);
    if (const std::string_view rest = AfterField(line.text, line.fields[1]); !rest.empty())
      Warn(rest, std::string(textAfterWarning));
    return true;
  }

  void CheckPointLine(const ReadTrace::PointLine& point) {
    const TracedLine& line = point.line;
    if (!CheckTwoNumbers(line, false, kTextAfterPoint) || !point.read) return;
    const double latitudeDeg = point.point.latitude;
    const double longitudeDeg = point.point.longitude;
    const bool swapFits = std::fabs(longitudeDeg) <= kMostLatitudeDeg && std::fabs(latitudeDeg) <= kMostLongitudeDeg;
    if (!(std::fabs(latitudeDeg) <= kMostLatitudeDeg))
      Warn(line.fields[1], std::string(kLatitudeOutside) + (swapFits ? std::string(kSwapHint) : ""));
    if (!(std::fabs(longitudeDeg) <= kMostLongitudeDeg))
      Warn(line.fields[0], std::string(kLongitudeOutside));
  }

  void CheckRunwayLine(const ReadTrace::RunwayLine& runway) {
    const TracedLine& line = runway.line;
    if (!CheckTwoNumbers(line, true, kTextAfterRunway) || !runway.read) return;
    const RoutePoint& end1 = trace_.points[static_cast<std::size_t>(runway.end1Point)].point;
    const RoutePoint& end2 = trace_.points[static_cast<std::size_t>(runway.end2Point)].point;
    if (end1.latitude == end2.latitude && end1.longitude == end2.longitude)
      Warn(line.text, std::string(kZeroLengthRunway));
    else if (std::fabs(end1.longitude - end2.longitude) > kMostLongitudeDeg)
      Warn(line.text, std::string(kCrossesMeridian));
  }

  void CheckWaypointLine(const ReadTrace::WaypointLine& waypoint) {
    const TracedLine& line = waypoint.line;
    // Five fields are an altitude without its speed, an error already.
    if (line.fieldCount < 4 || line.fieldCount == 5) return;
    CheckNumberTail(line.fields[1], true);
    CheckNumberTail(line.fields[3], false);
    if (waypoint.routeIndex >= 0 && reader_.waypoints[static_cast<std::size_t>(waypoint.routeIndex)].acceptRadius < 0.0)
      Warn(line.fields[3], std::string(kNegativeRadius));
    std::size_t lastNumber = 3;
    if (line.fieldCount == 6) {
      CheckNumberTail(line.fields[4], false);
      CheckNumberTail(line.fields[5], false);
      lastNumber = 5;
    }
    if (Reported(line.fields[4]) || Reported(line.fields[5])) return;  // a description too early, already an error
    const std::string_view rest = AfterField(line.text, line.fields[lastNumber]);
    if (rest.empty()) return;
    if (rest.front() != '"') {
      Warn(rest, std::string(kNotQuoted));
      return;
    }
    const std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) {
      Warn(rest, std::string(kUnclosedDescription));
      return;
    }
    std::string_view after = rest.substr(close + 1);
    while (!after.empty() && after.front() == ' ') after.remove_prefix(1);
    if (!after.empty()) Warn(after, std::string(kTextAfterDescription));
  }

  void CheckPlaces(const ReadTrace::WaypointLine& before, const ReadTrace::WaypointLine& waypoint) {
    const Waypoint& a = reader_.waypoints[static_cast<std::size_t>(before.routeIndex)];
    const Waypoint& b = reader_.waypoints[static_cast<std::size_t>(waypoint.routeIndex)];
    if (a.latitude == b.latitude && a.longitude == b.longitude)
      Warn(waypoint.line.text, std::string(kSamePlace) + " (line " +
                                   std::to_string(PlaceOf(before.line.text).line) + ")");
  }

  void CheckUnused() {
    std::set<std::int32_t> usedPoints;
    std::set<std::int32_t> usedRunways;
    for (const ReadTrace::RunwayLine& runway : trace_.runways) {
      if (!runway.read) continue;
      usedPoints.insert(runway.end1Point);
      usedPoints.insert(runway.end2Point);
    }
    for (const ReadTrace::WaypointLine& waypoint : trace_.waypoints)
      (waypoint.onRunway ? usedRunways : usedPoints).insert(waypoint.index);
    for (std::size_t i = 0; i < trace_.points.size(); ++i)
      if (trace_.points[i].read && usedPoints.count(static_cast<std::int32_t>(i)) == 0)
        Warn(trace_.points[i].line.text, std::string(kPointUnused) + std::to_string(i));
    for (std::size_t i = 0; i < trace_.runways.size(); ++i)
      if (trace_.runways[i].read && usedRunways.count(static_cast<std::int32_t>(i)) == 0)
        Warn(trace_.runways[i].line.text, std::string(kRunwayUnused) + std::to_string(i));
  }

  RouteCheck& check_;
  const RouteFileReader& reader_;
  const ReadTrace& trace_;
  const FileLines& lines_;
  std::unordered_set<const char*> reportedSubjects_;  // where each report's subject starts in fileText
};

// The diagnostics in the order they are found. The reader, its trace and
// the line table go on return, before the sort takes its own buffer.
std::vector<Diagnostic> FindDiagnostics(const RouteInput& input) {
  RouteCheck check;
  const std::string& bytes = input.bytes;
  ReadTrace trace;
  RouteFileReader reader(&trace, true);
  reader.SetReportEcho(DiscardEcho);
  simhost::host().ClearLog();  // the tool's log is only ever the last read's
  reader.ParseRouteBytes(bytes, input.tooLarge);
  const FileLines lines(bytes, trace.origins);
  // The module reads a zero byte as text like any other, so a binary file
  // is a warning at its first one; the errors it causes follow.
  if (const std::size_t zero = bytes.find('\0'); zero != std::string::npos)
    check.diagnostics.push_back({lines.PlaceOfFileOffset(zero), Severity::Warning, std::string(kNotText)});
  Checker(check, reader, trace, lines).Run();
  return std::move(check.diagnostics);
}

}  // namespace

std::size_t RouteCheck::ErrorCount() const {
  return static_cast<std::size_t>(std::count_if(diagnostics.begin(), diagnostics.end(),
                                                [](const Diagnostic& d) { return d.severity == Severity::Error; }));
}

std::size_t RouteCheck::WarningCount() const { return diagnostics.size() - ErrorCount(); }

RouteCheck CheckRouteInput(const RouteInput& input) {
  RouteCheck check;
  check.path = input.path;
  {
    // The module's read first and gone before the check's own: the two
    // never hold their lists at once.
    const RouteSource module = ReadRouteSource(input);
    check.verdict = {module.points.size(), module.runways.size(), module.waypoints.size(), module.errorFlag,
                     module.errorText};
  }
  check.diagnostics = FindDiagnostics(input);
  std::stable_sort(check.diagnostics.begin(), check.diagnostics.end(), [](const Diagnostic& a, const Diagnostic& b) {
    if (a.place.line != b.place.line) return a.place.line < b.place.line;
    if (a.place.column != b.place.column) return a.place.column < b.place.column;
    return a.severity == Severity::Error && b.severity == Severity::Warning;
  });
  return check;
}

RouteCheck CheckRouteFile(const std::string& path) {
  RouteInput input;
  ReadRouteInput(path, input);
  return CheckRouteInput(input);
}

std::string QuotedExactly(const std::string& text) {
  static constexpr CharEscape kEscapes[] = {
      {'"', "\\\""}, {'\\', "\\\\"}, {'\n', "\\n"}, {'\r', "\\r"}, {'\t', "\\t"}};
  return "\"" + TerminalText(Escaped(text, kEscapes)) + "\"";
}

std::string DiagnosticLine(const std::string& path, const Diagnostic& diagnostic) {
  std::string line = PlaceText(TerminalText(path), diagnostic.place);
  line.append(diagnostic.severity == Severity::Error ? ": error: " : ": warning: ");
  return line.append(TerminalText(diagnostic.message));
}

std::string VerdictLine(const std::string& path, const ModuleVerdict& verdict) {
  const auto count = [](std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string line = TerminalText(path) + ": the module loads " + count(verdict.points, "point", "points") + ", " +
                     count(verdict.runways, "runway", "runways") + ", " +
                     count(verdict.waypoints, "waypoint", "waypoints") + "; ";
  return line + (verdict.errorFlag ? "error text " + QuotedExactly(verdict.errorText) : "no error");
}

}  // namespace route_tool
