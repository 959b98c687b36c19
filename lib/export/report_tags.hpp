// SPDX-License-Identifier: MIT
// A report's tags as the exported formats spell them.
#pragma once

#include "export/json_lines.hpp"

#include <vantel/report_tag.hpp>

#include <algorithm>
#include <vector>

namespace vantel::detail {

// The tags in their first order, each once: both formats want them unique.
[[nodiscard]] inline std::vector<Report_tag> unique_tags(const std::vector<Report_tag>& tags) {
  std::vector<Report_tag> out;
  for (const Report_tag tag : tags)
    if (std::find(out.begin(), out.end(), tag) == out.end()) out.push_back(tag);
  return out;
}

// LSP's DiagnosticTag numbers: Unnecessary 1, Deprecated 2.
[[nodiscard]] inline Json lsp_tags(const std::vector<Report_tag>& tags) {
  Json out = Json::array();
  for (const Report_tag tag : unique_tags(tags))
    out.push_back(tag == Report_tag::Unnecessary ? 1 : 2);
  return out;
}

// Words for a SARIF property bag's `tags`.
[[nodiscard]] inline Json sarif_tags(const std::vector<Report_tag>& tags) {
  Json out = Json::array();
  for (const Report_tag tag : unique_tags(tags))
    out.push_back(tag == Report_tag::Unnecessary ? "unnecessary" : "deprecated");
  return out;
}

}  // namespace vantel::detail
