// Files and folders that exist only while an output is being written (a
// save's temporary file, the private folder a report is printed into), and
// their removal when SIGINT, SIGTERM or SIGHUP ends the program half-way.
//
// A path is registered before it is created and stays registered until it
// has been renamed or removed; the handler removes what is registered, newest
// first (so a folder's files before the folder), restores the signal's
// default action and raises the signal again, so that the program still ends
// by it. The registry is a fixed table written with atomic stores, which the
// handler may read at any moment: nothing in it allocates or locks.
#pragma once

#include <string>
#include <vector>

// Registers a path for removal on a signal for as long as it lives. When the
// table is full (far more outputs at once than any front end writes) the
// path is simply not registered; the output goes ahead all the same.
class RemoveOnSignal {
 public:
  explicit RemoveOnSignal(const std::string& path);
  RemoveOnSignal(RemoveOnSignal&& other) noexcept;
  RemoveOnSignal& operator=(RemoveOnSignal&&) = delete;
  RemoveOnSignal(const RemoveOnSignal&) = delete;
  RemoveOnSignal& operator=(const RemoveOnSignal&) = delete;
  ~RemoveOnSignal();

 private:
  int slot_;  // -1: not registered
};

// Installs the handler for SIGINT, SIGTERM and SIGHUP; a signal that the
// program was started ignoring (nohup, for one) stays ignored. Once is enough;
// later calls change nothing.
void InstallSignalCleanup();

// A private folder (mode 0700) for the pieces of one output, made under
// `parent` with a name of its own; it goes, with the files named through
// File(), when the object goes or when a signal ends the program.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& parent);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Whether the folder exists; when not, the error number of its making.
  bool Made() const { return !path_.empty(); }
  int Error() const { return error_; }
  const std::string& Path() const { return path_; }

  // The path of a file `name` in the folder, registered for removal; the
  // caller creates it.
  std::string File(const std::string& name);

 private:
  std::string path_;
  int error_ = 0;
  std::vector<std::string> files_;
  std::vector<RemoveOnSignal> registered_;  // the folder, then its files
};
