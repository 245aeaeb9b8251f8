// What a run leaves to report, and the summary written from it: when each
// waypoint became current as the module showed it, where the pilot's own
// copy differed, and where each vessel ended.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "route/route_records.h"
#include "simhost/sim_host.h"
#include "simulator/pilot.h"

namespace simulator {

struct VesselEnd {
  simhost::LatLon position;
  double altitudeMetres = 0.0;
  double heightMetres = 0.0;  // lowest touchdown point above the ground
  double airspeed = 0.0;
  double headingRad = 0.0;
  std::string baseName;       // where the host has it landed, empty when none
};

struct VesselOutcome {
  std::string name;
  std::string routeFile;
  WaypointList route;                      // as the pilot read it
  bool pilotStarted = false;
  std::vector<SequenceEvent> module;       // each change the pilot's display showed
  std::vector<SequenceEvent> pilotCopy;    // the pilot's own sequencing
  std::vector<std::pair<std::size_t, int>> laps;  // loop waypoint index, jumps back
  std::vector<double> nextPresses;         // when the pilot pressed N
  std::vector<std::pair<double, std::string>> milestones;  // lift-off, touchdown, rest
  std::optional<double> deletedAtSeconds;
  VesselEnd end;
};

struct RunOutcome {
  std::string scenarioPath;
  std::string outputFolder;
  std::string moduleDate;
  int moduleVersion = 0;
  double durationSeconds = 0.0;
  double timeStepSeconds = 0.0;
  long long steps = 0;
  std::size_t displayCount = 0;
  std::size_t frameCount = 0;
  bool drawCallsRecorded = false;
  std::vector<VesselOutcome> vessels;
  std::vector<std::pair<double, std::string>> focusChanges;  // time, vessel name
  std::vector<std::string> notes;                             // inputs that did not take
  int pensCreated = 0;
  int fontsCreated = 0;
  int livePens = 0;
  int liveFonts = 0;
  std::size_t logLines = 0;
  std::size_t parsesStarted = 0;
  std::size_t parsesCompleted = 0;
  std::vector<std::string> readsWithAnError;  // the error text of each, in order
};

void WriteSummary(const RunOutcome& outcome, std::ostream& out);

}  // namespace simulator
