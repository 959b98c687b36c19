// SPDX-License-Identifier: MIT
#include "vantel-quote/sarif_cli.hpp"

#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>

namespace vantel_quote {

namespace {

// The whole log, or none with the reason in `why`.
bool read_log(const std::string& name, std::istream& in, std::string& text, std::string& why) {
  std::ifstream file;
  std::istream* from = &in;
  if (name != "-") {
    file.open(name, std::ios::binary);
    if (!file.is_open()) {
      why = name + ": cannot be opened";
      return false;
    }
    from = &file;
  }
  std::ostringstream all;
  all << from->rdbuf();
  text = std::move(all).str();
  if (from->bad()) {
    why = name + ": cannot be read";
    return false;
  }
  return true;
}

}  // namespace

int draw_sarif_logs(const Options& options, std::istream& in, std::ostream& err,
                    vantel::Formatter& formatter, const vantel::Layout& layout) {
  vantel::Sarif_read_options read;
  read.base_uri = options.base_uri;
  read.levels = options.levels;
  int status = 0;
  bool first = true;
  for (const std::string& name : options.logs) {
    std::string text;
    std::string why;
    vantel::Error error;
    std::vector<vantel::Report> reports;
    if (read_log(name, in, text, why))
      reports = vantel::read_sarif(text, name == "-" ? "<stdin>" : name, read, error);
    if (!why.empty() || error) {
      err << "vantel-quote: " << vantel::escaped_text(why.empty() ? error.message : why) << '\n';
      status = 1;
      continue;
    }
    for (std::size_t k = 0; k < reports.size(); ++k) {
      if (!first) formatter.print_string("\n");
      first = false;
      vantel::pp_report(formatter, reports[k], layout, error);
      if (error) {
        err << "vantel-quote: " << vantel::escaped_text(name) << ": result " << k + 1 << ": "
            << vantel::escaped_text(error.message) << '\n';
        status = 1;
      }
    }
  }
  return status;
}

}  // namespace vantel_quote
