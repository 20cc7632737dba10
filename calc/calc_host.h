// What the calculation needs from the front end that drives it: the busy
// indication, an immediate repaint of the run's texts, a modal message and the
// user's number symbols. The window implements it; tests implement it too.
#pragma once

#include <string>

#include "calc/max_flow.h"
#include "calc/run_record.h"
#include "numtext/numtext.h"

class CalcHost {
 public:
  virtual ~CalcHost() = default;
  // Busy window on screen and the hourglass pointer.
  virtual void BeginBusy() = 0;
  // Busy window closed and the saved pointer back.
  virtual void EndBusy() = 0;
  // Show the record's current texts now.
  virtual void Repaint() = 0;
  // Modal box with an OK button and the application title; returns when closed.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual const NumberSymbols& Symbols() const = 0;
  // The value of a result just written, before its text rounded it for
  // display; for front ends that hand full-precision numbers on.
  virtual void ResultValue(FieldRef ref, double value) {
    (void)ref;
    (void)value;
  }
  // Threads the searches may walk on where no bound can settle a long
  // stretch of their grid: the window, with the user waiting, offers its
  // cores; a sweep, already spread over them, keeps one per point.
  virtual unsigned SearchThreads() const { return 1; }
  // Where a host that calculates many runs (a sweep's thread) keeps its
  // maximum-flow searches, so that runs differing only in what the search
  // does not read search once; none by default.
  virtual MaxFlowMemo* MaxFlowMemory() { return nullptr; }
};
