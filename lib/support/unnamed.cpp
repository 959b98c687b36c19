// SPDX-License-Identifier: MIT
#include "support/unnamed.hpp"

#include <stdexcept>

namespace vantel::detail {

void rethrow_named(const std::string& where) {
  const std::string lead = where + ": ";
  try {
    throw;
  } catch (const std::out_of_range& e) {
    throw std::out_of_range(lead + e.what());
  } catch (const std::overflow_error& e) {
    throw std::overflow_error(lead + e.what());
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument(lead + e.what());
  }
}

}  // namespace vantel::detail
