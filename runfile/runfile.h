// Run files: one run saved as a text file and loaded back. A run file holds the
// 35 texts of a run exactly as they are shown, each as one double-quoted item
// on its own line (CR LF), in the walk order of the groups, each group led by
// its section name and the whole framed by a header line:
//
//   "** KORVO FLOW 1.0 Win FILE **"
//   "General Information"
//   ""                          <- run description
//   "Gas Characteristics"
//   "Steam"
//   ...
//   "Calculation Check"
//   ""  ""  ""                  <- one item per line
//   "** KORVO FLOW 1.0 Win FILE **"
//
// The bytes are Windows-1252; a line break inside the run description is CR LF
// in the file and "\n" in the record. Nothing is validated or reformatted on
// the way in or out.
#pragma once

#include <streambuf>
#include <string>
#include <string_view>

#include "calc/run_record.h"
#include "runfile/code_page.h"

inline constexpr std::string_view kRunFileHeader = "** KORVO FLOW 1.0 Win FILE **";
inline constexpr std::string_view kWriteError = "Error Writing File";
inline constexpr std::string_view kLoadError = "Error Loading File";

// Turns a text of the run into the bytes of the file (EncodeWindows1252).
using Encoder = std::optional<EncodedText> (*)(std::string_view utf8);

// What the run files need from the front end: the one message of a failure.
class FileHost {
 public:
  virtual ~FileHost() = default;
  // Modal box with the text, the title "Error", an exclamation icon and an OK
  // button; returns when it is closed.
  virtual void ShowFileError(const std::string& text) = 0;
};

// Writes the run to `path` (through ReplaceFile: safely by a rename where that
// changes nothing about the file, else in place under a lock). A text that a run file
// cannot hold exactly (a double quote, or a character outside Windows-1252)
// is refused before any file is touched, with one message naming the first
// such field in save order and the character. Any other failure, a converter
// that is not available among them, shows kWriteError. The caller does
// nothing with the outcome.
void SaveRunFile(const RunRecord& run, const std::string& path, FileHost& host,
                 Encoder encode = EncodeWindows1252);

// Why a load stopped.
enum class LoadFault {
  kNone,
  kNoSuchFile,
  kPermissionDenied,
  kIsADirectory,
  kNotARegularFile,  // a FIFO, device or socket: never opened for reading
  kCannotOpen,       // for another reason, in `error`
  kEmptyFile,
  kNotARunFile,     // the first item is not the header
  kSectionDiffers,  // item `item` is not its section's name
  kEndsEarly,       // the file ends before item `item` is whole
  kTooLarge,        // item `item` would take the load past kMaxRunFileBytes
  kReadError,       // in `error`
  kNoConverter,     // the Windows-1252 converter is not available
};

// What a load came to; `item` counts the items of the file from 1 (the
// header), so the run description is item 3.
struct LoadResult {
  LoadFault fault = LoadFault::kNone;
  int item = 0;   // for the faults at an item
  int error = 0;  // the error number, for kCannotOpen and kReadError
  explicit operator bool() const { return fault == LoadFault::kNone; }
};

// A load reads no more of a file than this, items and the rest of their
// lines together. That is far more than any run needs (a run description of
// ten million characters fits), and it bounds the memory a load takes
// whatever file it is given.
inline constexpr std::size_t kMaxRunFileBytes = std::size_t{16} << 20;

// Fills the run from the file at `path`, item by item, each text set as soon as
// it is read. Only a regular file is read: anything else is refused before it
// is opened (and the open itself does not wait), so a FIFO without a writer or
// a device never holds the program. Stops at the first fault and says which;
// the texts set before the fault keep the file's values and the others keep
// theirs. Anything after the last field is not read.
[[nodiscard]] LoadResult LoadRunFile(RunRecord& run, const std::string& path);

// The same, showing kLoadError once when the load fails. The caller does
// nothing with the outcome.
void LoadRunFile(RunRecord& run, const std::string& path, FileHost& host);

// Why a load failed, in a few words for a message: "no such file", "not a
// regular file", "ends early at item 12", ...
std::string LoadFailureText(const LoadResult& result);

// The pieces of the two, for tests and the fuzz target.

// The whole file for a run, or the message that says why it cannot be written.
struct EncodedRun {
  std::string bytes;
  std::string error;  // empty when `bytes` holds the file
};
EncodedRun EncodeRunFile(const RunRecord& run, Encoder encode = EncodeWindows1252);

// The reading of LoadRunFile from an open stream: the first fault inside the
// file (the file-system faults and kReadError aside).
LoadResult ReadRunFile(std::streambuf& in, RunRecord& run);
