// SPDX-License-Identifier: MIT
// vantel-quote --from-sarif: the results of SARIF logs drawn as reports.
#pragma once

#include "vantel-quote/arguments.hpp"

#include <vantel/vantel.hpp>

#include <iosfwd>

namespace vantel_quote {

// Draws the results of every log in `options.logs` through `formatter`, a
// blank line between reports; a log that cannot be read or is not SARIF is
// named on `err` and the others are still drawn. 0 when every log was
// drawn, 1 otherwise.
int draw_sarif_logs(const Options& options, std::istream& in, std::ostream& err,
                    vantel::Formatter& formatter, const vantel::Layout& layout);

}  // namespace vantel_quote
