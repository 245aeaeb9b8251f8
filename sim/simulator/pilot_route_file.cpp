// The pilot's own reading of its vessel's route file, unseen by the module
// and by the user.
#include "sim/simulator/pilot_route_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "route/route_file_reader.h"
#include "sim/host/sim_host.h"

namespace simulator {

namespace {

// Standard output silenced for as long as it lives: the reader echoes its
// reports there, and the pilot's own reading must not show.
class SilencedStdout {
 public:
  SilencedStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      close(null);
    }
  }
  ~SilencedStdout() {
    std::fflush(stdout);
    if (saved_ >= 0) {
      dup2(saved_, STDOUT_FILENO);
      close(saved_);
    }
  }
  SilencedStdout(const SilencedStdout&) = delete;
  SilencedStdout& operator=(const SilencedStdout&) = delete;

 private:
  int saved_ = -1;
};

// The reading itself, kept out of the module's log.
bool ReadQuietly(const std::string& path, WaypointList& route, std::string& errorText) {
  sim::host().logMuted = true;
  {
    SilencedStdout quiet;
    RouteFileReader reader;
    route = reader.ParseRouteFile(path);
    errorText = reader.errorText;
  }
  sim::host().logMuted = false;
  return errorText.empty();
}

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

bool ReadPilotRoute(const Scenario& scenario, std::size_t vessel, WaypointList& route, std::string& error) {
  const VesselScenario& scenarioEntry = scenario.vessels[vessel];
  std::string errorText;
  if (!ReadQuietly(scenario.routeFolder + "/" + scenarioEntry.routeFile, route, errorText)) {
    error = scenario.path + ": /vessels/" + std::to_string(vessel) + "/route: route file \"" + scenarioEntry.routeFile +
            "\" does not read cleanly: " + OneLine(errorText);
    return false;
  }
  if (route.empty()) {
    error = scenario.path + ": /vessels/" + std::to_string(vessel) + "/route: route file \"" + scenarioEntry.routeFile +
            "\" holds no waypoints";
    return false;
  }
  return true;
}

}  // namespace simulator
