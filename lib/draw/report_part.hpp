// SPDX-License-Identifier: MIT
// What a label leaves on one line of a report, and the columns it takes.
#pragma once

#include <vantel/formatter.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vantel::detail {

// What a label leaves on one line: the whole label when it lies on the line,
// or where a label over several lines opens or closes.
struct Report_part {
  enum class Kind : unsigned char { Single, Opens, Closes };
  Kind kind = Kind::Single;
  const Stag* tag = nullptr;  // the report's primary tag, or Report_secondary_tag
  bool primary = true;
  char marker = '^';
  // In bytes of the line. single: the first byte and one past the last, the
  // same for a point; opens: the first byte; closes: the last byte. At most
  // the line's size, where the line feed stands; `end` one more when the
  // label takes the line feed.
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string_view message;
  std::size_t lane = 0;   // opens, closes: the margin lane the label runs down
  std::size_t order = 0;  // the label's place in the report, to break ties

  // Display columns, set by draw_labelled_line: the first one and one past the last.
  std::int64_t column = 0;
  std::int64_t column_end = 0;
  std::int64_t first_cell_end = 0;  // one past the first cluster's last column
};

// A byte whose cluster's columns are wanted.
struct Column_query {
  std::size_t byte;
  std::int64_t* first;  // the cluster's first column, when wanted
  std::int64_t* last;   // one past its last column, when wanted
};

// Gives every part its columns in one walk over the line `text`. A byte
// inside a cluster takes the whole cluster; a byte past the text stands at the
// column after it, one column wide, or with `column_per_offset`, each such
// byte at a column of its own (the last column there is at most). Returns
// the line's width. `queries` is working room, kept by the caller from one
// line to the next.
std::int64_t place_parts(std::string_view text, int tab_width, std::vector<Report_part>& parts,
                         std::vector<Column_query>& queries, bool column_per_offset = false);

}  // namespace vantel::detail
