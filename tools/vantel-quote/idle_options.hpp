// SPDX-License-Identifier: MIT
// Options that the rest of a command line leaves without effect.
#pragma once

#include "vantel-quote/arguments.hpp"

namespace vantel_quote {

// Throws Usage_error for an option given where it would change nothing: a
// mistake the output would otherwise hide.
void check_idle_options(const Options& options);

// Throws Usage_error for an option of a single report given with
// --from-sarif, which draws the reports that its logs hold.
void check_from_sarif(const Options& options);

}  // namespace vantel_quote
