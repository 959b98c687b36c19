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

#include <vantel/formatter.hpp>
#include <vantel/input.hpp>
#include <vantel/position.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace vantel {

/// Whether a label is what the report is about or context for it.
enum class Label_kind {
  Primary,   ///< underlined with '^'
  Secondary  ///< underlined with '-'
};

/// A located stretch of one input, with an optional message. `name` is how
/// the input is shown (`--> name:line:col`); labels with the same name are
/// drawn together, from the input of the first of them. An empty location is
/// drawn as a point; a reversed one as a point at its start; a location with
/// a lexer position whose offset is -1 is left out.
struct Label {
  /// A label of `where` in `in`, shown as `shown_name`.
  Label(Input in, std::string shown_name, Location where, std::string text = {},
        Label_kind label_kind = Label_kind::Primary)
      : input(std::move(in)),
        name(std::move(shown_name)),
        location(std::move(where)),
        message(std::move(text)),
        kind(label_kind) {}

  Input input;          ///< where the text comes from
  std::string name;     ///< how the input is shown
  Location location;    ///< the labelled stretch
  std::string message;  ///< drawn by the underline; empty for none
  Label_kind kind;      ///< primary or secondary
};

/// A line after the quoted text: `= note: text`. `kind` is usually "note" or
/// "help"; line feeds in `text` continue it on rows of their own.
struct Note {
  std::string kind;  ///< shown before the text, in a Report_severity_tag
  std::string text;  ///< the note itself
};

/// A diagnostic: `severity[code]: message`, the labelled lines of each input
/// in the order their names first appear, then the notes.
struct Report {
  std::string severity = "error";  ///< "error", "warning", "note", "help" or a word of the host's
  std::string code;                ///< shown as severity[code]; empty for none
  std::string message;             ///< the header's text
  std::vector<Label> labels;       ///< in any order; the first primary one is the report's place
  std::vector<Note> notes;         ///< after the labelled lines, in this order
};

/// How a report is laid out. `tab_width` is 1 to 64. With a `max_width`
/// above 0, a line wider than that many columns is shown as windows of at most
/// `max_width` columns around its labels, each cut side marked "..."; the
/// line-number column and the margin do not count. 0 means no limit.
struct Report_options {
  int tab_width = 8;           ///< columns between tab stops
  std::int64_t max_width = 0;  ///< columns of a line's window; 0 for no limit
};

/// Prints `report` on `formatter`, every row ended by a cut. Every input is
/// opened once and closed before returning, also on failure; only the lines
/// that labels touch are read and kept. Positions resolve as for pp and
/// throw as it does (std::out_of_range for a line outside the input, ...),
/// before anything is printed; std::invalid_argument for bad options.
void pp_report(Formatter& formatter, const Report& report, const Report_options& options = {});

/// The tag around the severity word and code of the header, and around the
/// kind of each note; severity() says which word it is, so that a host can
/// colour errors and warnings apart.
class Report_severity_tag final : public Stag {
 public:
  /// The tag of the word `severity`.
  explicit Report_severity_tag(std::string severity)
      : Stag("Vantel.Report_severity_tag"), severity_(std::move(severity)) {}
  /// The word the tag encloses: "error", "warning", a note's kind, ...
  [[nodiscard]] const std::string& severity() const noexcept { return severity_; }

 private:
  std::string severity_;
};

/// The tags of a report's other parts, recognised by identity: primary and
/// secondary underlines (with their connectors and margin lines), label
/// messages, and the margin (line numbers, `|`, `-->`, `=`, "..." rows and
/// cut markers).
extern const Stag Report_primary_tag;    ///< primary underlines
extern const Stag Report_secondary_tag;  ///< secondary underlines
extern const Stag Report_message_tag;    ///< label messages
extern const Stag Report_margin_tag;     ///< the margin and cut markers

}  // namespace vantel
