// The pilot's own reading of its vessel's route file, before the run: what
// the pilot flies, read with the module's reader but kept out of the
// module's log and off standard output.
#pragma once

#include <cstddef>
#include <string>

#include "route/route_records.h"
#include "simulator/scenario.h"

namespace simulator {

// Reads the route file of the scenario's vessel at that index; false with
// the message in error when it does not read cleanly or holds no waypoints.
bool ReadPilotRoute(const Scenario& scenario, std::size_t vessel, WaypointList& route, std::string& error);

}  // namespace simulator
