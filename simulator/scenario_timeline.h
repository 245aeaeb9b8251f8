// Reading a scenario's timeline of inputs, and playing it through without
// running it so that an input a display could never take is a fault before
// the run rather than a surprise in it.
#pragma once

#include <nlohmann/json.hpp>

#include "simulator/scenario.h"

namespace simulator {

// Reads the events into the scenario's timeline in time order (equal times
// keep file order); the displays, vessels and route folder must be read.
void ReadTimeline(const nlohmann::json& timeline, Scenario& scenario);

// Inputs only reach a display in a mode, and no event names a vessel
// already deleted.
void CheckTimelineOrder(const Scenario& scenario);

}  // namespace simulator
