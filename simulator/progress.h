// A progress bar for long runs on a terminal. It appears only when both
// standard output and standard error are terminals and the run has taken
// more than a second of wall time; otherwise it stays silent.
#pragma once

#include <chrono>
#include <cstdio>

namespace simulator {

class ProgressBar {
 public:
  ProgressBar(double totalSeconds, bool enabled);
  ~ProgressBar();  // Finish()

  // Whether the process's output goes to a terminal.
  static bool OnTerminal();

  void Update(double simulatedSeconds);
  // Erases the bar, if it was shown.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  double totalSeconds_;
  bool enabled_;
  bool shown_ = false;
  Clock::time_point start_;
  Clock::time_point lastDrawn_;
};

}  // namespace simulator
