// SPDX-License-Identifier: MIT
#include "report/header_rows.hpp"

#include "draw/shown_text.hpp"

#include <vantel/styles.hpp>

namespace vantel::detail {

namespace {

// Continuation rows of a text with nothing on their left.
void bare_row() noexcept {}

}  // namespace

void print_header(Row_writer& row, const Report& report, const Layout_plan& layout) {
  const Style_tag tag(Role::Severity, "Vantel.Report_severity_tag",
                      std::string(report.severity.word()));
  std::string word(report.severity.word());
  if (!report.code.empty()) word += "[" + report.code + "]";
  put_shown(row, word, &tag, layout.tab_width);
  if (!report.message.empty()) {
    row.put(": ", 2, nullptr);
    put_wrapped(row, report.message, nullptr, layout.tab_width, layout.row_width, bare_row);
  }
  row.end_row();
}

void print_place(Row_writer& row, const Gutter& gutter, std::string_view name, std::int64_t line,
                 std::int64_t column) {
  row.to_column(gutter.width);
  row.put("-->", 3, &Report_margin_tag);
  row.to_column(row.column() + 1);
  std::string where(name);
  if (!where.empty()) where += ":";
  where += std::to_string(line) + ":" + std::to_string(column);
  put_shown(row, where, nullptr, default_tab_width);
  row.end_row();
}

void print_equals(Row_writer& row, const Gutter& gutter, std::int64_t indent, std::string_view kind,
                  const std::string& severity, std::string_view text, const Layout_plan& layout) {
  row.to_column(gutter.width + 1 + indent);
  row.put("=", 1, &Report_margin_tag);
  row.to_column(row.column() + 1);
  if (!kind.empty()) {
    const Style_tag tag(Role::Severity, "Vantel.Report_severity_tag", severity);
    put_shown(row, kind, &tag, layout.tab_width);
    row.put(":", 1, nullptr);
    row.to_column(row.column() + 1);
  }
  const std::int64_t column = row.column();
  for (;;) {
    const std::size_t lf = text.find('\n');
    row.to_column(column);
    put_wrapped(row, text.substr(0, lf), nullptr, layout.tab_width, layout.row_width, bare_row);
    row.end_row();
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
}

}  // namespace vantel::detail
