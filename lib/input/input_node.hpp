// What an Input holds: one cursor (Raw), or an opener run at each opening
// (Managed).
#pragma once

#include "input/raw_cursor.hpp"

#include <vantel/input.hpp>

#include <functional>
#include <memory>
#include <utility>

namespace vantel::detail {

struct Input_node {
  std::shared_ptr<Raw_cursor> cursor;                // Raw
  std::function<std::pair<Input, Closer>()> opener;  // Managed

  static Input make_raw(std::shared_ptr<Raw_cursor> cursor);
  static Input make_managed(std::function<std::pair<Input, Closer>()> opener);
};

}  // namespace vantel::detail
