// What the host saw of the module over a run, for the summary: the pens and
// fonts it made and left alive, and the reads of route files its log shows.
#pragma once

#include "sim/host/sim_host.h"
#include "sim/simulator/summary.h"

namespace simulator {

// Fills the outcome's counts of pens, fonts, log lines and route file reads.
void ReadHostOutcome(const sim::Host& host, RunOutcome& outcome);

}  // namespace simulator
