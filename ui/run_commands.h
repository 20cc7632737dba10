// The Load, Save and Print commands of the main window. The window brings the
// record up to date from its boxes before a command and shows the record again
// after it, so a command works on the run and never on a widget.
#pragma once

#include "calc/run_record.h"

class QWidget;

// What a command asks of the window while it runs.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // The window that the command's dialogs and messages belong to.
  virtual QWidget* DialogParent() = 0;
  // Shows the record's texts in the boxes now, before the command has ended
  // (a load that fails half-way shows what it has read before its message).
  virtual void ShowRun() = 0;
};

class RunCommands {
 public:
  virtual ~RunCommands() = default;
  virtual void Load(RunRecord& run, CommandHost& host) = 0;
  virtual void Save(const RunRecord& run, CommandHost& host) = 0;
  virtual void Print(const RunRecord& run, CommandHost& host) = 0;
};
