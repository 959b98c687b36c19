// SPDX-License-Identifier: MIT
#include "text/layout_limits.hpp"

#include "text/cluster_walk.hpp"

#include <stdexcept>
#include <string>

namespace vantel::detail {

void check_tab_width(int tab_width, std::string_view who) {
  if (tab_width < 1 || tab_width > max_tab_width)
    throw std::invalid_argument(std::string(who) + ": tab width " + std::to_string(tab_width) +
                                " is not between 1 and " + std::to_string(max_tab_width));
}

void check_max_width(std::int64_t max_width, std::string_view who, std::string_view what) {
  if (max_width < 0)
    throw std::invalid_argument(std::string(who) + ": " + std::string(what) + " " +
                                std::to_string(max_width) + " is negative");
}

}  // namespace vantel::detail
