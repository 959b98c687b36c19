// SPDX-License-Identifier: MIT
// Printing a highlighted quote of an input.
#pragma once

#include <vantel/error.hpp>
#include <vantel/formatter.hpp>
#include <vantel/input.hpp>
#include <vantel/layout.hpp>
#include <vantel/position.hpp>

#include <functional>
#include <string>
#include <vector>

namespace vantel {

/// Prints on `formatter` a quote of the lines that `locations` touch, with the
/// located bytes highlighted: one line with carets under it when they lie on
/// one line, else every touched line with the other bytes shown as '.', cut to
/// `max_lines` rows by a "..." row. Nothing is printed when no location is
/// non-empty. Opens the input for the call and closes it, also on failure.
void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        int max_lines = 10);

/// The same, laid out as `layout` says (the default Layout gives the quote
/// above); `layout.report` is for reports and not read. Throws
/// std::invalid_argument, before opening the input, for a tab_width outside
/// 1 to 64 or a negative width.
void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        const Layout& layout, int max_lines = 10);

/// pp(input, formatter, locations) that reports a failure in `error` instead
/// of throwing (see <vantel/error.hpp>); what was printed before it stays.
void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        Error& error) noexcept;
/// pp(input, formatter, locations, max_lines), reporting a failure in `error`.
void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        int max_lines, Error& error) noexcept;
/// pp(input, formatter, locations, layout), reporting a failure in `error`.
void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        const Layout& layout, Error& error) noexcept;
/// pp(input, formatter, locations, layout, max_lines), reporting a failure in
/// `error`.
void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        const Layout& layout, int max_lines, Error& error) noexcept;

/// The quote that pp prints, as a string: `vantel::to_string(input, {where})`.
/// Throws as pp does.
[[nodiscard]] std::string to_string(const Input& input, const std::vector<Location>& locations,
                                    const Layout& layout = {}, int max_lines = 10);
/// to_string reporting a failure in `error` instead; then an empty string.
[[nodiscard]] std::string to_string(const Input& input, const std::vector<Location>& locations,
                                    const Layout& layout, int max_lines, Error& error) noexcept;
/// to_string with the default layout, reporting a failure in `error`.
[[nodiscard]] std::string to_string(const Input& input, const std::vector<Location>& locations,
                                    Error& error) noexcept;

/// A reusable printer bound to an input: each call opens the input anew.
/// Threads may call one printer at once, each with its own formatter. A call
/// throws as pp does: a host without exceptions calls pp's twins instead.
using Printer = std::function<void(Formatter&, const std::vector<Location>&)>;
/// A Printer of `input` cut to `max_lines` rows. Binding does no work; every
/// call of the printer prints one quote, as the other pp does.
[[nodiscard]] Printer pp(Input input, int max_lines = 10);
/// The same, laid out as `layout` says; checks `layout` as pp does, at each
/// call.
[[nodiscard]] Printer pp(Input input, const Layout& layout, int max_lines = 10);

}  // namespace vantel
