// SPDX-License-Identifier: MIT
// vantel-quote's command line, apart from the process so that it can be
// tested and fuzzed in-process.
#pragma once

#include "vantel-quote/report_cli.hpp"

#include <vantel/vantel.hpp>

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantel_quote {

enum class Color { Never, Always, Automatic };
// The layout: the text layout on a terminal, bytes elsewhere, or as asked.
enum class Display_mode { Automatic, Bytes, Text };
// What a report is written as: drawn for a person, or as data.
enum class Format { Human, Short, Sarif, Lsp };

struct Options {
  int max_lines = 10;
  Color color = Color::Automatic;
  Display_mode display = Display_mode::Automatic;
  int tab_width = vantel::default_tab_width;
  // The whole row's; none: the terminal's, in the text layout and reports.
  std::optional<std::int64_t> max_width;
  vantel::Charset charset = vantel::Charset::Unicode;
  bool points = false;
  bool each = false;
  // Print the text as the fix leaves it, or the fix as a unified diff.
  bool apply = false;
  bool diff = false;
  std::int64_t context = 0;  // reports: lines around each labelled one
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
  // The ` --> name:line:col` row of a human report.
  vantel::Column_unit location_unit = vantel::Column_unit::Bytes;
  int location_origin = 1;
  // What the data formats say beyond the report.
  std::string sarif_tool = "vantel-quote";
  std::string rule_help;
  std::string code_url;
  std::string base_uri;
  vantel::Lsp_encoding position_encoding = vantel::Lsp_encoding::Utf16;
  vantel::Sarif_rule rule;  // --rule-level and the other metadata of --code's rule
  // The SARIF invocation: the command line, and when the run started.
  std::vector<std::string> arguments;
  std::string start_time_utc;
};

// A malformed command line; what() says what is wrong.
struct Usage_error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws Usage_error.
[[nodiscard]] Options parse_arguments(const std::vector<std::string>& args);
// The same for the `count` arguments at `args`, as main receives them.
[[nodiscard]] Options parse_arguments(const char* const* args, std::size_t count);

// What the process is connected to.
struct Environment {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool out_is_terminal = false;
  const char* no_color = nullptr;  // the NO_COLOR variable, or null
  // Columns of the terminal on standard output, 0 when unknown (80 is
  // assumed then).
  std::int64_t terminal_width = 0;
  // The descriptor under `in`, read directly when it is known (at least 0),
  // so that its failures carry the system's error; `in` otherwise.
  int in_descriptor = -1;
};

extern const char* const usage;

// Runs the whole command: 0 when the quote was printed (or there was nothing
// to print), 1 when the library failed or `out` could not be written (one
// line on `err`), 2 for a usage error.
int run(const std::vector<std::string>& args, Environment env);
int run(const char* const* args, std::size_t count, Environment env);

}  // namespace vantel_quote
