// SPDX-License-Identifier: MIT
#include "quote/text_quote.hpp"

#include "draw/cut_marker.hpp"
#include "draw/in_tag.hpp"
#include "draw/line_number.hpp"
#include "quote/text_row.hpp"
#include "quote/two_columns.hpp"
#include "support/wide_repeat.hpp"

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

void print_tagged(Formatter& f, const Stag& tag, std::string_view text) {
  print_in_tag(f, tag, [&] { f.print_string(text); });
}

// The text of a row: each cluster as shown, or, for a dotted row, each
// cluster that is not highlighted as dots. Neighbouring clusters shown as
// their own bytes are written as one piece of the line.
class Text_sink {
 public:
  Text_sink(Formatter& f, std::string_view line, bool dotted, Charset charset)
      : f_(f), line_(line), dotted_(dotted), charset_(charset) {}

  void left_cut(bool) { print_cut_marker(f_, charset_); }

  void cluster(const Cluster& c, bool highlighted, bool) {
    if (dotted_ && !highlighted) {
      if (run_end_ != run_begin_) flush();
      dots_ += c.width;
      return;
    }
    if (c.kind == Cluster_kind::Text) {
      if (dots_ > 0 || run_end_ != c.begin) flush();
      if (run_end_ == run_begin_) run_begin_ = c.begin;
      run_end_ = c.end;
      return;
    }
    flush();
    if (c.kind == Cluster_kind::Tab)
      f_.print_repeat(c.width, ' ');
    else
      print_tagged(f_, Escaped_form_tag, c.escaped.text());
  }

  void plain(std::size_t begin, std::size_t end, bool highlighted, bool) {
    if (dotted_ && !highlighted) {
      if (run_end_ != run_begin_) flush();
      dots_ += static_cast<std::int64_t>(end - begin);
      return;
    }
    if (dots_ > 0 || run_end_ != begin) flush();
    if (run_end_ == run_begin_) run_begin_ = begin;
    run_end_ = end;
  }

  void past_text(Wide, bool, bool) {}

  void right_cut(bool text_cut, bool) {
    flush();
    if (text_cut) print_cut_marker(f_, charset_);
  }

 private:
  void flush() {
    if (dots_ > 0) f_.print_repeat(dots_, '.');
    dots_ = 0;
    if (run_end_ != run_begin_) f_.print_string(line_.substr(run_begin_, run_end_ - run_begin_));
    run_begin_ = run_end_ = 0;
  }

  Formatter& f_;
  std::string_view line_;
  bool dotted_;
  Charset charset_;
  std::int64_t dots_ = 0;
  std::size_t run_begin_ = 0;  // the pending bytes of the line
  std::size_t run_end_ = 0;
};

// The caret row: carets under highlighted cells, each run of them in one
// tag, spaces elsewhere and none after the last caret.
class Caret_sink {
 public:
  Caret_sink(Formatter& f, Charset charset) : f_(f), charset_(charset) {}

  void left_cut(bool carets_cut) {
    if (carets_cut)
      print_cut_marker(f_, charset_);
    else
      spaces_ += cut_marker(charset_).width;
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
    print_repeat(f_, spaces_, ' ');
    print_cut_marker(f_, charset_);
  }

 private:
  void cell(Wide width, bool highlighted, bool joins) {
    if (!highlighted || !joins) close_run();
    (highlighted ? carets_ : spaces_) += width;
  }
  void close_run() {
    if (carets_ == 0) return;
    print_repeat(f_, spaces_, ' ');
    spaces_ = 0;
    print_in_tag(f_, Single_line_underline_tag, [this] { print_repeat(f_, carets_, '^'); });
    carets_ = 0;
  }

  Formatter& f_;
  Charset charset_;
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
  Text_sink text(f, line.text, false, layout.charset);
  row.emit(text);
  f.cut();
  f.print_repeat(line_number_columns(label_width), ' ');
  Caret_sink carets(f, layout.charset);
  row.emit(carets);
  f.cut();
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
        Text_sink dotted(f, line.text, true, layout.charset);
        Text_row(set, line, layout.tab_width, window, false).emit(dotted);
      },
      max_lines);
}

}  // namespace vantel::detail
