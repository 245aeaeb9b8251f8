// Writes a parsed route as one JSON document: the records under their own
// field names, the error state and the host log lines of the parse.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "route/route_records.h"

namespace route_tool {

struct RouteParseResult {
  WaypointList waypoints;
  RunwayList runways;
  std::string errorText;
  bool errorFlag = false;
};

// Every JSON document of the tool is written so: valid UTF-8 as it is,
// and each ill-formed sequence of bytes that are not UTF-8 as one U+FFFD,
// as Unicode recommends and browsers' JSON writers do. An indent of -1
// writes one line.
template <typename Document>
std::string JsonDocumentText(const Document& document, int indent = -1) {
  return document.dump(indent, ' ', false, Document::error_handler_t::replace);
}

// A text as a JSON string; the document's "log" array holds the host log
// lines so.
std::string JsonText(std::string_view line);

// One line of compact JSON, written to out piece by piece so that the
// document is never whole in memory: the records under their own field
// names, the error state, and as "log" the bytes of logArray, the log's
// lines as JsonText writes them, joined by commas. Numbers read back as
// the same double; JSON has no infinities or NaN, so these are the strings
// "inf", "-inf", "nan". Texts as JsonDocumentText writes them. False when
// logArray could not be read back.
bool WriteRouteJson(const RouteParseResult& result, std::FILE* logArray, std::FILE* out);

}  // namespace route_tool
