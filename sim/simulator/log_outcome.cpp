// What the host saw of the module over a run, read from its counters and
// its log by the messages the route file reader writes there.
#include "sim/simulator/log_outcome.h"

#include <algorithm>
#include <string>
#include <vector>

#include "route/route_messages.h"

namespace simulator {

namespace {

// The reads of route files the log shows that ended with an error: the
// last message of each, as the display keeps it.
std::vector<std::string> ReadsWithAnError(const std::vector<std::string>& log) {
  namespace msg = route_messages;
  std::vector<std::string> lastErrors;
  std::string lastError;
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (log[i] == msg::kStartParsing) lastError.clear();
    if (log[i] == msg::kErrorLogHeader && i + 1 < log.size()) lastError = log[i + 1];
    if (log[i] == msg::kParsingCompleted && !lastError.empty()) lastErrors.push_back(lastError);
  }
  return lastErrors;
}

}  // namespace

void ReadHostOutcome(const sim::Host& host, RunOutcome& outcome) {
  outcome.pensCreated = host.PensCreated();
  outcome.fontsCreated = host.FontsCreated();
  outcome.livePens = host.LivePens();
  outcome.liveFonts = host.LiveFonts();
  outcome.logLines = host.LogLines().size();
  const std::vector<std::string>& log = host.LogLines();
  outcome.parsesStarted = static_cast<std::size_t>(std::count(log.begin(), log.end(), route_messages::kStartParsing));
  outcome.parsesCompleted =
      static_cast<std::size_t>(std::count(log.begin(), log.end(), route_messages::kParsingCompleted));
  outcome.readsWithAnError = ReadsWithAnError(log);
}

}  // namespace simulator
