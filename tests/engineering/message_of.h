// The message of the InputError a call throws, or "(no error)".
#pragma once

#include <string>

#include "engineering/input_error.h"

template <class Call>
std::string MessageOf(Call call) {
  try {
    call();
  } catch (const InputError& e) {
    return e.what();
  }
  return "(no error)";
}
