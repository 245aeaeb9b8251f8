// A route file read from a test: the reader's outcome with the host's log,
// and the log groups of a clean parse to compare it with.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "route/route_file_reader.h"
#include "simhost/sim_host.h"
#include "tests/support/route_test_support.h"

namespace route_reader_test {

using route_test::TempFile;
using Log = std::vector<std::string>;

inline constexpr double kRad = 0.017453292519943295;

inline const std::string kPointsMissing = "Error parsing file!\nEND_POINTS not found after BEGIN_POINTS?\n";
inline const std::string kRunwaysMissing = "Error parsing file!\nEND_RUNWAYS not found after BEGIN_RUNWAYS?\n";
inline const std::string kWaypointsMissing = "Error parsing file!\nEND_WAYPOINTS not found after BEGIN_WAYPOINTS?\n";

inline const std::string kExample =
    "BEGIN_POINTS\n"
    "-80.60 28.60\n"
    "-80.70 28.50 # a comment: from the hash sign on, the line is dropped\n"
    "-80.50 28.40\n"
    "END_POINTS\n"
    "BEGIN_RUNWAYS\n"
    "0 1\n"
    "END_RUNWAYS\n"
    "BEGIN_WAYPOINTS\n"
    "RUNWAY 0 TAKEOFF 500 0 0 \"Departure runway\"\n"
    "POINT 2 TURN 2000 3000 250 \"Turn over the point\"\n"
    "RUNWAY 0 LAND 500 0 0 \"Back to the runway\"\n"
    "END_WAYPOINTS\n";

inline std::string Route(const std::string& pointLines, const std::string& runwayLines, const std::string& waypointLines) {
  return "BEGIN_POINTS\n" + pointLines + "END_POINTS\nBEGIN_RUNWAYS\n" + runwayLines +
         "END_RUNWAYS\nBEGIN_WAYPOINTS\n" + waypointLines + "END_WAYPOINTS\n";
}
// Three points, one runway, and the given waypoint lines.
inline std::string RouteWithWaypoints(const std::string& waypointLines) {
  return Route("10 50\n11 51\n12 52\n", "0 1\n", waypointLines);
}

struct Outcome {
  WaypointList waypoints;
  RunwayList runways;
  std::string errorText;
  bool errorFlag = false;
  Log log;
};

class RouteFileReaderTest : public testing::Test {
 protected:
  void SetUp() override { simhost::host().Reset(); }

  static Outcome ParsePath(const std::string& path) {
    RouteFileReader reader;
    Outcome outcome;
    testing::internal::CaptureStdout();  // every report is echoed there
    outcome.waypoints = reader.ParseRouteFile(path);
    testing::internal::GetCapturedStdout();
    outcome.runways = reader.GetRunways();
    outcome.errorText = reader.errorText;
    outcome.errorFlag = reader.errorFlag;
    outcome.log = simhost::host().LogLines();
    return outcome;
  }
  static Outcome Parse(const std::string& fileText) {
    const TempFile file(fileText);
    return ParsePath(file.Path());
  }
};

// The log groups of a clean parse.
inline Log PointsLog(int points) {
  Log log{"Parsing Points...", "..start spilt 1..", "..end spilt 1..", ".1.."};
  for (int i = 0; i < points; ++i) log.insert(log.end(), {"..", "..start spilt 2..", "..end spilt 2.."});
  log.push_back("Ok!");
  return log;
}
inline Log WaypointLog(bool runway) {
  Log log{".1", ".2", ".3", ".4"};
  if (runway) {
    log.push_back(".5");
  } else {
    log.insert(log.end(), {".6", ".7"});
  }
  log.insert(log.end(), {".8", ".9"});
  return log;
}
inline Log Join(std::initializer_list<Log> parts) {
  Log all;
  for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}
inline const Log kStart{"Tarvik MFD: Start parsing file..."};
inline const Log kCompleted{"Tarvik MFD: Parsing completed!"};
inline const Log kRunwaysOk{"Parsing Runways...", "Ok!"};
inline const Log kWaypointsStart{"getRoute 1", "getRoute 2"};
inline Log Report(const std::string& message) { return {"Tarvik MFD Log:", message}; }
inline Log SectionMissing(const std::string& name, const std::string& second) {
  return Join({Report("Error: BEGIN_" + name + " or END_" + name + "not found"), Report(second)});
}

}  // namespace route_reader_test
