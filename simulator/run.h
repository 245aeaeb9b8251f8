// Runs a scenario in the simulated host: loads the module library, builds
// the world, flies the pilots, plays the timeline, steps the module every
// step, redraws the displays at their refresh interval, ends the simulation
// and unloads the module; writes frames, the overview, the log and the
// draw-call recording into the output folder.
#pragma once

#include <optional>
#include <string>

#include "simulator/scenario.h"
#include "simulator/summary.h"

namespace simulator {

struct RunOptions {
  std::string outputFolder;   // as the user gave it
  std::string modulePath;
  bool recordDrawCalls = false;
  std::optional<double> frameIntervalSeconds;  // replaces the scenario's
  std::size_t overviewRows = 6;
  bool showProgress = false;
};

// Display ids of the simulated host: a scenario display has its index; each
// pilot reads and keys its vessel's route through a display of its own,
// never drawn, with the id kPilotDisplayIds + the vessel's index.
inline constexpr UINT kPilotDisplayIds = 100;

// A fault found before the run starts (a route the pilot cannot read, a
// module that does not load, a mode key no mode answers, an output folder
// that cannot be made) returns false with the message in error: nothing is
// run and nothing written. Otherwise the run is complete and outcome holds
// what the summary reports.
bool RunScenario(const Scenario& scenario, const RunOptions& options, RunOutcome& outcome, std::string& error);

}  // namespace simulator
