// Puts a scenario's world into the simulated host: bodies with their bases
// and transmitters, then the vessels in scenario order (the first has the
// focus).
#pragma once

#include <map>
#include <string>

#include "simhost/sim_host.h"
#include "simulator/scenario.h"

namespace simulator {

// The host's vessels by scenario name.
using VesselsByName = std::map<std::string, simhost::Vessel*>;

VesselsByName BuildWorld(const Scenario& scenario);

// Height of a vessel's centre when it stands on its touchdown points.
double StandingAltitude(const std::array<VECTOR3, 3>& touchdown);

}  // namespace simulator
