// SPDX-License-Identifier: MIT
// What an Input holds: one cursor (Raw), an opener run at each opening
// (Managed), or what an Opened holds open (Held).
#pragma once

#include "input/raw_cursor.hpp"

#include <vantel/input.hpp>

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace vantel::detail {

struct Held_opening;

struct Input_node {
  std::shared_ptr<Raw_cursor> cursor;                // Raw
  std::function<std::pair<Input, Closer>()> opener;  // Managed
  std::shared_ptr<Held_opening> held;                // Held
  std::string file_path;                             // a file input's absolute path, for its URI

  // The absolute path of `input`'s file; empty when it is not a file input.
  [[nodiscard]] static const std::string& file_path_of(const Input& input) noexcept {
    static const std::string none;
    return input.node_ ? input.node_->file_path : none;
  }

  static Input make_raw(std::shared_ptr<Raw_cursor> cursor);
  static Input make_managed(std::function<std::pair<Input, Closer>()> opener,
                            std::string file_path = {});
  static Input make_held(std::shared_ptr<Held_opening> held);

 private:
  friend struct Input_node_deleter;
  Input_node* next_to_destroy_ = nullptr;
};

// Destroys nodes one after the other rather than one inside the other: an
// opener can hold an input whose opener holds another, a million deep, and
// destroying each from inside the one before would exhaust the stack.
struct Input_node_deleter {
  void operator()(Input_node* node) const noexcept;
};

}  // namespace vantel::detail
