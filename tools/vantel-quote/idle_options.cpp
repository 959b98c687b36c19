// SPDX-License-Identifier: MIT
#include "vantel-quote/idle_options.hpp"

#include <algorithm>
#include <string>
#include <string_view>

namespace vantel_quote {

namespace {

bool given(const Options& options, std::string_view name) {
  return std::find(options.given.begin(), options.given.end(), name) != options.given.end();
}

}  // namespace

void check_idle_options(const Options& options) {
  const bool fixing = options.apply || options.diff;
  if (options.fix_args.empty()) {
    if (fixing) throw Usage_error("--apply and --diff need a --fix");
    if (given(options, "--fix-message")) throw Usage_error("--fix-message needs a --fix");
  }
  const bool data = options.format == Format::Sarif || options.format == Format::Lsp;
  if (!data && given(options, "--position-encoding"))
    throw Usage_error("--position-encoding needs --format=sarif or --format=lsp");
  if (options.report.code.empty())
    for (const std::string_view name : {"--rule-help", "--code-url"})
      if (given(options, name)) throw Usage_error(std::string(name) + " needs --code");
}

bool check_from_sarif(const Options& options) {
  if (!options.from_sarif) {
    if (!options.levels.empty()) throw Usage_error("--level needs --from-sarif");
    return false;
  }
  for (const std::string_view name :
       {"--message", "--apply", "--diff", "--each", "--format", "--fix", "--fix-message", "--event",
        "--note", "--code", "--severity", "--tag", "--columns"})
    if (given(options, name))
      throw Usage_error(std::string(name) + " does not go with --from-sarif");
  return true;
}

}  // namespace vantel_quote
