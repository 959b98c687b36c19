// SPDX-License-Identifier: MIT
// A growing line table that several cursors read.
#pragma once

#include "line_offsets/lazy_table.hpp"

#include <mutex>

namespace vantel::detail {

// A growing table that the openings of one file read, each through a cursor
// of its own: those cursors all take the table's lock as theirs, so that one
// of them at a time reads the table.
struct Shared_table {
  std::recursive_mutex lock;
  Line_offsets::Lazy_table table;
};

}  // namespace vantel::detail
