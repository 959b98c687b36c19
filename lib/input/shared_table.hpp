// A growing line table that several cursors read at once.
#pragma once

#include "line_offsets/lazy_table.hpp"

#include <mutex>

namespace vantel::detail {

// A growing table that the openings of one file read at once, each through a
// cursor of its own: every query takes the table's lock, and nothing else is
// taken while it is held, so no two locks ever wait for each other here.
struct Shared_table {
  std::mutex lock;
  Line_offsets::Lazy_table table;

  [[nodiscard]] bool failed() {
    const std::lock_guard<std::mutex> hold(lock);
    return table.failed();
  }
};

}  // namespace vantel::detail
