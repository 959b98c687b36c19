// SPDX-License-Identifier: MIT
// Reports as HTML: the drawing that a terminal shows, in a <pre> block, with
// each styled piece in a <span> whose class names its role.
#pragma once

#include <vantel/error.hpp>
#include <vantel/layout.hpp>
#include <vantel/report.hpp>
#include <vantel/styles.hpp>

#include <iosfwd>
#include <string>
#include <vector>

namespace vantel {

/// How reports are written as HTML.
struct Html_options {
  /// A whole page (doctype, head, stylesheet), or a fragment to embed: the
  /// `<pre>` blocks alone, styled by the host's stylesheet (html_stylesheet).
  bool page = true;
  /// Starts every class name: "vantel-" gives vantel-report, vantel-error...
  std::string class_prefix = "vantel-";
  /// The theme whose colours, weights and dimming the stylesheet repeats in
  /// CSS; its styles are terminal SGR sequences, as Styles::ansi() holds.
  Styles styles = Styles::ansi();
  /// The page's title.
  std::string title = "Diagnostics";
  /// CSS appended to the page's stylesheet, after the theme's rules, so that
  /// it overrides them. Written as is: it must not hold "</style".
  std::string css;
};

/// The stylesheet of `options`: the cells of wide and non-ASCII characters
/// sized in columns, then one rule per role from the theme. A fragment needs
/// it (or the host's own rules for the same classes) to keep its geometry.
[[nodiscard]] std::string html_stylesheet(const Html_options& options = {});

/// Writes `reports` on `out` as HTML: a page, or a fragment (see
/// Html_options::page). Each report is a `<pre>` block drawn as pp_report draws
/// it, readable without CSS: the text HTML-escaped, every piece of a
/// Style_tag in a `<span>` of its role's class ("vantel-margin", and for a
/// severity word or a primary underline also its word's, "vantel-error"),
/// every cluster that is not ASCII in a cell as many columns wide as on a
/// terminal, and web addresses in the text as links. Nothing is written
/// until every report is drawn; throws as pp_report does.
void write_html(std::ostream& out, const std::vector<Report>& reports, const Layout& layout = {},
                const Html_options& options = {});
/// write_html reporting a failure in `error` instead of throwing; nothing is
/// written then.
void write_html(std::ostream& out, const std::vector<Report>& reports, const Layout& layout,
                const Html_options& options, Error& error) noexcept;

}  // namespace vantel
