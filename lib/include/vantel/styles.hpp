// SPDX-License-Identifier: MIT
// Styling what quotes and reports draw: one tag per role, and one call that
// installs a style for every role, such as the ready ANSI theme.
#pragma once

#include <vantel/formatter.hpp>

#include <string>
#include <string_view>

namespace vantel {

/// What a piece of a quote or a report is, for styling.
enum class Role : unsigned char {
  Primary,     ///< the carets of a quote, the primary underlines of a report
  Secondary,   ///< secondary underlines, with their connectors and margin lines
  Message,     ///< label messages
  Severity,    ///< the severity word and code of a report, and each note's kind
  Margin,      ///< line numbers, '|', "-->", '=' and "..." rows of a report
  Escaped,     ///< an escaped form such as <U+202E> or <0x1B>
  Cut_marker,  ///< the mark of a side of a row that was cut
  Link,        ///< a piece that points at Style_tag::target(): a report's place, its code
};

/// A tag of the library's: every piece that it draws in a tag is in one of
/// these. It says its role, and for the primary underlines and the severity
/// of a report, the report's severity word, so that a mark function needs no
/// cast: `if (const Style_tag* s = tag.style()) ... s->role() ...`.
class Style_tag final : public Stag {
 public:
  /// A tag of `role` named `name`, carrying `severity` (empty for none) and,
  /// for Role::Link, the URI `target`.
  Style_tag(Role role, std::string name, std::string severity = {}, std::string target = {})
      : Stag(std::move(name)),
        role_(role),
        severity_(std::move(severity)),
        target_(std::move(target)) {}

  /// What the tagged piece is.
  [[nodiscard]] Role role() const noexcept { return role_; }
  /// The severity word ("error", "warning", a note's kind, a word of the
  /// host's) of a report's primary underline or severity; empty otherwise.
  [[nodiscard]] const std::string& severity() const noexcept { return severity_; }
  /// The URI that a Role::Link piece points at; empty otherwise.
  [[nodiscard]] const std::string& target() const noexcept { return target_; }
  /// This tag.
  [[nodiscard]] const Style_tag* style() const noexcept override { return this; }

 private:
  Role role_;
  std::string severity_;
  std::string target_;
};

/// The tag around each run of carets of a quote (Role::Primary, no severity).
extern const Style_tag Single_line_underline_tag;
/// The tag around each escaped form of the text layout and of reports.
extern const Style_tag Escaped_form_tag;
/// The tag around each cut marker, in quotes and reports.
extern const Style_tag Cut_marker_tag;
/// The tag around a report's secondary underlines.
extern const Style_tag Report_secondary_tag;
/// The tag around a report's label messages.
extern const Style_tag Report_message_tag;
/// The tag around a report's margin: line numbers, '|', "-->", '=', "...".
extern const Style_tag Report_margin_tag;

/// The texts written where a styled piece opens and closes, taking no column.
struct Style {
  std::string open;   ///< written where the piece opens
  std::string close;  ///< written where it closes
};

/// A style for every role. The primary underlines of a report and its
/// severity take the style of its severity word; the carets of a quote take
/// `primary`. Every style is empty by default.
struct Styles {
  Style primary;     ///< the carets of a quote
  Style secondary;   ///< secondary underlines
  Style message;     ///< label messages
  Style margin;      ///< the margin of a report
  Style escaped;     ///< escaped forms
  Style cut_marker;  ///< cut markers
  Style error;       ///< severity "error", and the primary underlines of errors
  Style warning;     ///< severity "warning", and its primary underlines
  Style note;        ///< severity "note", and its primary underlines
  Style help;        ///< severity "help", and its primary underlines
  Style other;       ///< any other severity word, and its primary underlines
  /// Whether Role::Link pieces are written as OSC 8 hyperlinks to their
  /// target, which terminals open on a click. Off by default: a terminal
  /// that does not know them may show them. A target holding a byte that a
  /// URI never holds raw (a control, a space, non-ASCII) links nowhere.
  bool hyperlinks = false;

  /// The style of the piece that `tag` encloses; none for Role::Link.
  [[nodiscard]] const Style& of(const Style_tag& tag) const noexcept;
  /// The style of the severity word `severity`.
  [[nodiscard]] const Style& of_severity(std::string_view severity) const noexcept;

  /// Terminal colours: errors red, warnings yellow, notes green, help cyan,
  /// other words bold, each in bold, with the primary underlines in the
  /// colour of their report's severity and a quote's carets red; secondary
  /// underlines and the margin blue, messages bold, escaped forms and cut
  /// markers dim.
  [[nodiscard]] static Styles ansi();
};

/// Makes `formatter` write each role's style around the pieces in a
/// Style_tag, and turns tag marking on. Other tags keep the mark functions
/// the formatter had; a second call replaces the first's styles.
void setup_tags(Formatter& formatter, Styles styles);

}  // namespace vantel
