// SPDX-License-Identifier: MIT
// Diagnostic reports: a message, labelled locations in one or several
// inputs, and notes, drawn as a whole.
//
//   error[E0308]: mismatched types
//    --> main.calc:3:7
//     |
//   3 | print width + height
//     |       ^^^^^   ------ declared here as text
//     |       |
//     |       expected a number
//     |
//     = note: text and numbers do not mix
//
// Lines are drawn with their display geometry: tabs expand to tab stops, wide
// characters take two columns, and bytes that would drive a terminal are
// shown escaped, as <0x1B> or <U+202E>.
#pragma once

#include <vantel/error.hpp>
#include <vantel/fix.hpp>
#include <vantel/formatter.hpp>
#include <vantel/input.hpp>
#include <vantel/layout.hpp>
#include <vantel/path_event.hpp>
#include <vantel/position.hpp>
#include <vantel/report_tag.hpp>
#include <vantel/severity.hpp>
#include <vantel/source.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vantel {

/// Whether a label is what the report is about, context for it, or only
/// lines to show.
enum class Label_kind {
  Primary,    ///< underlined with '^'
  Secondary,  ///< underlined with '-'
  /// Its lines are shown, in the order of the others, with no mark and no
  /// message: an enclosing block, or a range of lines with nothing to mark.
  /// The exported forms leave it out; it is never the report's place while
  /// another label is.
  Context
};

/// A located stretch of one source, with an optional message. An empty
/// location is drawn as a point; a reversed one as a point at its start; a
/// location with a lexer position whose offset is -1 is left out. One that
/// reaches past the end of its input is drawn up to the end, and a note
/// after the report's own names it and the input's length.
struct Label {
  /// A label of `where` in `from`.
  Label(Source from, Location where, std::string text = {},
        Label_kind label_kind = Label_kind::Primary)
      : source(std::move(from)),
        location(std::move(where)),
        message(std::move(text)),
        kind(label_kind) {}
  /// A label of `where` in `in`, shown as `shown_name`.
  Label(Input in, std::string shown_name, Location where, std::string text = {},
        Label_kind label_kind = Label_kind::Primary)
      : Label(Source(std::move(in), std::move(shown_name)), std::move(where), std::move(text),
              label_kind) {}
  /// A label from `start` to `end` in `from`:
  /// `labels.emplace_back(source, p, q, "expected a number")`.
  Label(Source from, Position start, Position end, std::string text = {},
        Label_kind label_kind = Label_kind::Primary)
      : Label(std::move(from), Location(std::move(start), std::move(end)), std::move(text),
              label_kind) {}
  /// A label from `start` to `end` in `in`, shown as `shown_name`:
  /// `labels.emplace_back(in, "a.c", p, q, "expected a number")`.
  Label(Input in, std::string shown_name, Position start, Position end, std::string text = {},
        Label_kind label_kind = Label_kind::Primary)
      : Label(Source(std::move(in), std::move(shown_name)),
              Location(std::move(start), std::move(end)), std::move(text), label_kind) {}

  /// A primary label: what the report is about.
  [[nodiscard]] static Label primary(Source from, Location where, std::string text = {}) {
    return Label(std::move(from), std::move(where), std::move(text), Label_kind::Primary);
  }
  /// A secondary label: context for the primary ones.
  [[nodiscard]] static Label secondary(Source from, Location where, std::string text = {}) {
    return Label(std::move(from), std::move(where), std::move(text), Label_kind::Secondary);
  }
  /// A context-only label: the lines of `where` shown, nothing marked.
  [[nodiscard]] static Label context(Source from, Location where) {
    return Label(std::move(from), std::move(where), {}, Label_kind::Context);
  }

  Source source;        ///< the input and its shown name
  Location location;    ///< the labelled stretch
  std::string message;  ///< drawn by the underline; empty for none
  Label_kind kind;      ///< primary, secondary or context
};

/// A line after the quoted text: `= note: text`. `kind` is usually "note" or
/// "help"; line feeds in `text` continue it on rows of their own.
struct Note {
  std::string kind;  ///< shown before the text, in a Role::Severity tag
  std::string text;  ///< the note itself
};

