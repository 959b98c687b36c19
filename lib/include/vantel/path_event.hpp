// SPDX-License-Identifier: MIT
// One step of an execution path: how a program reaches the fault a report
// is about.
#pragma once

#include <vantel/position.hpp>
#include <vantel/source.hpp>

#include <cstdint>
#include <string>
#include <utility>

namespace vantel {

/// An event of a report's path: "(1) `p` is null here". Events are numbered
/// in their order from 1; `depth` counts the calls the event is inside of,
/// from 0.
struct Path_event {
  /// An event at `where` in `from`, `depth` calls deep.
  Path_event(Source from, Location where, std::string text, std::int64_t call_depth = 0)
      : source(std::move(from)),
        location(std::move(where)),
        message(std::move(text)),
        depth(call_depth) {}

  Source source;           ///< the input and its shown name
  Location location;       ///< where the event happens
  std::string message;     ///< what happens there
  std::int64_t depth = 0;  ///< calls deep, from 0
};

}  // namespace vantel
