// SPDX-License-Identifier: MIT
#include "draw/label_limit.hpp"

#include "draw/cut_marker.hpp"

#include <vantel/styles.hpp>

#include <algorithm>
#include <string>

namespace vantel::detail {

std::int64_t keep_first_labels(std::vector<Report_part*>& sorted, std::int64_t most) {
  if (most <= 0) return 0;
  std::int64_t singles = 0;
  std::int64_t left_out = 0;
  const auto kept = std::remove_if(sorted.begin(), sorted.end(), [&](const Report_part* p) {
    if (p->kind != Report_part::Kind::Single) return false;
    if (++singles <= most) return false;
    ++left_out;
    return true;
  });
  sorted.erase(kept, sorted.end());
  return left_out;
}

void more_labels_row(Row_writer& row, const Gutter& gutter, std::int64_t count, Charset charset) {
  const Cut_marker marker = cut_marker(charset);
  gutter.start(row, {});
  row.to_column(gutter.origin());
  row.put(marker.text, marker.width, &Cut_marker_tag);
  const std::string rest =
      " " + std::to_string(count) + (count == 1 ? " more label" : " more labels") + " on this line";
  row.put(rest, static_cast<std::int64_t>(rest.size()), nullptr);
  row.end_row();
}

}  // namespace vantel::detail
