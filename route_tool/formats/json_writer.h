// Writes a parsed route as one JSON document: the records under their own
// field names, the error state and the host log lines of the parse.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "route/route_records.h"

struct RouteParseResult {
  WaypointList waypoints;
  RunwayList runways;
  std::string errorText;
  bool errorFlag = false;
};

// A text as a JSON string, every byte kept (see below); the document's
// "log" array holds the host log lines so.
std::string JsonText(std::string_view line);

// One line of compact JSON, written to out piece by piece so that the
// document is never whole in memory: the records under their own field
// names, the error state, and as "log" the bytes of logArray, the log's
// lines as JsonText writes them, joined by commas. Numbers read back as
// the same double; JSON has no infinities or NaN, so these are the strings
// "inf", "-inf", "nan". Valid UTF-8 passes through; every byte that is not
// part of a valid UTF-8 sequence is written as \u00XX (the byte read as
// Latin-1), so no byte of a route file is lost. False when logArray could
// not be read back.
bool WriteRouteJson(const RouteParseResult& result, std::FILE* logArray, std::FILE* out);
