#include "cli/diagnostics.h"

#include <cstdio>

ExitCode Worse(ExitCode a, ExitCode b) {
  return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

void Diagnose(std::string_view message) {
  std::fprintf(stderr, "korvoflow-cli: %.*s\n", static_cast<int>(message.size()), message.data());
}

void Diagnose(std::string_view where, std::string_view message) {
  if (where.empty()) return Diagnose(message);
  std::fprintf(stderr, "korvoflow-cli: %.*s: %.*s\n", static_cast<int>(where.size()), where.data(),
               static_cast<int>(message.size()), message.data());
}
