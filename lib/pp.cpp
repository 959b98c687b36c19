// SPDX-License-Identifier: MIT
#include "draw/layout_plan.hpp"
#include "input/opening.hpp"
#include "position/resolve.hpp"
#include "quote/quote.hpp"
#include "support/capture.hpp"

#include <vantel/pp.hpp>

#include <sstream>
#include <string>
#include <utility>

namespace vantel {
namespace {

// Resolves every location once, end first, then start: a caller's cursor may
// observe the order. The quote reads lines through the same cursor; its
// line table, where needed, was computed here and is kept.
detail::Quote_plan plan(detail::Raw_cursor& cursor, const std::vector<Location>& locations,
                        bool show_points) {
  detail::Quote_plan::Positions positions(2 * locations.size());
  detail::naming_input(cursor, [&] {
    for (std::size_t k = 0; k < locations.size(); ++k) {
      positions[2 * k + 1] = detail::resolve_raw(cursor, locations[k].second);
      positions[2 * k] = detail::resolve_raw(cursor, locations[k].first);
    }
  });
  return detail::Quote_plan(std::move(positions), show_points);
}

void quote(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
           const detail::Layout_plan& layout, int max_lines) {
  detail::Opening opened(input);
  detail::Raw_cursor& cursor = opened.cursor();
  const detail::Quote_plan quote_plan = plan(cursor, locations, layout.show_points);
  detail::print_quote(formatter, cursor, quote_plan, layout, max_lines);
  opened.close();
}

}  // namespace

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        int max_lines) {
  pp(input, formatter, locations, Layout{}, max_lines);
}

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        const Layout& layout, int max_lines) {
  quote(input, formatter, locations, detail::plan_layout(layout, "vantel::pp"), max_lines);
}

Printer pp(Input input, int max_lines) {
  return [input = std::move(input), max_lines](Formatter& formatter,
                                               const std::vector<Location>& locations) {
    pp(input, formatter, locations, max_lines);
  };
}

Printer pp(Input input, const Layout& layout, int max_lines) {
  return [input = std::move(input), layout, max_lines](Formatter& formatter,
                                                       const std::vector<Location>& locations) {
    pp(input, formatter, locations, layout, max_lines);
  };
}

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        Error& error) noexcept {
  detail::capture(error, [&] { pp(input, formatter, locations); });
}

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        int max_lines, Error& error) noexcept {
  detail::capture(error, [&] { pp(input, formatter, locations, max_lines); });
}

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        const Layout& layout, Error& error) noexcept {
  detail::capture(error, [&] { pp(input, formatter, locations, layout); });
}

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        const Layout& layout, int max_lines, Error& error) noexcept {
  detail::capture(error, [&] { pp(input, formatter, locations, layout, max_lines); });
}

std::string to_string(const Input& input, const std::vector<Location>& locations,
                      const Layout& layout, int max_lines) {
  std::ostringstream out;
  Formatter formatter(out);
  pp(input, formatter, locations, layout, max_lines);
  return std::move(out).str();
}

std::string to_string(const Input& input, const std::vector<Location>& locations,
                      const Layout& layout, int max_lines, Error& error) noexcept {
  std::string quoted;
  detail::capture(error, [&] { quoted = to_string(input, locations, layout, max_lines); });
  return quoted;
}

std::string to_string(const Input& input, const std::vector<Location>& locations,
                      Error& error) noexcept {
  return to_string(input, locations, Layout{}, 10, error);
}

}  // namespace vantel
