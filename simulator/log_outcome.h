// What the host saw of the module over a run, read from its counters and
// from its log by the messages the route file reader writes there. The log
// is read line by line as the host writes it, so no line need be kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "simhost/sim_host.h"
#include "simulator/summary.h"

namespace simulator {

class LogReads {
 public:
  void Line(std::string_view line);

  std::size_t lines = 0;
  std::size_t parsesStarted = 0;
  std::size_t parsesCompleted = 0;
  // The reads that ended with an error: the last message of each, as the
  // display keeps it.
  std::vector<std::string> readsWithAnError;

 private:
  bool afterErrorHeader_ = false;
  std::string lastError_;
};

// Fills the outcome's counts of pens and fonts from the host, and of log
// lines and route file reads from what was read of the log.
void ReadHostOutcome(const simhost::Host& host, const LogReads& log, RunOutcome& outcome);

}  // namespace simulator
