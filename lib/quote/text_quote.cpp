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
namespace {

// The text of a row: each cluster as shown, or, for a dotted row, each
// cluster that is not highlighted as dots. Neighbouring clusters shown as
// their own bytes are written as one styled run of the line.
class Text_sink {
 public:
  Text_sink(Row_writer& row, std::string_view line, bool dotted, Charset charset)
      : row_(row), line_(line), dotted_(dotted), marker_(cut_marker(charset)) {}

  void left_cut(bool) { row_.put(marker_.text, marker_.width, &Cut_marker_tag); }

  void cluster(const Cluster& c, bool highlighted, bool) {
    if (dotted_ && !highlighted) {
      if (run_end_ != run_begin_) flush();
      dots_ += c.width;
      return;
    }
    if (c.kind == Cluster_kind::Text) {
      add_run(c.begin, c.end, c.width);
      return;
    }
    flush();
    // A tab's spaces are written even at the end of the row.
    if (c.kind == Cluster_kind::Tab)
      row_.repeat(c.width, ' ', nullptr);
    else
      row_.put(c.escaped.text(), c.width, &Escaped_form_tag);
  }

  void plain(std::size_t begin, std::size_t end, bool highlighted, bool) {
    const auto width = static_cast<std::int64_t>(end - begin);
    if (dotted_ && !highlighted) {
      if (run_end_ != run_begin_) flush();
      dots_ += width;
      return;
    }
    add_run(begin, end, width);
  }

  void past_text(Wide, bool, bool) {}

  void right_cut(bool text_cut, bool) {
    flush();
    if (text_cut) row_.put(marker_.text, marker_.width, &Cut_marker_tag);
  }

 private:
  void add_run(std::size_t begin, std::size_t end, std::int64_t width) {
    if (dots_ > 0 || run_end_ != begin) flush();
    if (run_end_ == run_begin_) run_begin_ = begin;
    run_end_ = end;
    run_width_ += width;
  }

  void flush() {
    row_.repeat(dots_, '.', nullptr);
    dots_ = 0;
    if (run_end_ != run_begin_)
      row_.put(line_.substr(run_begin_, run_end_ - run_begin_), run_width_, nullptr);
    run_begin_ = run_end_ = 0;
    run_width_ = 0;
  }

  Row_writer& row_;
  std::string_view line_;
  bool dotted_;
  Cut_marker marker_;
  std::int64_t dots_ = 0;
  std::size_t run_begin_ = 0;  // the pending bytes of the line
  std::size_t run_end_ = 0;
  std::int64_t run_width_ = 0;
};

}  // namespace

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
  pp_two_columns(
      f, lines.count(), lines.label_width(),
      [&lines](std::int64_t i) {
        const auto number = lines.number(i);
        return number ? to_decimal(*number) : std::string();
      },
      [&](std::int64_t i) {
        const source_line& line = lines.at(i).line;
        Row_writer out(f);
        Text_sink dotted(out, line.text, true, layout.charset);
        Text_row(set, line, layout.tab_width, window, false).emit(dotted);
      },
      max_lines);
}

}  // namespace vantel::detail
