// SPDX-License-Identifier: MIT
#include "report/header_rows.hpp"

#include "draw/shown_text.hpp"
#include "input/uri.hpp"

#include <vantel/styles.hpp>

namespace vantel::detail {

namespace {

// Continuation rows of a text with nothing on their left.
void bare_row() noexcept {}

// `shown`, linked to `target` when there is one.
void put_linked(Row_writer& row, const Shown_text& shown, const std::string& target,
                const Stag* tag) {
  if (target.empty())
    row.put(shown.text, shown.width, tag);
  else
    row.put_in(Style_tag(Role::Link, "Vantel.Report_link_tag", {}, target), shown.text, shown.width,
               tag);
}

}  // namespace

void print_header(Row_writer& row, const Report& report, const Layout_plan& layout) {
  const Style_tag tag(Role::Severity, "Vantel.Report_severity_tag",
                      std::string(report.severity.word()));
  std::string word(report.severity.word());
  if (!report.code.empty()) word += "[" + report.code + "]";
  put_linked(row, shown_text(word, layout.tab_width), report.code_url, &tag);
  if (!report.message.empty()) {
    row.put(": ", 2, nullptr);
    put_wrapped(row, report.message, nullptr, layout.tab_width, layout.row_width, bare_row);
  }
  row.end_row();
}

void print_place(Row_writer& row, const Gutter& gutter, const Source& source, std::int64_t line,
                 std::int64_t column) {
  row.to_column(gutter.width);
  row.put("-->", 3, &Report_margin_tag);
  row.to_column(row.column() + 1);
  std::string where(source.name);
  if (!where.empty()) where += ":";
  where += std::to_string(line) + ":" + std::to_string(column);
  // A name that is not a file's could name anything: it links nowhere.
  put_linked(row, shown_text(where, default_tab_width),
             is_absolute_artifact(source, false) ? artifact_uri(source, false) : std::string(),
             nullptr);
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
  put_wrapped(row, text, nullptr, layout.tab_width, layout.row_width, bare_row);
  row.end_row();
}

}  // namespace vantel::detail
