// Load, Save and Print through the common dialog, the run files and the
// printed report.
//
//   Load:  "Do You Want to Save Your Current Values" (Yes runs Save in full,
//          whatever its outcome), then the open dialog, then LoadRunFile.
//   Save:  the save dialog, started with an empty name, then SaveRunFile.
//   Print: the printer dialog, then one job per copy chosen (to a file, one
//          document holding the copies).
//
// Cancel in any dialog or the question ends the command silently. The run
// files report their own failures; printing reports none.
//
// The window brings the record up to date from its boxes before a command and
// shows the record again after it, so a command works on the run and never on
// a widget. Dialogs and messages belong to the window passed as `parent`.
#pragma once

#include <QPrinter>
#include <functional>
#include <memory>
#include <string>

#include "calc/run_record.h"
#include "ui/common_dialog.h"

class MessageBoxes;
class QWidget;

class FileCommands {
 public:
  // The date and time printed on the report.
  using Clock = std::function<std::string()>;

  // The message boxes and dialogs must outlive the commands.
  FileCommands(MessageBoxes& messages, Dialogs& dialogs, Clock clock);

  // A load that fails half-way calls `showRun` before its message, so that the
  // boxes show what it has read, as they would had they been filled one by one.
  void Load(RunRecord& run, QWidget* parent, const std::function<void()>& showRun);
  // Load's last step alone, for a file chosen elsewhere (the command line):
  // the file at `path` (file-system bytes), with Load's message if it fails.
  void LoadFile(RunRecord& run, QWidget* parent, const std::string& path,
                const std::function<void()>& showRun);
  void Save(const RunRecord& run, QWidget* parent);
  void Print(const RunRecord& run, QWidget* parent);

  // The printer that the printer dialog sets up and the report goes to; it
  // keeps the choice for the next Print.
  QPrinter& Printer();

 private:
  MessageBoxes& messages_;
  CommonDialog cmnDialog_;
  Clock clock_;
  std::unique_ptr<QPrinter> printer_;
};
