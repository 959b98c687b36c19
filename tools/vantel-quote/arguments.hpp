// SPDX-License-Identifier: MIT
// vantel-quote's command line, read into options without running anything.
#pragma once

#include "vantel-quote/report_cli.hpp"

#include <vantel/vantel.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantel_quote {

enum class Color { Never, Always, Automatic };
// Whether coloured reports link their place and code, as --hyperlinks says.
enum class Hyperlinks { Never, Always, Automatic };
// The layout: the text layout on a terminal, bytes elsewhere, or as asked.
enum class Display_mode { Automatic, Bytes, Text };
// What a report is written as: drawn for a person, or as data.
enum class Format { Human, Short, Sarif, Lsp, Html };

struct Options {
  int max_lines = 10;
  Color color = Color::Automatic;
  Hyperlinks hyperlinks = Hyperlinks::Automatic;
  Display_mode display = Display_mode::Automatic;
  // The layout asked for; its `columns` and `width` are settled when
  // running, from `display`, `max_width` and what standard output is.
  vantel::Layout layout;
  // The whole row's; none: the terminal's, in the text layout and reports.
  std::optional<std::int64_t> max_width;
  bool each = false;
  // Print the text as the fix leaves it, or the fix as a unified diff.
  bool apply = false;
  bool diff = false;
  // What the COL of a LINE:COL counts.
  vantel::Column_unit columns = vantel::Column_unit::Bytes;
  bool help = false;
  bool version = false;
  std::string file;
  std::vector<std::string> fix_args;    // LOCATION=TEXT, read once --columns is known
  std::vector<std::string> event_args;  // the same, for --event
  std::vector<vantel::Location> locations;
  Report_request report;  // a report of the locations when it has a message
  Format format = Format::Human;
  // What the data formats say beyond the report.
  std::string sarif_tool = "vantel-quote";
  std::string rule_help;
  std::string base_uri;
  vantel::Lsp_encoding position_encoding = vantel::Lsp_encoding::Utf16;
  std::vector<std::string> given;  // the options named, as the table spells them
  vantel::Sarif_rule rule;         // --rule-level and the other metadata of --code's rule
  // The SARIF invocation's command line.
  std::vector<std::string> arguments;
  // --from-sarif: FILE and the LOCATIONs are SARIF logs to draw, their
  // results kept at these levels (all when none).
  bool from_sarif = false;
  std::vector<std::string> logs;
  std::vector<std::string> levels;
};

// A malformed command line; what() says what is wrong.
struct Usage_error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws Usage_error.
[[nodiscard]] Options parse_arguments(const std::vector<std::string>& args);
// The same for the `count` arguments at `args`, as main receives them.
[[nodiscard]] Options parse_arguments(const char* const* args, std::size_t count);

extern const char* const usage;

}  // namespace vantel_quote
