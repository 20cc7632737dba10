// The Load, Save and Print commands of the main window. The window brings the
// record up to date from its boxes before a command and shows the record again
// after it, so a command works on the run alone and never on a widget.
#pragma once

#include "calc/run_record.h"

class RunCommands {
 public:
  virtual ~RunCommands() = default;
  virtual void Load(RunRecord& run) = 0;
  virtual void Save(const RunRecord& run) = 0;
  virtual void Print(const RunRecord& run) = 0;
};

// Until the file and report commands exist, their buttons do nothing.
class NoRunCommands : public RunCommands {
 public:
  void Load(RunRecord&) override {}
  void Save(const RunRecord&) override {}
  void Print(const RunRecord&) override {}
};
