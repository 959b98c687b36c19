// SPDX-License-Identifier: MIT
// Options that the rest of a command line leaves without effect.
#pragma once

#include "vantel-quote/arguments.hpp"

namespace vantel_quote {

// Throws Usage_error for an option given where it would change nothing: a
// mistake the output would otherwise hide.
void check_idle_options(const Options& options);

// Whether --from-sarif was given; throws Usage_error for an option of a
// single report given with it, which draws the reports its logs hold, and
// for --level without it.
bool check_from_sarif(const Options& options);

}  // namespace vantel_quote
