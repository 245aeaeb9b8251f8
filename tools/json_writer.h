// Writes a parsed route as one JSON document: the records under their own
// field names, the error state and the host log lines of the parse.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "route/route_records.h"

// A JSON string literal. Valid UTF-8 passes through; every byte that is
// not part of a valid UTF-8 sequence becomes \u00XX (the byte read as
// Latin-1), so no byte of a route file is lost.
void AppendJsonString(std::string& out, std::string_view bytes);

// The shortest text that reads back as the same double; JSON has no
// infinities or NaN, so these become the strings "inf", "-inf", "nan".
void AppendJsonNumber(std::string& out, double value);

struct RouteParseResult {
  WaypointList waypoints;
  RunwayList runways;
  std::string errorText;
  bool errorFlag = false;
  std::vector<std::string> log;  // one entry per host log line
};

std::string RouteJson(const RouteParseResult& result);
