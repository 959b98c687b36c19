// SPDX-License-Identifier: MIT
// The report's calls for hosts without exceptions, and into a string.
#include "support/capture.hpp"

#include <vantel/report.hpp>

#include <sstream>
#include <string>
#include <utility>

namespace vantel {

void pp_report(Formatter& formatter, const Report& report, Error& error) noexcept {
  detail::capture(error, [&] { pp_report(formatter, report); });
}

void pp_report(Formatter& formatter, const Report& report, const Layout& layout,
               Error& error) noexcept {
  detail::capture(error, [&] { pp_report(formatter, report, layout); });
}

std::string to_string(const Report& report, const Layout& layout) {
  std::ostringstream out;
  Formatter formatter(out);
  pp_report(formatter, report, layout);
  return std::move(out).str();
}

std::string to_string(const Report& report, const Layout& layout, Error& error) noexcept {
  std::string drawn;
  detail::capture(error, [&] { drawn = to_string(report, layout); });
  return drawn;
}

std::string to_string(const Report& report, Error& error) noexcept {
  return to_string(report, Layout{}, error);
}

}  // namespace vantel
