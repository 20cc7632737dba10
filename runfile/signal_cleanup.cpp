#include "runfile/signal_cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// One registered path. `state` publishes the path: the handler reads `path`
// and `order` only after it has seen kArmed.
enum SlotState : int { kFree, kFilling, kArmed };
struct Slot {
  std::atomic<int> state{kFree};
  long order = 0;  // registrations are numbered, so the newest goes first
  char path[PATH_MAX] = {};
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler must not wait on a lock");

constexpr int kSlots = 32;
Slot gSlots[kSlots];
std::atomic<long> gNextOrder{0};

// Unlinks a file, or removes an empty folder.
void RemovePath(const char* path) {
  if (unlink(path) != 0) rmdir(path);
}

// Newest first, in as many passes as there are paths: nothing here may
// allocate, and there are few.
void RemoveRegistered() {
  long below = LONG_MAX;
  for (;;) {
    int newest = -1;
    for (int i = 0; i < kSlots; ++i) {
      if (gSlots[i].state.load(std::memory_order_acquire) != kArmed) continue;
      const long order = gSlots[i].order;
      if (order < below && (newest < 0 || order > gSlots[newest].order)) newest = i;
    }
    if (newest < 0) return;
    below = gSlots[newest].order;
    RemovePath(gSlots[newest].path);
  }
}

extern "C" void RemoveAndEnd(int signal) {
  const int saved = errno;
  RemoveRegistered();
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  // Blocked while this handler runs: the default action ends the program as
  // soon as the handler returns.
  raise(signal);
  errno = saved;
}

sigset_t EndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kEndingSignals) sigaddset(&set, signal);
  return set;
}

}  // namespace

RemoveOnSignal::RemoveOnSignal(const std::string& path) : slot_(-1) {
  if (path.size() >= sizeof Slot::path) return;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!gSlots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
    gSlots[i].order = gNextOrder.fetch_add(1);
    gSlots[i].state.store(kArmed, std::memory_order_release);
    slot_ = i;
    return;
  }
}

RemoveOnSignal::RemoveOnSignal(RemoveOnSignal&& other) noexcept : slot_(other.slot_) {
  other.slot_ = -1;
}

RemoveOnSignal::~RemoveOnSignal() {
  if (slot_ >= 0) gSlots[slot_].state.store(kFree, std::memory_order_release);
}

void InstallSignalCleanup() {
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    action.sa_mask = EndingSignals();  // one cleanup at a time
    for (const int signal : kEndingSignals) {
      struct sigaction old {};
      if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) {
        sigaction(signal, &action, nullptr);
      }
    }
    return true;
  }();
  (void)installed;
}

// mkdtemp chooses the name, so the folder cannot be registered before it
// exists: the ending signals wait until it is.
ScratchFolder::ScratchFolder(const std::string& parent) {
  std::string name = parent + "/korvo-output-XXXXXX";
  const sigset_t ending = EndingSignals();
  sigset_t before;
  pthread_sigmask(SIG_BLOCK, &ending, &before);
  if (mkdtemp(name.data()) != nullptr) {
    registered_.emplace_back(name);
    path_ = name;
  } else {
    error_ = errno;
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

ScratchFolder::~ScratchFolder() {
  for (auto file = files_.rbegin(); file != files_.rend(); ++file) unlink(file->c_str());
  if (Made()) rmdir(path_.c_str());
}

std::string ScratchFolder::File(const std::string& name) {
  if (!Made()) return {};
  std::string path = path_ + "/" + name;
  registered_.emplace_back(path);
  files_.push_back(path);
  return path;
}
