// SPDX-License-Identifier: MIT
// The working lists of drawing a labelled line, kept from one line to the
// next.
#pragma once

#include "draw/report_part.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vantel::detail {

// Columns [from, to) of an underline, and the part they show.
struct Underline_run {
  std::int64_t from = 0;
  std::int64_t to = 0;
  const Report_part* part = nullptr;
};

// The working lists of drawing a line. A report draws thousands of lines:
// one set is kept for the thread's next line, and a line drawn meanwhile (a
// report from a tag function) finds it taken and makes its own.
struct Line_lists {
  std::vector<Column_query> queries;
  std::vector<Report_part*> sorted;
  std::vector<Report_part*> singles;
  std::vector<Report_part*> ends;
  std::vector<Report_part*> lifted;
  std::vector<const Report_part*> drawn;
  std::vector<Underline_run> runs;
  std::vector<std::pair<std::int64_t, std::int64_t>> edges;  // (column, +/-(part + 1))
  std::vector<std::size_t> on_top;                           // a heap of parts
  std::vector<char> open;
  std::vector<const Report_part*> hanging;
  std::vector<const Report_part*> connectors;
};

// Lends the thread's kept lists for the time of one line.
class Lists_lease {
 public:
  Lists_lease();
  Lists_lease(const Lists_lease&) = delete;
  Lists_lease& operator=(const Lists_lease&) = delete;
  ~Lists_lease();
  [[nodiscard]] Line_lists& lists() const noexcept { return *lists_; }

 private:
  std::unique_ptr<Line_lists> lists_;
};

}  // namespace vantel::detail
