#include "cli/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "cli/session.h"

namespace {

// Erases from the cursor to the end of the line.
constexpr char kEraseLine[] = "\x1b[K";

int TerminalColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

std::string ProgressLine(long long done, long long total, int columns) {
  const long long whole = std::max(total, 1LL);
  const std::string counts = std::to_string((100 * done) / whole) + "% " + std::to_string(done) +
                             "/" + std::to_string(total);
  const int room = std::max(columns - 1, 0);
  const int bar = room - static_cast<int>(counts.size()) - 3;  // brackets and a blank
  if (bar < 10) return counts.substr(0, static_cast<std::size_t>(room));
  const auto filled = static_cast<std::size_t>((bar * std::min(done, whole)) / whole);
  return "[" + std::string(filled, '#') + std::string(static_cast<std::size_t>(bar) - filled, ' ') +
         "] " + counts;
}

ProgressBar::ProgressBar() : shown_(!Quiet() && isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}

ProgressBar::~ProgressBar() {
  if (drawn_) std::fprintf(stderr, "\r%s", kEraseLine);
}

void ProgressBar::operator()(long long done, long long total) {
  if (!shown_ || Clock::now() - start_ < std::chrono::seconds(1)) return;
  std::fprintf(stderr, "\r%s%s", ProgressLine(done, total, TerminalColumns()).c_str(), kEraseLine);
  std::fflush(stderr);
  drawn_ = true;
}
