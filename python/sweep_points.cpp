#include "python/sweep_points.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "python/run_inputs.h"

namespace {

// Points a thread takes at a time: enough to make the shared counter cheap,
// few enough that the threads finish close together.
constexpr std::size_t kBlock = 64;

void CalculatePoint(const SweepPlan& plan, const SweepColumns& out, std::size_t point,
                    MaxFlowMemo& memo) {
  RunRecord run = plan.base;
  std::size_t rest = point;
  for (std::size_t a = plan.axes.size(); a-- > 0;) {
    const SweepAxisValues& axis = plan.axes[a];
    Text(run, axis.field) = ShortestText(axis.values[rest % axis.values.size()], kModuleSymbols);
    rest /= axis.values.size();
  }
  const Calculated calculated = CalculateQuietly(run, kModuleSymbols, &memo);
  for (std::size_t k = 0; k < plan.keys.size(); ++k) {
    out.columns[k][point] =
        ValueIn(run, plan.keys[k], calculated.values, plan.units).value_or(std::nan(""));
  }
  out.ends[point] = calculated.outcome;
}

// The threads of one sweep, and what the calling thread needs to wait on them.
class PointWorkers {
 public:
  PointWorkers(const SweepPlan& plan, const SweepColumns& out) : plan_(plan), out_(out) {}

  bool Run(const std::function<bool()>& keepGoing) {
    std::vector<std::thread> pool;
    std::unique_lock<std::mutex> lock(mutex_);
    // A thread the system refuses stops the sweep rather than the process.
    for (unsigned t = 0; t < std::max(1u, plan_.threads); ++t) {
      try {
        pool.emplace_back([this] { Work(); });
        ++running_;
      } catch (...) {
        failure_ = std::current_exception();
        stop_ = true;
        break;
      }
    }
    bool stopped = false;
    while (
        !finished_.wait_for(lock, std::chrono::milliseconds(100), [&] { return running_ == 0; })) {
      lock.unlock();
      if (!stopped && !keepGoing()) stopped = stop_ = true;
      lock.lock();
    }
    lock.unlock();
    for (std::thread& thread : pool) thread.join();
    if (failure_) std::rethrow_exception(failure_);
    return !stopped;
  }

 private:
  void Work() {
    const std::size_t points = PointCount(plan_);
    MaxFlowMemo memo;  // the maximum flow searched once per distinct set of what it reads
    try {
      for (std::size_t first = next_.fetch_add(kBlock); first < points && !stop_;
           first = next_.fetch_add(kBlock)) {
        for (std::size_t p = first; p < std::min(first + kBlock, points) && !stop_; ++p) {
          CalculatePoint(plan_, out_, p, memo);
        }
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      stop_ = true;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (--running_ == 0) finished_.notify_one();
  }

  const SweepPlan& plan_;
  const SweepColumns& out_;
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable finished_;
  unsigned running_ = 0;
  std::exception_ptr failure_;
};

}  // namespace

std::size_t PointCount(const SweepPlan& plan) {
  std::size_t points = 1;
  for (const SweepAxisValues& axis : plan.axes) points *= axis.values.size();
  return points;
}

bool SweepPoints(const SweepPlan& plan, const SweepColumns& out,
                 const std::function<bool()>& keepGoing) {
  return PointWorkers(plan, out).Run(keepGoing);
}
