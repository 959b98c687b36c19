// SPDX-License-Identifier: MIT
#include "support/unnamed.hpp"

#include "support/placed.hpp"

#include <stdexcept>

namespace vantel::detail {

void rethrow_named(const Failure_name& name) {
  const std::string lead = name.lead + ": ";
  std::int64_t line = 0;
  try {
    throw;
  } catch (const Unnamed_failure& e) {
    line = e.line;
  }
  const Failure_place place(name.input, line);
  try {
    throw;
  } catch (const std::out_of_range& e) {
    throw Placed<std::out_of_range>(place, lead + e.what());
  } catch (const std::overflow_error& e) {
    throw Placed<std::overflow_error>(place, lead + e.what());
  } catch (const std::invalid_argument& e) {
    throw Placed<std::invalid_argument>(place, lead + e.what());
  }
}

}  // namespace vantel::detail
