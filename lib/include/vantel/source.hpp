// SPDX-License-Identifier: MIT
// An input as a report shows it.
#pragma once

#include <vantel/input.hpp>

#include <cstdint>
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

  /// The number a report shows for the input's first line: a host that
  /// holds an excerpt of a bigger file (lines 120 to 140, a notebook's cell)
  /// gives the number that line has in the file. At least 1.
  std::int64_t first_line = 1;
  /// The columns before the input's first byte on that line of the file,
  /// counted a byte each: added to the ` --> ` column of a place on the
  /// first line, for code embedded in another language. At least 0.
  std::int64_t first_column = 0;
};

}  // namespace vantel
