// SPDX-License-Identifier: MIT
// A report's tags as the exported formats spell them.
#pragma once

#include "export/json_writer.hpp"

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
inline void write_lsp_tags(Json_writer& out, const std::vector<Report_tag>& tags) {
  out.start_array();
  for (const Report_tag tag : unique_tags(tags))
    out.integer(tag == Report_tag::Unnecessary ? 1 : 2);
  out.end_array();
}

// Words for a SARIF property bag's `tags`.
inline void write_sarif_tags(Json_writer& out, const std::vector<Report_tag>& tags) {
  out.start_array();
  for (const Report_tag tag : unique_tags(tags))
    out.string(tag == Report_tag::Unnecessary ? "unnecessary" : "deprecated");
  out.end_array();
}

}  // namespace vantel::detail
