// SPDX-License-Identifier: MIT
#include "vantel-quote/quote_cli.hpp"

#include "vantel-quote/sarif_cli.hpp"
#include "vantel-quote/whole_input.hpp"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <istream>
#include <iterator>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>

#ifndef VANTEL_VERSION
#define VANTEL_VERSION "unknown"
#endif

namespace vantel_quote {
namespace {

// The reason of a failure, naming the file when the library's failure is
// about no input (a fix that does not hold, or this tool's own reading).
std::string reason(const std::string& file, const std::exception& e) {
  // The standard library words a stream's system error its own way; the
  // system's message for the error reads like every other.
  if (const auto* failure = dynamic_cast<const std::ios_base::failure*>(&e);
      failure != nullptr && failure->code().category() != std::iostream_category())
    return file + ": " + failure->code().message();
  if (dynamic_cast<const vantel::Failure_place*>(&e) != nullptr) return e.what();
  return file + ": " + e.what();
}

// Every byte that the stream gives from where it stands, in blocks.
std::string read_all(std::istream& in) {
  std::string text;
  std::streambuf* buf = in.rdbuf();
  for (std::size_t got = 0;;) {
    text.resize(got + 65536);
    const std::streamsize n = buf->sgetn(text.data() + got, 65536);
    got += static_cast<std::size_t>(n > 0 ? n : 0);
    if (n < 65536) {
      text.resize(got);
      return text;
    }
  }
}

// Standard input, or FILE when it cannot seek, read whole: quoting seeks.
// Nothing for a FILE that is quoted through its name.
std::optional<std::string> read_first(const Options& options, Environment& env) {
  if (options.file != "-") return read_if_unseekable(options.file);
  if (env.in_descriptor >= 0) return read_whole(env.in_descriptor, options.file);
  return read_all(env.in);
}

// The width of the whole row in the text layout and reports: the option's,
// else the terminal's (no limit off a terminal).
std::int64_t row_width_of(const Options& options, const Environment& env) {
  if (options.max_width) return *options.max_width;
  return env.terminal.layout.width;
}

// What the layout options ask for, on what standard output is.
vantel::Layout layout_of(const Options& options, const Environment& env) {
  vantel::Layout layout = options.layout;
  layout.width = row_width_of(options, env);
  const bool text = options.display == Display_mode::Text ||
                    (options.display == Display_mode::Automatic &&
                     env.terminal.layout.columns == vantel::Layout::Columns::Text);
  if (text) layout.columns = vantel::Layout::Columns::Text;
  return layout;
}

// The library's terminal colours, when asked for or when the terminal wants them.
// Links go with colours alone: a terminal that shows no colours may not know
// them either.
void set_colors(const Options& options, const Environment& env, vantel::Formatter& formatter) {
  vantel::Styles styles;
  if (options.color == Color::Always)
    styles = vantel::Styles::ansi();
  else if (options.color == Color::Automatic && env.terminal.color)
    styles = env.terminal.styles;
  else
    return;
  styles.hyperlinks = options.hyperlinks == Hyperlinks::Always ||
                      (options.hyperlinks == Hyperlinks::Automatic && env.terminal.is_terminal);
  vantel::setup_tags(formatter, std::move(styles));
}

// The reports of the data formats: one, or with --each one per location.
std::vector<vantel::Report> reports_of(const Options& options, const vantel::Input& input,
                                       const std::string& name) {
  if (!options.each) return {report_of(options.report, input, name, options.locations)};
  std::vector<vantel::Report> reports;
  for (std::size_t k = 0; k < options.locations.size(); ++k) {
    Report_request one = options.report;
    one.labels = {options.report.labels[k]};
    reports.push_back(report_of(one, input, name, {options.locations[k]}));
  }
  return reports;
}

// Now as SARIF writes times, or the time SOURCE_DATE_EPOCH gives, so that
// a build's logs can be reproduced.
std::string utc_now() {
  std::time_t now = std::time(nullptr);
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr && *epoch != '\0') {
    const std::string_view text(epoch);
    std::int64_t seconds = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (ec == std::errc() && end == text.data() + text.size() && seconds >= 0)
      now = static_cast<std::time_t>(seconds);
  }
  std::tm parts{};
  char out[32] = "";
  if (gmtime_r(&now, &parts) == nullptr ||
      std::strftime(out, sizeof out, "%Y-%m-%dT%H:%M:%SZ", &parts) == 0)
    return {};
  return out;
}

vantel::Sarif_invocation invocation_of(const Options& options, const std::string& started) {
  vantel::Sarif_invocation run;
  run.arguments = options.arguments;
  std::error_code failed;
  run.working_directory = std::filesystem::current_path(failed).string();
  run.start_time_utc = started;
  run.end_time_utc = utc_now();
  return run;
}

// The tool and the rule of --code, with its metadata.
vantel::Sarif_tool tool_of(const Options& options) {
  vantel::Sarif_tool tool;
  tool.name = options.sarif_tool;
  if (tool.name == "vantel-quote") tool.version = VANTEL_VERSION;
  if (!options.report.code.empty()) {
    vantel::Sarif_rule rule = options.rule;
    rule.id = options.report.code;
    rule.help = options.rule_help;
    rule.help_uri = options.report.code_url;
    tool.rules.push_back(std::move(rule));
  }
  return tool;
}

void write_sarif(const Options& options, Environment& env,
                 const std::vector<vantel::Report>& reports, const std::string& started) {
  vantel::Sarif_tool tool = tool_of(options);
  vantel::Sarif_options sarif;
  sarif.base_uri = options.base_uri;
  if (options.position_encoding == vantel::Lsp_encoding::Utf32)
    sarif.column_kind = vantel::Sarif_column_kind::Unicode_code_points;
  vantel::Sarif_log log(std::move(tool), sarif);
  for (const vantel::Report& report : reports) log.add(report);
  log.set_invocation(invocation_of(options, started));
  log.write(env.out);
}

// A run that failed still writes its log when one was asked for: CI reads
// the log, not standard error.
void write_failed_sarif(const Options& options, Environment& env, const std::string& why,
                        const std::string& started) {
  if (options.format != Format::Sarif || !options.report.message) return;
  vantel::Sarif_tool tool = tool_of(options);
  // Code scanning wants a rule even in a log without results.
  if (tool.rules.empty())
    tool.rules.push_back({options.report.severity, {}, {}, {}, {}, {}, {}, {}, {}, {}});
  vantel::Sarif_log log(std::move(tool));
  vantel::Sarif_invocation run = invocation_of(options, started);
  run.execution_successful = false;
  run.notifications.push_back({why, vantel::Severity::Error});
  log.set_invocation(std::move(run));
  vantel::Error ignored;  // the run has failed already
  log.write(env.out, ignored);
}

// A page of the drawn reports, in the theme's colours unless colour is off.
void write_html_page(const Options& options, Environment& env,
                     const std::vector<vantel::Report>& reports, const vantel::Layout& layout) {
  vantel::Html_options html;
  if (options.color == Color::Never) html.styles = {};
  html.title = options.file == "-" ? std::string("<stdin>") : options.file;
  vantel::write_html(env.out, reports, layout, html);
}

// `started`: when the run started, for a SARIF log's invocation.
void write_data(const Options& options, Environment& env,
                const std::vector<vantel::Report>& reports, const std::string& started) {
  if (options.format == Format::Sarif) {
    write_sarif(options, env, reports, started);
  } else if (options.format == Format::Lsp) {
    vantel::Lsp_options lsp;
    lsp.encoding = options.position_encoding;
    lsp.source = options.sarif_tool;
    lsp.base_uri = options.base_uri;
    env.out << vantel::to_lsp_json(reports, lsp);
  } else {
    for (const vantel::Report& report : reports) vantel::write_one_line(env.out, report);
  }
}

// --apply or --diff. Bytes as they are: the patched text is the file's own,
// not a quote. A diff is written as it is made, so that long lines are never
// held.
void write_fixed(const Options& options, Environment& env, const vantel::Input& input,
                 const std::string& name) {
  const std::vector<vantel::Fix> fixes = fixes_of(options.report, input, name);
  if (options.apply) {
    env.out << vantel::apply(input, fixes);
    return;
  }
  try {
    vantel::unified_diff(fixes, env.out);
  } catch (const std::ios_base::failure&) {
    if (env.out) throw;  // else said as for every output that cannot be written
  }
}

// What a run with --message reports on, and how it is laid out.
struct Reported {
  const vantel::Input& input;
  const std::string& name;
  const vantel::Layout& layout;
};

void write_reports(const Options& options, Environment& env, vantel::Formatter& formatter,
                   const Reported& on, const std::string& started) {
  if (options.format == Format::Html) {
    write_html_page(options, env, reports_of(options, on.input, on.name), on.layout);
  } else if (options.format != Format::Human) {
    write_data(options, env, reports_of(options, on.input, on.name), started);
  } else {
    // A report is always drawn as a terminal shows the text.
    vantel::pp_report(formatter, report_of(options.report, on.input, on.name, options.locations),
                      on.layout);
  }
}

int quote(const Options& options, Environment& env, vantel::Formatter& formatter,
          const std::string& started) {
  set_colors(options, env, formatter);
  const vantel::Layout layout = layout_of(options, env);
  if (options.from_sarif) return draw_sarif_logs(options, env.in, env.err, formatter, layout);

  // Standard input, or a FILE that cannot seek, is read whole first. Any other
  // file is quoted through the file input, which keeps its line table from one
  // quote to the next while the file is unchanged.
  std::optional<std::string> whole = read_first(options, env);
  const vantel::Input input = whole ? vantel::Input::string(std::move(*whole), options.file)
                                    : vantel::Input::file(options.file);
  const std::string& name = options.file == "-" ? std::string("<stdin>") : options.file;
  if (options.apply || options.diff) {
    write_fixed(options, env, input, name);
    return 0;
  }
  if (options.report.message) {
    write_reports(options, env, formatter, {input, name, layout}, started);
    return 0;
  }
  if (!options.each) {
    vantel::pp(input, formatter, options.locations, layout, options.max_lines);
    return 0;
  }
  // One opening for every quote: the file is opened and checked once.
  vantel::Opened opened = input.open();
  const vantel::Printer print = vantel::pp(opened, layout, options.max_lines);
  for (const vantel::Location& location : options.locations) {
    if (!env.out) break;  // nothing more would be written
    print(formatter, {location});
  }
  opened.close();
  return 0;
}

// Exit status `status` once every byte has reached standard output, 1 with a
// message when some could not.
int flushed(Environment& env, int status) {
  env.out.flush();
  if (env.out) return status;
  env.err << "vantel-quote: error writing standard output\n";
  return 1;
}

}  // namespace

