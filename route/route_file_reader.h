// Reads one route file into its waypoint and runway lists. Created for one
// load and destroyed after it; every step and every error goes to the host
// log, and the last error message stays in errorText.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "route/route_records.h"
#include "route/section_text.h"

// One line of a section as the reader cut it: views into the reader's
// fileText, valid while the reader lives.
struct TracedLine {
  std::string_view text;
  std::array<std::string_view, 6> fields{};  // the first fields the reader looked at
  std::size_t fieldCount = 0;                // how many of them the line has
};

// What a read found and where, for tools that point at a file's lines. The
// module never asks for it; asking changes nothing the reader logs or
// returns.
struct ReadTrace {
  struct Report {
    std::string message;
    std::string_view subject;  // the field or line it is about; empty when none
  };
  struct PointLine {
    TracedLine line;
    RoutePoint point;  // [deg] as written
    bool read = false;
  };
  struct RunwayLine {
    TracedLine line;
    std::int32_t end1Point = -1;
    std::int32_t end2Point = -1;
    bool read = false;  // a runway of the list
  };
  struct WaypointLine {
    TracedLine line;
    bool onRunway = false;         // RUNWAY, else POINT
    std::int32_t index = -1;       // of the runway or point
    std::int32_t routeIndex = -1;  // its place in the waypoint list, -1 when not in it
  };

  // Where each byte of fileText came from in the file; left empty when not
  // wanted, as it takes several bytes for each byte of the file.
  bool wantOrigins = true;
  TextOrigins origins;
  std::vector<Report> reports;
  std::vector<PointLine> points;
  std::vector<RunwayLine> runways;
  std::vector<WaypointLine> waypoints;
};

// Where a reader echoes each reported message. The module's reader writes
// to standard output; a tool that shows reports its own way chooses
// another, or DiscardEcho.
using ReportEcho = std::function<void(std::string_view message)>;
void EchoToStandardOutput(std::string_view message);
void DiscardEcho(std::string_view message);

class RouteFileReader final : public ErrorSink {
 public:
  RouteFileReader() = default;
  // A reader that fills the trace. With readPastErrors a line with an
  // error is left out and reading goes on, so that one read finds every
  // problem of a file; a bad POINTS or RUNWAYS line then still takes its
  // number, so that later references mean what the file means.
  explicit RouteFileReader(ReadTrace* trace, bool readPastErrors = false)
      : trace_(trace), readPastErrors_(readPastErrors) {}

  // Runs the whole parse; always returns, also after errors.
  WaypointList ParseRouteFile(const std::string& path);
  // The same parse of a file's bytes that the caller read (a tool reads its
  // input once); tooLarge stands for a file larger than
  // kLargestRouteFileBytes, of which nothing was kept. The lists are left
  // in waypoints and runways, not copied out.
  void ParseRouteBytes(std::string bytes, bool tooLarge);
  RunwayList GetRunways() const;
  // Raises errorFlag, keeps the message as errorText, logs it and echoes
  // it (to standard output unless SetReportEcho chose otherwise).
  void ReportError(const std::string& message) override;
  void SetReportEcho(ReportEcho echo) { echo_ = std::move(echo); }

  std::string errorText;  // the last reported message, empty when none
  std::string fileText;   // the file after reading and normalisation
  WaypointList waypoints;
  RunwayList runways;
  bool errorFlag = false;  // never cleared while the reader lives

 private:
  // Where the text comes from: the file's name or bytes already read.
  using TextReading = std::function<std::string(TextOrigins* origins, bool& tooLarge)>;
  void ParseText(const TextReading& readText);
  std::vector<RoutePoint> ParsePoints();
  RunwayList ParseRunways(const std::vector<RoutePoint>& points);
  WaypointList ParseWaypoints(const std::vector<RoutePoint>& points, const RunwayList& runwayList);

  // Whether the current line must stop: the module stops a step at any
  // error so far; a full check only at an error of this line.
  bool LineFailed(std::size_t reportsBeforeLine) const;
  double FieldAsDouble(std::string_view field);
  std::int32_t FieldAsInt(std::string_view field);
  void ReportAbout(std::string_view subject, const std::string& message);
  // A section's body; empty, after reporting `missing`, when it has none.
  std::string_view SectionOrReport(std::string_view name, std::string_view missing);
  enum class NumberKind { Double, Int };
  // A line too short for its kind. After an earlier error the module's
  // step stops at the line's first number, converting it first (a failed
  // conversion reports); a line without that field stops silently.
  void ReportShortLine(std::string_view line, std::string_view firstNumber, NumberKind kind,
                       const std::string& message);

  ReadTrace* trace_ = nullptr;
  bool readPastErrors_ = false;
  ReportEcho echo_ = EchoToStandardOutput;
  std::size_t reportCount_ = 0;
  std::string_view subject_;  // what the next report is about
};

// The description of a waypoint line: the characters between its first and
// second double quote; none when the first quote stands at the start of
// the line or has no partner.
std::string_view DescriptionOf(std::string_view line);
