#include "simulator/log_outcome.h"

#include "route/route_messages.h"

namespace simulator {

void LogReads::Line(std::string_view line) {
  namespace msg = route_messages;
  ++lines;
  // The line after the reader's error header is the message.
  if (afterErrorHeader_) lastError_ = line;
  afterErrorHeader_ = line == msg::kErrorLogHeader;
  if (line == msg::kStartParsing) {
    ++parsesStarted;
    lastError_.clear();
  }
  if (line == msg::kParsingCompleted) {
    ++parsesCompleted;
    if (!lastError_.empty()) readsWithAnError.push_back(lastError_);
  }
}

void ReadHostOutcome(const simhost::Host& host, const LogReads& log, RunOutcome& outcome) {
  outcome.pensCreated = host.PensCreated();
  outcome.fontsCreated = host.FontsCreated();
  outcome.livePens = host.LivePens();
  outcome.liveFonts = host.LiveFonts();
  outcome.logLines = log.lines;
  outcome.parsesStarted = log.parsesStarted;
  outcome.parsesCompleted = log.parsesCompleted;
  outcome.readsWithAnError = log.readsWithAnError;
}

}  // namespace simulator
