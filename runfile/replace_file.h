// Writing a whole file at a path chosen by the user, as safely as the file
// allows without changing what the file is. Every output goes this way: run
// files, reports, plots, PDFs.
//
// Where nothing about the file would change, the bytes go to a new file in the
// same folder, are flushed to the disk, and only then take the place of the
// old file by a rename: a failure never destroys what was there. That needs a
// regular file (or a new name) with one link, no extended attributes but a
// security label that a new file in the folder gets alike, owned by us, in a
// folder we can write, whose group and mode the new file can take. Everything
// else (a second hard link, a file of another user, a folder we may not
// write, a label of its own, a device or a FIFO) is written in place through
// the path, so it keeps its inode, links, owner, group, mode and attributes,
// and a device or FIFO stays what it is.
//
// A regular file written in place is locked first (flock, exclusive) and only
// then truncated, so two saves of one file at once leave one of them whole;
// the second waits up to kLockWait, then fails as busy. The rename needs no
// lock: the new file is whole before it appears, and whatever an in-place
// save still writes into the old inode no longer shows at the path.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::chrono::milliseconds kLockWait{2000};

// What a write came to: 0 when the file holds the bytes, else the error
// number of the step that failed; EBUSY when another save kept the file
// locked for longer than kLockWait.
struct WriteResult {
  int error = 0;
  explicit operator bool() const { return error == 0; }
};

// Puts `bytes` at `path`. A symbolic link is followed and kept; a dangling one
// creates the file it names. On the rename path a failure leaves the old file
// untouched and no temporary file behind, a signal that ends the program
// included (with InstallSignalCleanup); in place, what was written before a
// failure stays. Hidden temporary files that an earlier, killed save left in
// the folder are removed first, where their save is proved gone.
WriteResult ReplaceFile(const std::string& path, std::string_view bytes);

// Why a write failed, in a few words for a message: "busy: another save is
// writing it", "permission denied", "no space left", "is a directory", "no
// such folder", else the system's text.
std::string WriteFailureText(const WriteResult& result);

// Whether both paths reach the same file (same device and inode, symbolic
// links followed); false when either cannot be reached.
bool SameFile(const std::string& a, const std::string& b);

// The process that made a temporary file, as its name records it. Process ids
// are numbered per PID namespace (containers may share a machine's name and a
// folder), and a number is given again once its process is gone, so a
// leftover counts as dead only when it comes from this machine and this
// namespace, and its process no longer runs or runs since another time.
struct SaveProcess {
  std::uint64_t pidNamespace;  // inode of /proc/self/ns/pid; 0 when unknown
  std::int64_t pid;
  std::uint64_t startTime;  // clock ticks after boot (/proc/<pid>/stat); 0 when unknown
};
SaveProcess ThisProcess();

// The start of the names of this machine's temporary files:
// ".korvo-save-<host>-". A folder shared between machines keeps the others'
// files whatever they record.
std::string TemporaryPrefix();

// The n-th temporary name of a save by `process`:
// TemporaryPrefix() + "<pid namespace>-<pid>-<start time>-<n>".
std::string TemporaryName(const SaveProcess& process, int n);
