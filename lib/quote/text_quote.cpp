// SPDX-License-Identifier: MIT
#include "quote/text_quote.hpp"

#include "draw/cut_marker.hpp"
#include "draw/labelled_line.hpp"
#include "draw/line_number.hpp"
#include "draw/row_writer.hpp"
#include "quote/text_row.hpp"
#include "quote/two_columns.hpp"

#include <vantel/styles.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vantel::detail {

void text_single_line_quote(Formatter& f, const Bound_set& set, const source_line& line,
                            const std::string& label, const Layout_plan& layout) {
  const auto label_width = static_cast<std::int64_t>(label.size());
  const Text_row row(set, line, layout.tab_width,
                     layout.window_width(line_number_columns(label_width)), true);
  Report_part like;
  like.tag = &Single_line_underline_tag;
  std::vector<Report_part> parts;
  std::string_view text;
  const Quote_window window = row.shown(parts, like, text);
  Row_writer out(f);
  draw_quoted_line(out, label, label_width, text, parts, window, layout);
}

void text_multi_line_quote(Formatter& f, const Bound_set& set, const Quoted_lines& lines,
                           int max_lines, const Layout_plan& layout) {
  const Wide window =
      layout.window_width(line_number_columns(static_cast<std::int64_t>(lines.label_width())));
  std::vector<Report_part> parts;
  pp_two_columns(
      f, lines.count(), lines.label_width(),
      [&lines](std::int64_t i) {
        const auto number = lines.number(i);
        return number ? to_decimal(*number) : std::string();
      },
      [&](std::int64_t i) {
        const source_line& line = lines.at(i).line;
        std::string_view text;
        const Quote_window shown =
            Text_row(set, line, layout.tab_width, window, false).shown(parts, {}, text);
        Row_writer out(f);
        draw_dotted_line(out, text, parts, shown, layout);
      },
      max_lines);
}

}  // namespace vantel::detail
