#include "vantel-quote/quote_cli.hpp"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <system_error>

#ifndef VANTEL_VERSION
#define VANTEL_VERSION "unknown"
#endif

namespace vantel_quote {

const char* const usage =
    "Usage: vantel-quote [OPTION]... [--] FILE [LOCATION[=LABEL]]...\n"
    "Quote FILE around the LOCATIONs and highlight the located bytes, or,\n"
    "with --message, print a report of them.\n"
    "\n"
    "FILE is a path, or - for standard input.\n"
    "LOCATION is START..END, END excluded. START and END are each a byte offset\n"
    "(0-based, possibly negative) or LINE:COL (1-based line and byte column).\n"
    "\n"
    "Options:\n"
    "  --max-lines=N   rows of a quote over several lines, \"...\" row included\n"
    "                  (default 10)\n"
    "  --color=WHEN    colour the carets: never, always or auto (default auto:\n"
    "                  when standard output is a terminal and NO_COLOR is unset\n"
    "                  or empty)\n"
    "  --each          quote every LOCATION on its own, in the order given\n"
    "  --message=TEXT  print a report with this message rather than a quote: the\n"
    "                  first LOCATION is primary, the others secondary, and\n"
    "                  LOCATION=LABEL gives a location its label\n"
    "  --severity=WORD the report's severity: error (default), warning, note,\n"
    "                  help or a word of your own\n"
    "  --code=CODE     the report's code, shown as severity[CODE]\n"
    "  --note=TEXT     a note after the report; may be repeated\n"
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

vantel::Position parse_endpoint(std::string_view text, std::string_view location) {
  const auto colon = text.find(':');
  try {
    if (colon == std::string_view::npos)
      return vantel::Position::of_offset(parse_integer<std::int64_t>(text, "offset"));
    return vantel::Position::of_line_col(
        parse_integer<std::int64_t>(text.substr(0, colon), "line"),
        parse_integer<std::int64_t>(text.substr(colon + 1), "column"));
  } catch (const Usage_error& e) {
    throw Usage_error(std::string(e.what()) + " in location '" + std::string(location) + "'");
  }
}

vantel::Location parse_location(std::string_view text) {
  const auto dots = text.find("..");
  if (dots == std::string_view::npos)
    throw Usage_error("invalid location '" + std::string(text) + "': expected START..END");
  return {parse_endpoint(text.substr(0, dots), text), parse_endpoint(text.substr(dots + 2), text)};
}

Color parse_color(std::string_view when) {
  if (when == "never") return Color::never;
  if (when == "always") return Color::always;
  if (when == "auto") return Color::automatic;
  throw Usage_error("invalid --color '" + std::string(when) + "': expected never, always or auto");
}

// The arguments of a command line, whether held as strings or as main's
// pointers: only views of them are taken.
struct Pointer_args {
  const char* const* args;
  std::size_t count;
  [[nodiscard]] std::size_t size() const noexcept { return count; }
  [[nodiscard]] std::string_view operator[](std::size_t i) const { return args[i]; }
};

template <class Args>
Options parse(const Args& args) {
  Options options;
  // Every argument may be a location: one allocation for all of them.
  options.locations.reserve(args.size());
  bool have_file = false;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    // Options come before FILE; after it, an argument starting with a single
    // '-' is a negative offset, while "--" still introduces an option.
    const bool option_like =
        arg.size() > 1 && arg[0] == '-' && (!have_file || (arg[1] == '-' && arg.size() > 2));
    if (options_done || !option_like) {
      if (!have_file) {
        options.file = std::string(arg);
        have_file = true;
      } else {
        const auto [location, label] = split_label(arg);
        options.locations.push_back(parse_location(location));
        options.report.labels.emplace_back(label.value_or(std::string_view()));
      }
      continue;
    }
    if (arg == "--") {
      options_done = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--each") {
      options.each = true;
    } else if (arg == "--max-lines") {
      if (i + 1 == args.size()) throw Usage_error("option '--max-lines' needs a value");
      options.max_lines = parse_integer<int>(std::string_view(args[++i]), "--max-lines value");
    } else if (arg.rfind("--max-lines=", 0) == 0) {
      options.max_lines = parse_integer<int>(arg.substr(12), "--max-lines value");
    } else if (arg.rfind("--color=", 0) == 0) {
      options.color = parse_color(arg.substr(8));
    } else if (arg == "--color") {
      if (i + 1 == args.size()) throw Usage_error("option '--color' needs a value");
      options.color = parse_color(std::string_view(args[++i]));
    } else {
      const std::string_view next = i + 1 < args.size() ? std::string_view(args[i + 1]) : "";
      const std::size_t taken =
          parse_report_option(arg, i + 1 < args.size() ? &next : nullptr, options.report);
      if (taken == 0) throw Usage_error("unknown option '" + std::string(arg) + "'");
      i += taken - 1;
    }
  }
  if (!options.help && !options.version && !have_file) throw Usage_error("missing FILE");
  if (!options.report.message) {
    for (const std::string& label : options.report.labels)
      if (!label.empty()) throw Usage_error("a LOCATION=LABEL needs --message");
  } else if (options.each) {
    throw Usage_error("--each quotes, and --message reports: choose one");
  }
  return options;
}

}  // namespace

