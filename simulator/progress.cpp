#include "simulator/progress.h"

#include <unistd.h>

#include <algorithm>
#include <string>

namespace simulator {

namespace {

constexpr auto kQuietFor = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(double totalSeconds, bool enabled)
    : totalSeconds_(totalSeconds), enabled_(enabled), start_(Clock::now()), lastDrawn_(start_) {}

ProgressBar::~ProgressBar() { Finish(); }

bool ProgressBar::OnTerminal() { return isatty(STDOUT_FILENO) == 1 && isatty(STDERR_FILENO) == 1; }

void ProgressBar::Update(double simulatedSeconds) {
  if (!enabled_) return;
  const auto now = Clock::now();
  if (now - start_ < kQuietFor || now - lastDrawn_ < kRedrawEvery) return;
  lastDrawn_ = now;
  shown_ = true;
  const double fraction = totalSeconds_ > 0.0 ? std::clamp(simulatedSeconds / totalSeconds_, 0.0, 1.0) : 1.0;
  const int filled = static_cast<int>(fraction * kBarWidth);
  const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                          std::string(static_cast<std::size_t>(kBarWidth - filled), '.');
  std::fprintf(stderr, "\r[%s] %3.0f%%  %.0f of %.0f s simulated", bar.c_str(), fraction * 100.0, simulatedSeconds,
               totalSeconds_);
  std::fflush(stderr);
}

void ProgressBar::Finish() {
  if (!shown_) return;
  shown_ = false;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
}

}  // namespace simulator
