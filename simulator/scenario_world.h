// Reading a scenario's world: the bodies with their bases and transmitters,
// the vessels with their pilots, and the displays, each checked against
// what was read before it (a vessel's body, base, receivers and route file).
#pragma once

#include "simulator/scenario.h"
#include "simulator/scenario_fields.h"

namespace simulator {

// Reads "bodies", "vessels" and "displays" of the scenario's top object,
// in that order; the route folder must be read already.
void ReadWorld(scenario_fields::ObjectReader& top, Scenario& scenario);

}  // namespace simulator
