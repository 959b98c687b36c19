// SPDX-License-Identifier: MIT
// The working lists of drawing a labelled line, kept from one line to the
// next.
#pragma once

#include "report/report_part.hpp"

#include <memory>
#include <vector>

namespace vantel::detail {

// The working lists of drawing a line. A report draws thousands of lines:
// one set is kept for the thread's next line, and a line drawn meanwhile (a
// report from a tag function) finds it taken and makes its own.
struct Line_lists {
  std::vector<Column_query> queries;
  std::vector<Report_part*> sorted;
  std::vector<Report_part*> singles;
  std::vector<Report_part*> ends;
  std::vector<const Report_part*> drawn;
  std::vector<const Report_part*> cells;
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
