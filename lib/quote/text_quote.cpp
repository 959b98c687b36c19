// SPDX-License-Identifier: MIT
#include "quote/text_quote.hpp"

#include "draw/cut_marker.hpp"
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

// The caret row: carets under highlighted cells, each run of them one styled
// run, spaces elsewhere and none after the last caret. Counts are wide: the
// underline may run to the last offset there is.
class Caret_sink {
 public:
  Caret_sink(Row_writer& row, Charset charset) : row_(row), marker_(cut_marker(charset)) {}

  void left_cut(bool carets_cut) {
    if (carets_cut)
      row_.put(marker_.text, marker_.width, &Cut_marker_tag);
    else
      spaces_ += marker_.width;
  }
  void cluster(const Cluster& c, bool highlighted, bool joins) {
    cell(c.width, highlighted, joins);
  }
  void plain(std::size_t begin, std::size_t end, bool highlighted, bool joins) {
    cell(static_cast<Wide>(end - begin), highlighted, joins);
  }
  void past_text(Wide count, bool highlighted, bool joins) { cell(count, highlighted, joins); }
  void right_cut(bool, bool carets_cut) {
    close_run();
    if (!carets_cut) return;
    row_.repeat_wide(spaces_, ' ', nullptr);
    row_.put(marker_.text, marker_.width, &Cut_marker_tag);
  }

 private:
  void cell(Wide width, bool highlighted, bool joins) {
    if (!highlighted || !joins) close_run();
    (highlighted ? carets_ : spaces_) += width;
  }
  void close_run() {
    if (carets_ == 0) return;
    row_.repeat_wide(spaces_, ' ', nullptr);
    spaces_ = 0;
    row_.repeat_wide(carets_, '^', &Single_line_underline_tag);
    carets_ = 0;
  }

  Row_writer& row_;
  Cut_marker marker_;
  Wide spaces_ = 0;  // pending: written only when carets follow
  Wide carets_ = 0;  // the open run
};

}  // namespace

void text_single_line_quote(Formatter& f, const Bound_set& set, const source_line& line,
                            const std::string& label, const Layout_plan& layout) {
  const auto label_width = static_cast<std::int64_t>(label.size());
  const Text_row row(set, line, layout.tab_width,
                     layout.window_width(line_number_columns(label_width)), true);
  print_line_number(f, label, label_width);
  Row_writer out(f);
  Text_sink text(out, line.text, false, layout.charset);
  row.emit(text);
  out.end_row();
  // The caret row keeps its number column's spaces, carets or not.
  f.print_repeat(line_number_columns(label_width), ' ');
  Caret_sink carets(out, layout.charset);
  row.emit(carets);
  out.end_row();
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
