// SPDX-License-Identifier: MIT
// An input as a report shows it.
#pragma once

#include <vantel/input.hpp>

#include <string>
#include <utility>

namespace vantel {

/// An input and how a report shows it (`--> name:line:col`). Labels of one
/// source are drawn together; two sources are drawn apart, each from its own
/// text, even when their names are the same.
struct Source {
  /// `in`, shown as `shown_name`.
  Source(Input in, std::string shown_name) : input(std::move(in)), name(std::move(shown_name)) {}

  Input input;       ///< where the text comes from
  std::string name;  ///< how the input is shown
};

}  // namespace vantel