Options parse_arguments(const std::vector<std::string>& args) {
  return parse(args);
}

Options parse_arguments(const char* const* args, std::size_t count) {
  return parse(Pointer_args{args, count});
}

namespace {

// The reason of a failure, naming the file when the library's message does not.
std::string reason(const std::string& file, const std::exception& e) {
  const std::string what = e.what();
  if (what.rfind(file + ": ", 0) == 0) return what;
  return file + ": " + what;
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

void quote(const Options& options, Environment& env, vantel::Formatter& formatter) {
  if (options.color == Color::always || (options.color == Color::automatic && env.out_is_terminal &&
                                         (env.no_color == nullptr || *env.no_color == '\0')))
    vantel::setup_highlight_tags(formatter, {[] { return std::string("\x1b[1;31m"); },
                                             [] { return std::string("\x1b[0m"); }});

  if (options.report.message) {
    if (options.color == Color::always ||
        (options.color == Color::automatic && env.out_is_terminal &&
         (env.no_color == nullptr || *env.no_color == '\0')))
      colour_report_tags(formatter, options.report.severity);
    const bool in = options.file == "-";
    const vantel::Input input =
        in ? vantel::Input::string(read_all(env.in)) : vantel::Input::file(options.file);
    vantel::pp_report(formatter, report_of(options.report, input, in ? "<stdin>" : options.file,
                                           options.locations));
    return;
  }
  if (!options.each) {
    const vantel::Input input = options.file == "-" ? vantel::Input::string(read_all(env.in))
                                                    : vantel::Input::file(options.file);
    vantel::pp(input, formatter, options.locations, options.max_lines);
    return;
  }
  // One input for every quote, so that its line table is computed once.
  std::ifstream file;
  vantel::Input input = vantel::Input::in_channel(file);
  if (options.file == "-") {
    input = vantel::Input::string(read_all(env.in));
  } else {
    std::error_code ec;
    if (std::filesystem::is_directory(options.file, ec))
      throw std::system_error(EISDIR, std::generic_category(), options.file);
    errno = 0;
    file.open(options.file, std::ios::binary);
    if (!file.is_open())
      throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(), options.file);
    // A regular file of moderate size is read once, whole: each quote then
    // seeks in memory rather than asking the system to seek and read again.
    if (std::filesystem::is_regular_file(options.file, ec) &&
        std::filesystem::file_size(options.file, ec) <= env.each_in_memory_limit && !ec)
      input = vantel::Input::string(read_all(file));
  }
  const vantel::Printer print = vantel::pp(input, options.max_lines);
  for (const vantel::Location& location : options.locations) print(formatter, {location});
}

}  // namespace

namespace {

template <class Args>
int run_with(const Args& args, Environment env) {
  Options options;
  try {
    options = parse(args);
  } catch (const Usage_error& e) {
    env.err << "vantel-quote: " << e.what()
            << "\nTry 'vantel-quote --help' for more information.\n";
    return 2;
  }
  if (options.help) {
    env.out << usage;
    return 0;
  }
  if (options.version) {
    env.out << "vantel-quote " VANTEL_VERSION "\n";
    return 0;
  }
  try {
    vantel::Formatter formatter(env.out);
    quote(options, env, formatter);
  } catch (const std::exception& e) {
    env.out.flush();
    env.err << "vantel-quote: " << reason(options.file, e) << '\n';
    return 1;
  }
  env.out.flush();
  if (!env.out) {
    env.err << "vantel-quote: error writing standard output\n";
    return 1;
  }
  return 0;
}

}  // namespace

int run(const std::vector<std::string>& args, Environment env) {
  return run_with(args, env);
}

int run(const char* const* args, std::size_t count, Environment env) {
  return run_with(Pointer_args{args, count}, env);
}

}  // namespace vantel_quote
