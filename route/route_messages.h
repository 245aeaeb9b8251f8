// Every text the route reader writes to the host log or reports as an
// error, in one place. Users search their log for these, so they never
// change; the misspellings are part of the format.
#pragma once

#include <string_view>

namespace route_messages {

// Progress lines of ParseRouteFile, in the order they appear.
inline constexpr char kStartParsing[] = "Tarvik MFD: Start parsing file...";
inline constexpr char kParsingCompleted[] = "Tarvik MFD: Parsing completed!";

inline constexpr char kParsingPoints[] = "Parsing Points...";
inline constexpr char kStartSplitLines[] = "..start spilt 1..";
inline constexpr char kEndSplitLines[] = "..end spilt 1..";
inline constexpr char kPointsLinesReady[] = ".1..";
inline constexpr char kPointLine[] = "..";
inline constexpr char kStartSplitFields[] = "..start spilt 2..";
inline constexpr char kEndSplitFields[] = "..end spilt 2..";
inline constexpr char kStepOk[] = "Ok!";

inline constexpr char kParsingRunways[] = "Parsing Runways...";

inline constexpr char kWaypointsStart[] = "getRoute 1";
inline constexpr char kWaypointsBody[] = "getRoute 2";
inline constexpr char kWaypointLine[] = ".1";
inline constexpr char kWaypointIndexAndTask[] = ".2";
inline constexpr char kWaypointRadius[] = ".3";
inline constexpr char kWaypointAltitudeSpeed[] = ".4";
inline constexpr char kWaypointRunway[] = ".5";
inline constexpr char kWaypointPoint[] = ".6";
inline constexpr char kWaypointPointDone[] = ".7";
inline constexpr char kWaypointReferenceDone[] = ".8";
inline constexpr char kWaypointDone[] = ".9";

// ReportError: the line before every message, and what stands in for a
// message too long for the host's 500-character log buffer.
inline constexpr char kErrorLogHeader[] = "Tarvik MFD Log:";
inline constexpr char kErrorLogTooLong[] = "Tarvik MFD: Error log to lonng!";
inline constexpr std::size_t kLongestLoggedMessage = 498;

// Section markers and the "not found" message of ExtractSection:
// "Error: BEGIN_" + name + " or END_" + name + "not found".
inline constexpr std::string_view kBeginMarker = "BEGIN_";
inline constexpr std::string_view kEndMarker = "END_";
inline constexpr std::string_view kSectionNotFoundStart = "Error: BEGIN_";
inline constexpr std::string_view kSectionNotFoundMiddle = " or END_";
inline constexpr std::string_view kSectionNotFoundEnd = "not found";

inline constexpr std::string_view kPointsSection = "POINTS";
inline constexpr std::string_view kRunwaysSection = "RUNWAYS";
inline constexpr std::string_view kWaypointsSection = "WAYPOINTS";

// The second report of a missing section, from the step that needed it.
inline constexpr std::string_view kPointsMissing = "Error parsing file!\nEND_POINTS not found after BEGIN_POINTS?\n";
inline constexpr std::string_view kRunwaysMissing = "Error parsing file!\nEND_RUNWAYS not found after BEGIN_RUNWAYS?\n";
inline constexpr std::string_view kWaypointsMissing =
    "Error parsing file!\nEND_WAYPOINTS not found after BEGIN_WAYPOINTS?\n";

// Number conversion: "error converting " + field + " to double." / " to int."
inline constexpr std::string_view kConversionStart = "error converting ";
inline constexpr std::string_view kToDouble = " to double.";
inline constexpr std::string_view kToInt = " to int.";

// References of a waypoint line that name nothing.
inline constexpr std::string_view kRunwayNotFound = "Error: Runway in route not found!";
inline constexpr std::string_view kPointNotFound = "Error: Point in route not found!";

// Lines the format does not define. Each message names the section, the
// line's number in it (from 1) and the offending text, quoted and cut to
// kQuotedTextLimit characters:
//   <section> line <n>: <what>: "<text>"
inline constexpr std::size_t kQuotedTextLimit = 60;
inline constexpr std::string_view kLineStart = "Error: ";
inline constexpr std::string_view kLineMiddle = " line ";
inline constexpr std::string_view kTooFewFieldsPoint = "needs a longitude and a latitude";
inline constexpr std::string_view kTooFewFieldsRunway = "needs two point numbers";
inline constexpr std::string_view kTooFewFieldsWaypoint = "needs a reference, an index, a task and a radius";
inline constexpr std::string_view kAltitudeWithoutSpeed = "has an altitude but no speed";
inline constexpr std::string_view kRunwayEndNotFound = "names a point that does not exist";
inline constexpr std::string_view kUnknownReference = "reference is neither RUNWAY nor POINT";
inline constexpr std::string_view kUnknownTask = "task is none of TURN, LOOP, TAKEOFF, LAND";
inline constexpr std::string_view kBadLoopTarget = "loop target is not a waypoint number";
inline constexpr std::string_view kLoopTargetOutside = "loop target is not a waypoint of the route";

// A loop may name where it continues: "LOOP:" and a waypoint number from 0.
inline constexpr std::string_view kLoopWithTarget = "LOOP:";

// The file is larger than any route file (kLargestRouteFileBytes), or
// never ends (a device, a file that keeps growing).
inline constexpr std::string_view kTooLarge = "Error: the route file is larger than 256 MiB and is not read!";

// The file or its lists did not fit in memory.
inline constexpr std::string_view kOutOfMemory = "Error: not enough memory to read the route file!";

// Logged, before the path, when the file exists but may not be read; the
// reader then goes on as for a missing file.
inline constexpr std::string_view kPermissionDenied = "Tarvik MFD: permission denied: ";

}  // namespace route_messages
