// SPDX-License-Identifier: MIT
// Laying quotes and reports out for the output they are written to.
#pragma once

#include <vantel/layout.hpp>
#include <vantel/styles.hpp>

#include <iosfwd>

namespace vantel {

/// How to draw for one output: `Terminal t = terminal_for(std::cerr);
/// setup_tags(formatter, t.styles); pp_report(formatter, report, t.layout);`.
struct Terminal {
  bool is_terminal = false;  ///< whether the output is a terminal
  bool color = false;        ///< whether `styles` colour
  /// On a terminal the text layout, as wide as the terminal: its own width,
  /// else the COLUMNS variable, else 80. Elsewhere the default layout.
  Layout layout;
  Styles styles;  ///< Styles::ansi() when `color`, else no styles
};

/// What descriptor `fd` is connected to. Colour on a terminal unless TERM is
/// "dumb"; forced anywhere by CLICOLOR_FORCE or FORCE_COLOR set to anything
/// but "" or "0"; never when NO_COLOR is set and not empty, which wins. Reads
/// the environment and asks the terminal its size; throws only
/// std::bad_alloc.
[[nodiscard]] Terminal terminal_for(int fd);
/// terminal_for the descriptor under std::cout (1), std::cerr or std::clog
/// (2); any other stream is not a terminal, though colour may be forced.
[[nodiscard]] Terminal terminal_for(const std::ostream& stream);

}  // namespace vantel
