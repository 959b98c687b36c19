// SPDX-License-Identifier: MIT
#include "vantel-quote/arguments.hpp"
#include "vantel-quote/idle_options.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

namespace vantel_quote {

const char* const usage =
    "Usage: vantel-quote [OPTION]... [--] FILE [LOCATION[=LABEL]]...\n"
    "  or:  vantel-quote --from-sarif [OPTION]... [--] LOG...\n"
    "Quote FILE around the LOCATIONs and highlight the located bytes, or,\n"
    "with --message, print a report of them.\n"
    "\n"
    "FILE is a path, or - for standard input.\n"
    "LOCATION is START..END, END excluded. START and END are each a byte offset\n"
    "(0-based, possibly negative) or LINE:COL (1-based line and column).\n"
    "\n"
    "Options:\n"
    "  --max-lines=N   rows of a quote over several lines, \"...\" row included\n"
    "                  (default 10)\n"
    "  --color=WHEN    colour the carets and dim escaped forms: never, always or\n"
    "                  auto (default auto: on a terminal whose TERM is not\n"
    "                  dumb, or when CLICOLOR_FORCE or FORCE_COLOR is set and\n"
    "                  not 0; never when NO_COLOR is set and not empty)\n"
    "  --hyperlinks=WHEN  coloured reports: link the place to its file and\n"
    "                  severity[CODE] to --code-url: never, always or auto\n"
    "                  (default auto: when standard output is a terminal)\n"
    "  --each          quote every LOCATION on its own, in the order given\n"
    "  --display=HOW   lay the quote out by bytes or by what a terminal shows:\n"
    "                  bytes, text or auto (default auto: text when standard\n"
    "                  output is a terminal, bytes otherwise)\n"
    "  --tab-width=N   text layout: tab stops every N columns, 1 to 64\n"
    "                  (default 8)\n"
    "  --max-width=N   text layout and reports: cut rows to N columns in all,\n"
    "                  line number included, around the located text, 0 for no\n"
    "                  limit (default: the terminal's width, 80 when it is\n"
    "                  unknown, on a terminal; else 0)\n"
    "  --charset=SET   the marks drawn around the text: unicode (the default)\n"
    "                  or ascii\n"
    "  --points        quote empty locations (START equal to END) as one caret\n"
    "  --columns=UNIT  what COL counts: bytes (the default), utf16 (UTF-16 code\n"
    "                  units), code-points, or display (terminal cells, a tab\n"
    "                  reaching the next multiple of --tab-width)\n"
    "  --message=TEXT  print a report with this message rather than a quote: the\n"
    "                  first LOCATION is primary, the others secondary, and\n"
    "                  LOCATION=LABEL gives a location its label\n"
    "  --severity=WORD the report's severity: error (default), warning, note,\n"
    "                  help or a word of your own\n"
    "  --code=CODE     the report's code, shown as severity[CODE]\n"
    "  --note=TEXT     a note after the report; may be repeated\n"
    "  --tag=TAG       sarif and lsp: mark the code unnecessary or deprecated;\n"
    "                  may be repeated\n"
    "  --location-columns=UNIT  what the column of a report's --> row counts:\n"
    "                  bytes (the default), utf16, code-points or display\n"
    "  --location-origin=N  the number of a line's first column in that row:\n"
    "                  1 (the default) or 0\n"
    "  --format=FORMAT how to write a report: human (the default, drawn), short\n"
    "                  (FILE:LINE:COL: severity[CODE]: message lines, as editors\n"
    "                  read them), sarif (a SARIF 2.1.0 log), lsp (LSP\n"
    "                  Diagnostic objects) or html (a page of the drawn\n"
    "                  reports, coloured unless --color=never); with --each,\n"
    "                  every LOCATION is a report of its own\n"
    "  --sarif-tool=NAME  sarif: the tool named in the log (default vantel-quote)\n"
    "  --rule-help=TEXT   sarif: the help text of the rule of --code\n"
    "  --rule-level=LEVEL  sarif: the rule's default level: error, warning, note\n"
    "                  or none\n"
    "  --rule-tag=TAG  sarif: a tag of the rule (security...); may be repeated\n"
    "  --rule-precision=P  sarif: very-high, high, medium or low\n"
    "  --problem-severity=S  sarif: error, warning or recommendation\n"
    "  --security-severity=SCORE  sarif: a score from 0.0 to 10.0\n"
    "  --code-url=URL  where --code is explained: sarif, lsp, and links\n"
    "  --base-uri=URI  sarif and lsp: the absolute URI that FILE is relative to\n"
    "  --position-encoding=ENC  sarif and lsp: what a column counts: utf-16 (the\n"
    "                  default) or utf-32 (code points); lsp also utf-8\n"
    "  --context=N     reports: show N lines before and after each labelled line\n"
    "                  (default 0)\n"
    "  --fix=LOC=TEXT  an edit of the report's fix: the text of LOC (a LOCATION,\n"
    "                  L:C..L:C where it inserts) becomes TEXT; may be repeated\n"
    "  --fix-message=TEXT  the fix's message, drawn as \"help: TEXT\"\n"
    "  --event=LOC=TEXT  an event of the report's path, drawn as \"(N) TEXT\" under\n"
    "                  LOC (a LOCATION); may be repeated, in the path's order\n"
    "  --apply         print FILE as the fix leaves it, instead of a report\n"
    "  --diff          print the fix as a unified diff, for git apply or patch -p1\n"
    "  --from-sarif    draw the results of the SARIF 2.1.0 LOGs (- for standard\n"
    "                  input) as reports; --base-uri then stands for the base\n"
    "                  ids that a log leaves unresolved, and relative URIs\n"
    "  --level=LEVELS  --from-sarif: draw only results of these comma-separated\n"
    "                  levels: error, warning, note, none (default: all)\n"
    "  -h, --help      print this help and exit\n"
    "  --version       print the version and exit\n";

namespace {

template <class Int>
Int parse_integer(std::string_view text, const char* what) {
  Int value{};
  const char* first = text.data();
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range)
    throw Usage_error(std::string(what) + " out of range: '" + std::string(text) + "'");
  if (ec != std::errc() || end != last || text.empty())
    throw Usage_error(std::string("invalid ") + what + ": '" + std::string(text) + "'");
  return value;
}

vantel::Position parse_endpoint(std::string_view text, std::string_view location,
                                vantel::Column_unit columns, int tab_width) {
  const auto colon = text.find(':');
  try {
    if (colon == std::string_view::npos)
      return vantel::Position::of_offset(parse_integer<std::int64_t>(text, "offset"));
    return vantel::Position::of_line_col(
        parse_integer<std::int64_t>(text.substr(0, colon), "line"),
        parse_integer<std::int64_t>(text.substr(colon + 1), "column"), columns, tab_width);
  } catch (const Usage_error& e) {
    throw Usage_error(std::string(e.what()) + " in location '" + std::string(location) + "'");
  }
}

vantel::Location parse_location(std::string_view text, vantel::Column_unit columns, int tab_width) {
  const auto dots = text.find("..");
  if (dots == std::string_view::npos)
    throw Usage_error("invalid location '" + std::string(text) + "': expected START..END");
  return {parse_endpoint(text.substr(0, dots), text, columns, tab_width),
          parse_endpoint(text.substr(dots + 2), text, columns, tab_width)};
}

Hyperlinks parse_hyperlinks(std::string_view when) {
  if (when == "never") return Hyperlinks::Never;
  if (when == "always") return Hyperlinks::Always;
  if (when == "auto") return Hyperlinks::Automatic;
  throw Usage_error("invalid --hyperlinks '" + std::string(when) +
                    "': expected never, always or auto");
}

Color parse_color(std::string_view when) {
  if (when == "never") return Color::Never;
  if (when == "always") return Color::Always;
  if (when == "auto") return Color::Automatic;
  throw Usage_error("invalid --color '" + std::string(when) + "': expected never, always or auto");
}

// `value`, one of `words`, for `option`.
std::string one_of(std::string_view value, const char* option,
                   std::initializer_list<std::string_view> words) {
  std::string expected;
  for (const std::string_view word : words) {
    if (value == word) return std::string(value);
    expected += (expected.empty() ? "" : ", ") + std::string(word);
  }
  throw Usage_error("invalid " + std::string(option) + " '" + std::string(value) +
                    "': expected one of " + expected);
}

vantel::Report_tag parse_tag(std::string_view tag) {
  if (tag == "unnecessary") return vantel::Report_tag::Unnecessary;
  if (tag == "deprecated") return vantel::Report_tag::Deprecated;
  throw Usage_error("invalid --tag '" + std::string(tag) + "': expected unnecessary or deprecated");
}

Display_mode parse_display(std::string_view how) {
  if (how == "bytes") return Display_mode::Bytes;
  if (how == "text") return Display_mode::Text;
  if (how == "auto") return Display_mode::Automatic;
  throw Usage_error("invalid --display '" + std::string(how) + "': expected bytes, text or auto");
}

// An integer option's value, which must lie in [lo, hi].
template <class Int>
Int parse_bounded(std::string_view text, const char* what, Int lo, Int hi) {
  const Int value = parse_integer<Int>(text, what);
  if (value < lo || value > hi)
    throw Usage_error(std::string(what) + " out of range: '" + std::string(text) + "'");
  return value;
}

vantel::Column_unit parse_columns(std::string_view unit) {
  if (unit == "bytes") return vantel::Column_unit::Bytes;
  if (unit == "utf16") return vantel::Column_unit::Utf16;
  if (unit == "code-points") return vantel::Column_unit::Code_points;
  if (unit == "display") return vantel::Column_unit::Display;
  throw Usage_error("invalid --columns '" + std::string(unit) +
                    "': expected bytes, utf16, code-points or display");
}

Format parse_format(std::string_view format) {
  if (format == "human") return Format::Human;
  if (format == "short") return Format::Short;
  if (format == "sarif") return Format::Sarif;
  if (format == "lsp") return Format::Lsp;
  if (format == "html") return Format::Html;
  throw Usage_error("invalid --format '" + std::string(format) +
                    "': expected human, short, sarif, lsp or html");
}

vantel::Lsp_encoding parse_encoding(std::string_view encoding) {
  if (encoding == "utf-8") return vantel::Lsp_encoding::Utf8;
  if (encoding == "utf-16") return vantel::Lsp_encoding::Utf16;
  if (encoding == "utf-32") return vantel::Lsp_encoding::Utf32;
  throw Usage_error("invalid --position-encoding '" + std::string(encoding) +
                    "': expected utf-8, utf-16 or utf-32");
}

// The arguments of a command line, whether held as strings or as main's
// pointers: only views of them are taken.
struct Pointer_args {
  const char* const* args;
  std::size_t count;
  [[nodiscard]] std::size_t size() const noexcept { return count; }
  [[nodiscard]] std::string_view operator[](std::size_t i) const { return args[i]; }
};

// The options, and what each does to the options being built; those that
// take a value take it after '=' or as the next argument.
struct Option_entry {
  std::string_view name;
  bool takes_value;
  void (*apply)(Options& options, std::string_view value);
};

constexpr Option_entry option_table[] = {
    {"-h", false, [](Options& o, std::string_view) { o.help = true; }},
    {"--help", false, [](Options& o, std::string_view) { o.help = true; }},
    {"--version", false, [](Options& o, std::string_view) { o.version = true; }},
    {"--each", false, [](Options& o, std::string_view) { o.each = true; }},
    {"--max-lines", true,
     [](Options& o, std::string_view v) {
       o.max_lines = parse_integer<int>(v, "--max-lines value");
     }},
    {"--color", true, [](Options& o, std::string_view v) { o.color = parse_color(v); }},
    {"--hyperlinks", true,
     [](Options& o, std::string_view v) { o.hyperlinks = parse_hyperlinks(v); }},
    {"--display", true, [](Options& o, std::string_view v) { o.display = parse_display(v); }},
    {"--charset", true,
     [](Options& o, std::string_view v) {
       if (v == "unicode")
         o.layout.charset = vantel::Charset::Unicode;
       else if (v == "ascii")
         o.layout.charset = vantel::Charset::Ascii;
       else
         throw Usage_error("invalid --charset value '" + std::string(v) +
                           "': expected unicode or ascii");
     }},
    {"--tab-width", true,
     [](Options& o, std::string_view v) {
       o.layout.tab_width = parse_bounded<int>(v, "--tab-width value", 1, 64);
     }},
    {"--max-width", true,
     [](Options& o, std::string_view v) {
       o.max_width = parse_bounded<std::int64_t>(v, "--max-width value", 0,
                                                 std::numeric_limits<std::int64_t>::max());
     }},
    {"--points", false, [](Options& o, std::string_view) { o.layout.show_points = true; }},
    {"--columns", true, [](Options& o, std::string_view v) { o.columns = parse_columns(v); }},
    {"--message", true, [](Options& o, std::string_view v) { o.report.message = std::string(v); }},
    {"--severity", true,
     [](Options& o, std::string_view v) {
       if (v.empty()) throw Usage_error("option '--severity' needs a word");
       o.report.severity = std::string(v);
     }},
    {"--code", true, [](Options& o, std::string_view v) { o.report.code = std::string(v); }},
    {"--note", true, [](Options& o, std::string_view v) { o.report.notes.emplace_back(v); }},
    {"--tag", true, [](Options& o, std::string_view v) { o.report.tags.push_back(parse_tag(v)); }},
    {"--location-columns", true,
     [](Options& o, std::string_view v) { o.layout.report.location_unit = parse_columns(v); }},
    {"--location-origin", true,
     [](Options& o, std::string_view v) {
       o.layout.report.location_origin = parse_bounded<int>(v, "--location-origin value", 0, 1);
     }},
    {"--format", true, [](Options& o, std::string_view v) { o.format = parse_format(v); }},
    {"--sarif-tool", true, [](Options& o, std::string_view v) { o.sarif_tool = std::string(v); }},
    {"--rule-help", true, [](Options& o, std::string_view v) { o.rule_help = std::string(v); }},
    {"--rule-level", true,
     [](Options& o, std::string_view v) {
       o.rule.default_level = one_of(v, "--rule-level", {"error", "warning", "note", "none"});
     }},
    {"--rule-tag", true, [](Options& o, std::string_view v) { o.rule.tags.emplace_back(v); }},
    {"--rule-precision", true,
     [](Options& o, std::string_view v) {
       o.rule.precision = one_of(v, "--rule-precision", {"very-high", "high", "medium", "low"});
     }},
    {"--problem-severity", true,
     [](Options& o, std::string_view v) {
       o.rule.problem_severity =
           one_of(v, "--problem-severity", {"error", "warning", "recommendation"});
     }},
    {"--security-severity", true,
     [](Options& o, std::string_view v) { o.rule.security_severity = std::string(v); }},
    {"--code-url", true,
     [](Options& o, std::string_view v) { o.report.code_url = std::string(v); }},
    {"--base-uri", true, [](Options& o, std::string_view v) { o.base_uri = std::string(v); }},
    {"--position-encoding", true,
     [](Options& o, std::string_view v) { o.position_encoding = parse_encoding(v); }},
    {"--context", true,
     [](Options& o, std::string_view v) {
       o.layout.report.context_lines = parse_bounded<std::int64_t>(
           v, "--context value", 0, std::numeric_limits<std::int64_t>::max());
     }},
    {"--fix", true,
     [](Options& o, std::string_view v) {
       if (v.find('=') == std::string_view::npos)
         throw Usage_error("invalid --fix '" + std::string(v) + "': expected LOCATION=TEXT");
       o.fix_args.emplace_back(v);
     }},
    {"--event", true,
     [](Options& o, std::string_view v) {
       if (v.find('=') == std::string_view::npos)
         throw Usage_error("invalid --event '" + std::string(v) + "': expected LOCATION=TEXT");
       o.event_args.emplace_back(v);
     }},
    {"--fix-message", true,
     [](Options& o, std::string_view v) { o.report.fix_message = std::string(v); }},
    {"--from-sarif", false, [](Options& o, std::string_view) { o.from_sarif = true; }},
    {"--level", true,
     [](Options& o, std::string_view v) {
       for (std::size_t start = 0; start <= v.size();) {
         const std::size_t comma = std::min(v.find(',', start), v.size());
         o.levels.push_back(one_of(v.substr(start, comma - start), "--level",
                                   {"error", "warning", "note", "none"}));
         start = comma + 1;
       }
     }},
    {"--apply", false, [](Options& o, std::string_view) { o.apply = true; }},
    {"--diff", false, [](Options& o, std::string_view) { o.diff = true; }},
};

// The option that `arg` names, with the value it carries after '=', if any.
const Option_entry* find_option(std::string_view arg, std::optional<std::string_view>& value) {
  for (const Option_entry& entry : option_table) {
    if (arg == entry.name) return &entry;
    if (entry.takes_value && arg.size() > entry.name.size() &&
        arg.substr(0, entry.name.size()) == entry.name && arg[entry.name.size()] == '=') {
      value = arg.substr(entry.name.size() + 1);
      return &entry;
    }
  }
  return nullptr;
}

// Applies the option at args[i]; how many arguments after it it took.
template <class Args>
std::size_t apply_option(Options& options, const Args& args, std::size_t i) {
  const std::string_view arg = args[i];
  std::optional<std::string_view> value;
  const Option_entry* entry = find_option(arg, value);
  if (entry == nullptr) throw Usage_error("unknown option '" + std::string(arg) + "'");
  const bool takes_next = entry->takes_value && !value;
  if (takes_next) {
    if (i + 1 == args.size()) throw Usage_error("option '" + std::string(arg) + "' needs a value");
    value = std::string_view(args[i + 1]);
  }
  entry->apply(options, value.value_or(std::string_view()));
  options.given.emplace_back(entry->name);
  return takes_next ? 1 : 0;
}

// Options come before FILE; after it, an argument starting with a single '-'
// is a negative offset, while "--" still introduces an option.
bool is_option(std::string_view arg, bool have_file) {
  return arg.size() > 1 && arg[0] == '-' && (!have_file || (arg[1] == '-' && arg.size() > 2));
}

// Options that do not go together, or need another.
void check_combination(const Options& options) {
  if (options.help || options.version) return;
  if (check_from_sarif(options)) return;
  if (options.apply && options.diff) throw Usage_error("--apply and --diff: choose one");
  const bool fixing = options.apply || options.diff;
  if (options.each && (fixing || (options.report.message && options.format == Format::Human)))
    throw Usage_error("--each quotes, and --message, --apply and --diff do not: choose one");
  if (fixing && options.format != Format::Human)
    throw Usage_error("--apply and --diff write text: --format does not go with them");
  if (!options.report.message && !fixing) {
    for (const std::string& label : options.report.labels)
      if (!label.empty()) throw Usage_error("a LOCATION=LABEL needs --message");
    if (!options.fix_args.empty()) throw Usage_error("--fix needs --message, --apply or --diff");
    if (options.format != Format::Human) throw Usage_error("--format needs --message");
  }
  if (options.format == Format::Sarif && options.position_encoding == vantel::Lsp_encoding::Utf8)
    throw Usage_error("--format=sarif counts utf-16 or utf-32, not utf-8");
  check_idle_options(options);
}

// --fix and --event, read once --columns is known.
void read_edits_and_events(Options& options) {
  const auto location_of = [&options](std::string_view location) {
    return parse_location(location, options.columns, options.layout.tab_width);
  };
  for (const std::string& arg : options.fix_args) {
    const auto [location, text] = split_label(arg);
    options.report.fix_edits.emplace_back(location_of(location), std::string(*text));
  }
  for (const std::string& arg : options.event_args) {
    const auto [location, text] = split_label(arg);
    options.report.events.emplace_back(location_of(location), std::string(*text));
  }
  if (!options.event_args.empty() && !options.report.message && !options.help && !options.version)
    throw Usage_error("--event needs --message");
}

// With --from-sarif, FILE and the LOCATIONs are the logs.
void take_logs(Options& options, std::vector<std::string_view>& locations, bool have_file) {
  if (!options.help && !options.version && !have_file)
    throw Usage_error(options.from_sarif ? "missing LOG" : "missing FILE");
  if (!options.from_sarif) return;
  options.logs.push_back(options.file);
  options.logs.insert(options.logs.end(), locations.begin(), locations.end());
  locations.clear();
}

template <class Args>
Options parse(const Args& args) {
  Options options;
  options.arguments.reserve(args.size() + 1);
  options.arguments.emplace_back("vantel-quote");
  for (std::size_t i = 0; i < args.size(); ++i) options.arguments.emplace_back(args[i]);
  // Locations are read once every option is known, since --columns may
  // follow them.
  std::vector<std::string_view> locations;
  locations.reserve(args.size());
  bool have_file = false;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!options_done && is_option(arg, have_file)) {
      if (arg == "--")
        options_done = true;
      else
        i += apply_option(options, args, i);
    } else if (!have_file) {
      options.file = std::string(arg);
      have_file = true;
    } else {
      locations.push_back(arg);
    }
  }
  take_logs(options, locations, have_file);
  options.locations.reserve(locations.size());
  options.report.labels.reserve(locations.size());
  for (const std::string_view argument : locations) {
    const auto [location, label] = split_label(argument);
    options.locations.push_back(
        parse_location(location, options.columns, options.layout.tab_width));
    options.report.labels.emplace_back(label.value_or(std::string_view()));
  }
  read_edits_and_events(options);
  check_combination(options);
  return options;
}

}  // namespace

Options parse_arguments(const std::vector<std::string>& args) {
  return parse(args);
}

Options parse_arguments(const char* const* args, std::size_t count) {
  return parse(Pointer_args{args, count});
}

}  // namespace vantel_quote
