// Reads one route file into its waypoint and runway lists. Created for one
// load and destroyed after it; every step and every error goes to the host
// log, and the last error message stays in errorText.
#pragma once

#include <string>
#include <vector>

#include "route/route_records.h"
#include "route/section_text.h"

class RouteFileReader final : public ErrorSink {
 public:
  // Runs the whole parse; always returns, also after errors.
  WaypointList ParseRouteFile(const std::string& path);
  RunwayList GetRunways() const;
  // Raises errorFlag, keeps the message as errorText, logs it and echoes
  // it to standard output.
  void ReportError(const std::string& message) override;

  std::string errorText;  // the last reported message, empty when none
  std::string fileText;   // the file after reading and normalisation
  WaypointList waypoints;
  RunwayList runways;
  bool errorFlag = false;  // never cleared while the reader lives

 private:
  std::vector<RoutePoint> ParsePoints();
  RunwayList ParseRunways(const std::vector<RoutePoint>& points);
  WaypointList ParseWaypoints(const std::vector<RoutePoint>& points, const RunwayList& runwayList);
};
