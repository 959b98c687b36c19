// SPDX-License-Identifier: MIT
// The bounds that a caller's tab width and row width must keep, checked in
// one place for quotes, reports and column conversions alike.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantel::detail {

// Throws std::invalid_argument, naming `who`, for a tab width outside 1 to
// max_tab_width: past that bound one tab would ask for any number of spaces.
void check_tab_width(int tab_width, std::string_view who);

// Throws std::invalid_argument, naming `who` and `what` the width is, for a
// negative row width.
void check_max_width(std::int64_t max_width, std::string_view who,
                     std::string_view what = "max width");

}  // namespace vantel::detail