namespace {

// A message for standard error. What it repeats of file names, arguments and
// the library's messages was typed by anyone or named by anything: controls
// in it would reach the terminal, so they are shown escaped.
std::string message(std::string_view text) {
  return "vantel-quote: " + vantel::escaped_text(text) + '\n';
}

// Parses the command line with `parse`, then runs it.
template <class Parse>
int parse_then_run(Parse&& parse, Environment env) {
  Options options;
  try {
    options = std::forward<Parse>(parse)();
  } catch (const Usage_error& e) {
    env.err << message(e.what()) << "Try 'vantel-quote --help' for more information.\n";
    return 2;
  }
  return run(options, std::move(env));
}

}  // namespace

int run(const Options& options, Environment env) {
  if (options.help) {
    env.out << usage;
    return flushed(env, 0);
  }
  if (options.version) {
    env.out << "vantel-quote " VANTEL_VERSION "\n";
    return flushed(env, 0);
  }
  const std::string started = utc_now();
  int status = 0;
  try {
    vantel::Formatter formatter(env.out);
    status = quote(options, env, formatter, started);
  } catch (const std::bad_alloc&) {
    env.out.flush();
    // Escaping takes memory too, which may still be short.
    try {
      env.err << message(options.file + ": out of memory");
    } catch (const std::bad_alloc&) {
      env.err << "vantel-quote: out of memory\n";
    }
    return 1;
  } catch (const std::exception& e) {
    write_failed_sarif(options, env, reason(options.file, e), started);
    env.out.flush();
    env.err << message(reason(options.file, e));
    return 1;
  }
  return flushed(env, status);
}

int run(const std::vector<std::string>& args, Environment env) {
  return parse_then_run([&] { return parse_arguments(args); }, std::move(env));
}

int run(const char* const* args, std::size_t count, Environment env) {
  return parse_then_run([&] { return parse_arguments(args, count); }, std::move(env));
}

}  // namespace vantel_quote
