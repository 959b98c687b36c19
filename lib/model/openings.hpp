// SPDX-License-Identifier: MIT
// Every input that a report and its children read, each opened once.
#pragma once

#include "input/opening.hpp"
#include "input/raw_cursor.hpp"

#include <vantel/input.hpp>

#include <memory>
#include <vector>

namespace vantel::detail {

class Openings {
 public:
  void add(const Input& input);
  // All at once: reports over the same inputs in other orders, in other
  // threads, never wait for each other.
  void take();
  // The cursor of `input`, once taken; null for an input never added.
  [[nodiscard]] Raw_cursor* cursor(const Input& input) const;
  void close();

 private:
  [[nodiscard]] std::size_t find(const Input& input) const;
  std::vector<const Input*> inputs_;
  std::vector<std::unique_ptr<Opening>> openings_;
};

}  // namespace vantel::detail
