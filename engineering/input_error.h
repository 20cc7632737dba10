// The one failure of the engineering helpers: an input they cannot use. The
// message names the offending part and says why, in one line without a final
// full stop, so that a front end shows it as it is (the command line stops
// with status 2; a Python module raises ValueError, which is what an
// invalid_argument becomes there).
#pragma once

#include <stdexcept>

struct InputError : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};
