// Writes a parsed route as one JSON document: the records under their own
// field names, the error state and the host log lines of the parse.
#pragma once

#include <string>
#include <vector>

#include "route/route_records.h"

struct RouteParseResult {
  WaypointList waypoints;
  RunwayList runways;
  std::string errorText;
  bool errorFlag = false;
  std::vector<std::string> log;  // one entry per host log line
};

// One line of compact JSON. Numbers read back as the same double; JSON has
// no infinities or NaN, so these are the strings "inf", "-inf", "nan".
// Valid UTF-8 passes through; every byte that is not part of a valid UTF-8
// sequence is written as \u00XX (the byte read as Latin-1), so no byte of
// a route file is lost.
std::string RouteJson(const RouteParseResult& result);
