// The tag around each run of carets, and styling it through a formatter's
// mark functions.
#pragma once

#include <vantel/formatter.hpp>
#include <vantel/highlight_tags.hpp>

namespace vantel::detail {

// The tag around each run of carets of a single-line quote; recognised by
// identity only.
extern const Stag Single_line_underline_tag;

// The tags of the text layout: around each escaped form, and around each
// marker of a side of a row that was cut.
extern const Stag Escaped_form_tag;
extern const Stag Cut_marker_tag;

// Both texts empty.
extern const Tag_handlers handle_tag_default;

// Writes what `print` writes inside `tag`. A stream that throws leaves no tag
// of ours open for the caller's next close to find; a failure of that close
// is dropped for the first.
template <class Print>
void print_in_tag(Formatter& f, const Stag& tag, Print&& print) {
  pp_open_stag(f, tag);
  try {
    print();
  } catch (...) {
    try {
      pp_close_stag(f);
    } catch (...) {
    }
    throw;
  }
  pp_close_stag(f);
}

}  // namespace vantel::detail
