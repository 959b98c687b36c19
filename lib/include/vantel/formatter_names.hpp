// SPDX-License-Identifier: MIT
// The Formatter's operations as free functions, under the names that users
// of such formatters know. Not part of <vantel/vantel.hpp>: include it where
// code is written in that style.
#pragma once

#include <vantel/formatter.hpp>

#include <string_view>
#include <utility>

namespace vantel {

// The same operations under the names that formatter users know.
/// Formatter::open_vbox(), as a free function.
inline void pp_open_vbox(Formatter& f) {
  f.open_vbox();
}
/// Formatter::close_box(), as a free function.
inline void pp_close_box(Formatter& f) {
  f.close_box();
}
/// Formatter::cut(), as a free function.
inline void pp_print_cut(Formatter& f) {
  f.cut();
}
/// Formatter::print_string(), as a free function.
inline void pp_print_string(Formatter& f, std::string_view s) {
  f.print_string(s);
}
/// Formatter::print_char(), as a free function.
inline void pp_print_char(Formatter& f, char c) {
  f.print_char(c);
}
/// Formatter::open_stag(), as a free function.
inline void pp_open_stag(Formatter& f, const Stag& tag) {
  f.open_stag(tag);
}
/// Formatter::close_stag(), as a free function.
inline void pp_close_stag(Formatter& f) {
  f.close_stag();
}
/// Formatter::stag_functions(), as a free function.
inline Stag_functions pp_get_formatter_stag_functions(const Formatter& f) {
  return f.stag_functions();
}
/// Formatter::set_stag_functions(), as a free function.
inline void pp_set_formatter_stag_functions(Formatter& f, Stag_functions functions) {
  f.set_stag_functions(std::move(functions));
}
/// Formatter::set_mark_tags(), as a free function.
inline void pp_set_mark_tags(Formatter& f, bool on) {
  f.set_mark_tags(on);
}
/// Formatter::set_print_tags(), as a free function.
inline void pp_set_print_tags(Formatter& f, bool on) {
  f.set_print_tags(on);
}

}  // namespace vantel
