// SPDX-License-Identifier: MIT
// Drawing a resolved report: its entries one after another, under one
// line-number column.
#include "draw/cut_marker.hpp"
#include "draw/gutter.hpp"
#include "draw/layout_plan.hpp"
#include "draw/row_writer.hpp"
#include "model/resolved_report.hpp"
#include "report/fix_rows.hpp"
#include "report/header_rows.hpp"
#include "report/section_rows.hpp"
#include "text/layout_limits.hpp"

#include <vantel/report.hpp>
#include <vantel/styles.hpp>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vantel {
namespace detail {
namespace {

std::int64_t digits(std::int64_t n) {
  std::int64_t d = 1;
  for (; n >= 10; n /= 10) ++d;
  return d;
}

// Children are indented two columns a level down to this depth; deeper ones
// are drawn at its indent with their depth said, so that a deep tree costs
// rows, not columns.
constexpr std::int64_t deepest_indent = default_max_child_depth;

std::int64_t indent_of(std::int64_t depth) {
  return 2 * std::clamp<std::int64_t>(depth - 1, 0, deepest_indent - 1);
}

// The line-number column, as wide as the widest number of the whole tree.
std::int64_t number_width(const std::vector<Resolved_entry>& entries) {
  std::int64_t width = 1;
  for (const Resolved_entry& entry : entries) {
    for (const Section& section : entry.sections)
      width = std::max(width, digits(shown_number(section, section.lines.back())));
    for (const Fix_view& fix : entry.fixes)
      for (const Fix_place& place : fix.places)
        width = std::max(width, digits(last_number(place) + place.shift));
  }
  return width;
}

// Draws the entries one after another, under one line-number column.
class Report_drawing {
 public:
  Report_drawing(Formatter& formatter, const Layout_plan& layout, std::int64_t width)
      : row_(formatter), layout_(layout) {
    gutter_.width = width;
  }

  void entry(const Resolved_entry& e) {
    if (e.report == nullptr) {
      more(e);
      return;
    }
    const std::string severity(e.report->severity.word());
    // The primary underlines carry the report's severity, for styles that
    // follow it.
    const Style_tag primary_tag(Role::Primary, "Vantel.Report_primary_tag", severity);
    const std::int64_t indent = indent_of(e.depth);
    if (e.depth == 0) {
      print_header(row_, *e.report, layout_);
    } else {
      std::string kind = severity;
      if (!e.report->code.empty()) kind += "[" + e.report->code + "]";
      if (e.depth > deepest_indent) kind += " (depth " + std::to_string(e.depth) + ")";
      separate();
      print_equals(row_, gutter_, indent, kind, severity, e.report->message, layout_);
    }
    for (const Section& section : e.sections) {
      if (row_.failed()) return;
      separate();
      print_section(row_, gutter_, section, layout_, primary_tag);
      lines_last_ = true;
      current_ = section.source;
    }
    for (const std::vector<Note>* notes : {&e.report->notes, &e.notes})
      for (const Note& note : *notes) {
        separate();
        print_equals(row_, gutter_, indent, note.kind, note.kind, note.text, layout_);
      }
    for (const Fix_view& fix : e.fixes) this->fix(fix, indent);
  }

  [[nodiscard]] bool failed() const { return row_.failed(); }

 private:
  // A bare row between source lines and what follows them.
  void separate() {
    if (!lines_last_) return;
    gutter_.lanes.clear();
    gutter_.start_bare(row_, {});
    row_.end_row();
    lines_last_ = false;
  }

  void fix(const Fix_view& view, std::int64_t indent) {
    separate();
    print_equals(row_, gutter_, indent, "help", "help", view.fix->message, layout_);
    for (const Fix_place& place : view.places) {
      if (row_.failed()) return;
      gutter_.lanes.clear();
      if (current_ == nullptr || !current_->input.same_as(place.source->input) ||
          current_->name != place.source->name)
        print_place(row_, gutter_, *place.source, place.line, place.column);
      current_ = place.source;
      gutter_.start_bare(row_, {});
      row_.end_row();
      draw_fix_lines(row_, gutter_, place, layout_);
      lines_last_ = true;
    }
  }

  // "… N more", where children were left out.
  void more(const Resolved_entry& e) {
    separate();
    const Cut_marker marker = cut_marker(layout_.charset);
    row_.to_column(gutter_.width + 1 + indent_of(e.depth));
    row_.put(marker.text, marker.width, &Cut_marker_tag);
    const std::string rest = " " + std::to_string(e.more) + " more";
    row_.put(rest, static_cast<std::int64_t>(rest.size()), nullptr);
    row_.end_row();
  }

  Row_writer row_;
  const Layout_plan& layout_;
  Gutter gutter_;
  bool lines_last_ = false;          // the last row drawn was a source line's
  const Source* current_ = nullptr;  // whose lines were drawn last
};

void draw_report(Formatter& formatter, const Report& report, const Layout_plan& layout) {
  Resolved_report resolved;
  resolve_report(report, layout.report, resolved);
  formatter.open_vbox();
  Report_drawing drawing(formatter, layout, number_width(resolved.entries));
  for (const Resolved_entry& entry : resolved.entries) {
    if (drawing.failed()) break;
    drawing.entry(entry);
  }
  formatter.close_box();
  resolved.openings.close();
}

}  // namespace
}  // namespace detail

void pp_report(Formatter& formatter, const Report& report, const Layout& layout) {
  detail::Layout_plan plan = detail::plan_layout(layout, "vantel::pp_report");
  plan.text = true;
  detail::draw_report(formatter, report, plan);
}

}  // namespace vantel
