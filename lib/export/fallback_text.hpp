// SPDX-License-Identifier: MIT
// What the data formats say where the host left a text empty: readers flag
// or hide an empty message.
#pragma once

#include <vantel/fix.hpp>
#include <vantel/report.hpp>

#include <string>
#include <string_view>

namespace vantel::detail {

// The report's message; when empty, `rule_text` (what the host says of its
// code), else its severity's word and its code: "error E0308".
[[nodiscard]] std::string report_text(const Report& report, std::string_view rule_text = {});

// The fix's message; when empty, a title that says what applying it does.
[[nodiscard]] std::string fix_text(const Fix& fix);

}  // namespace vantel::detail
