// The desktop program's command line: at most one run file to open (what a
// file manager passes for "Open With"), --help and --version, and the toolkit's
// own options. It is read before the toolkit starts, so that --help, --version
// and a mistyped option are answered on a machine without a display.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// Exit statuses besides 0 (the window closed, or --help or --version shown).
inline constexpr int kBadCommandLine = 2;

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kBadUsage };
  Action action = Action::kRun;
  // The run file to load once the window is up, exactly as given.
  std::optional<std::string> file;
  // The program name and the toolkit's options with their values, in order:
  // what QApplication gets to see (never the file, which Qt might take for
  // one of its options).
  std::vector<std::string> toolkitArguments;
  std::string error;  // kBadUsage: what is wrong, in one line
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string HelpText();
std::string VersionText();

// Writes the text and flushes it; false when any of it did not arrive (a full
// disk, a closed pipe).
bool WriteText(std::FILE* stream, const std::string& text);
