// SPDX-License-Identifier: MIT
#include "input/thread_place.hpp"

#include <atomic>

namespace vantel::detail {

std::size_t take_thread_place() noexcept {
  static std::atomic<std::size_t> next{0};
  this_thread_place = next.fetch_add(1, std::memory_order_relaxed) % thread_places;
  return this_thread_place;
}

}  // namespace vantel::detail
