// How korvoflow-cli ends and what it says on stderr: one exit status type and
// one function for every line a user reads there.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

enum class ExitCode : int {
  kComplete = 0,          // every run completed
  kEndedWithMessage = 1,  // at least one run ended with a message
  kFailure = 2,           // bad usage, an unreadable input, or output not written
};

// The worse of two outcomes.
ExitCode Worse(ExitCode a, ExitCode b);

// "korvoflow-cli: MESSAGE" or "korvoflow-cli: WHERE: MESSAGE" on stderr.
void Diagnose(std::string_view message);
void Diagnose(std::string_view where, std::string_view message);

// Bad usage or an input that cannot be read: the program stops with
// ExitCode::kFailure and this one line, before it has written anything.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