/// A diagnostic: `severity[code]: message`, the labelled lines of each source
/// in the order it first appears, the notes, the fixes, then the children.
/// A report is a plain value: several threads may draw one report at once
/// while none changes it (its inputs are shared safely, see Input), each on
/// its own formatter.
///
/// Drawing walks `children` with a loop, however deep; copying and
/// destroying a Report recurse once per level, as nested std::vectors do,
/// which the library supports to 10,000 levels.
struct Report {
  Severity severity = Severity::Error;  ///< a level, or a word of the host's
  std::string code;                     ///< shown as severity[code]; empty for none
  std::string message;                  ///< the header's text
  std::vector<Label> labels;  ///< in any order; the first primary one is the report's place
  std::vector<Note> notes;    ///< after the labelled lines, in this order
  /// Suggested fixes, each drawn after the notes as "= help: message" and
  /// the lines it changes: a line that it only writes into as it reads
  /// after the fix, '+' under inserted and '~' under replacing cells; any
  /// other change as removed ('-', numbered in the old text) and added ('+',
  /// numbered in the new text) lines.
  std::vector<Fix> fixes;
  /// Diagnostics of their own, each drawn after this one under the same
  /// line-number column: "= severity[code]: message", then its labelled
  /// lines, notes, fixes and children. Report_layout::max_child_depth and
  /// Report_layout::max_children bound what is drawn.
  std::vector<Report> children;
  /// Marks for editors, in this order: LSP `tags`, SARIF `properties.tags`.
  std::vector<Report_tag> tags;
  /// The path to the fault, in order: drawn as "(1) message" under each
  /// event's text, with the labels (as many as Layout::max_children);
  /// SARIF `codeFlows`, LSP `relatedInformation` after the children.
  std::vector<Path_event> path;
  /// Where the code is explained: an absolute URI, the link of severity[code]
  /// when Styles::hyperlinks is on, SARIF's `helpUri` for a code that
  /// Sarif_tool::rules leaves without one, and LSP's `codeDescription` for a
  /// code that Lsp_options::code_urls leaves out (which throw
  /// std::invalid_argument for one that is not a URI). Empty for none.
  std::string code_url;
};

/// Prints `report` on `formatter`, every row ended by a cut, laid out as text
/// whatever `layout.columns` says: `tab_width`, `width` (the whole row,
/// line number and margin included), and `charset` apply. Every input is
/// opened once and closed before returning, also on failure; only the lines
/// that labels touch are read and kept. Positions resolve as for pp and
/// throw as it does (std::out_of_range for a line outside the input, ...),
/// before anything is printed; std::invalid_argument for a bad layout. A
/// fix that cannot be applied (edits reversed, overlapping, or past the end
/// of the input) is not drawn: a note says which and why, and the labels
/// are drawn as ever (apply and unified_diff still refuse it). Children
/// are drawn as far as the layout's bounds, their positions resolved first
/// too.
/// Stops drawing as soon as the formatter's stream has failed. The pieces
/// are in Style_tag tags (<vantel/styles.hpp>): the severity and the primary
/// underlines carry the report's severity word. Takes the cursors of all the
/// report's inputs at once (see Input), so that reports drawn in other
/// threads over the same inputs never wait for each other for ever.
void pp_report(Formatter& formatter, const Report& report, const Layout& layout = {});
/// pp_report with the default layout, reporting a failure in `error` instead
/// of throwing (see <vantel/error.hpp>); nothing is printed then.
void pp_report(Formatter& formatter, const Report& report, Error& error) noexcept;
/// pp_report reporting a failure in `error` instead of throwing.
void pp_report(Formatter& formatter, const Report& report, const Layout& layout,
               Error& error) noexcept;

/// The report as pp_report draws it, as a string. Throws as pp_report does.
[[nodiscard]] std::string to_string(const Report& report, const Layout& layout = {});
/// to_string reporting a failure in `error` instead; then an empty string.
[[nodiscard]] std::string to_string(const Report& report, const Layout& layout,
                                    Error& error) noexcept;
/// to_string with the default layout, reporting a failure in `error`.
[[nodiscard]] std::string to_string(const Report& report, Error& error) noexcept;

}  // namespace vantel
