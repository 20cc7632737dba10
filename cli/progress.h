// A progress bar for long sweeps: on a terminal only, once the work has taken
// more than a second, drawn in place within the terminal's width, and the
// whole line cleared when the work ends. Never with --quiet, never into a
// file or pipe.
#pragma once

#include <chrono>
#include <string>

// The bar for `done` of `total` in a line of at most `columns - 1`
// characters (the last column stays free, so the terminal never wraps):
// "[#####     ]  50% 500/1000", the bar dropped first where room is short.
std::string ProgressLine(long long done, long long total, int columns);

class ProgressBar {
 public:
  ProgressBar();
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void operator()(long long done, long long total);

 private:
  using Clock = std::chrono::steady_clock;
  bool shown_;
  bool drawn_ = false;
  Clock::time_point start_;
};
