// SPDX-License-Identifier: MIT
// The parts of a SARIF log around its results: rule metadata, the
// invocation, and the limits code scanning sets on what it takes.
#pragma once

#include "export/json_writer.hpp"

#include <vantel/sarif.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace vantel::detail {

// What code scanning takes at most; a log past them is refused whole.
constexpr std::size_t max_results_per_run = 25000;
constexpr std::size_t max_locations_per_result = 1000;
constexpr std::size_t max_tags_per_rule = 20;
constexpr std::size_t max_flow_locations_per_result = 10000;

// A result's or a notification's `level`.
[[nodiscard]] const char* sarif_level(const Severity& severity);

// Throws std::invalid_argument, naming the rule, for a metadata value that
// readers do not take.
void check_rule(const Sarif_rule& rule);

// Writes `rule`'s default level and properties as members of the rule
// descriptor `out` is in.
void write_rule_metadata(Json_writer& out, const Sarif_rule& rule);

// How many of `size` elements are left out when the first `count` are kept.
[[nodiscard]] constexpr std::size_t past(std::size_t size, std::size_t count) noexcept {
  return size > count ? size - count : 0;
}

// What a writer left out, to tell in notifications.
struct Left_out {
  std::size_t results = 0;       // past the run's limit
  std::size_t kept_results = 0;  // how many were kept then
  std::size_t cut_results = 0;   // results that lost locations
  std::size_t locations = 0;     // locations and related ones they lost
};

// Writes the invocation: `given`'s, with a notification for each kind of
// thing `left_out` counts.
void write_invocation(Json_writer& out, const Sarif_invocation& given, const Left_out& left_out);

}  // namespace vantel::detail
