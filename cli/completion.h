// Shell completion for korvoflow-cli, made from the option table, so that it
// never disagrees with the program.
#pragma once

#include <string>

// A bash completion script: commands first, then each command's options,
// the values an option names (formats, field keys, files, folders) and run
// files.
std::string BashCompletion();
