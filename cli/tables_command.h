// The tables behind the engineering inputs, in any output format: the gases
// that --gas names and the standard pipe sizes that --schedule picks from.
#pragma once

struct Options;
enum class ExitCode : int;

ExitCode GasesCommand(const Options& options);
ExitCode SchedulesCommand(const Options& options);
