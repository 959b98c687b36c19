// The tag around each run of carets, and styling it through a formatter's
// mark functions.
#pragma once

#include <vantel/formatter.hpp>
#include <vantel/highlight_tags.hpp>

namespace vantel::detail {

// The tag around each run of carets of a single-line quote; recognised by
// identity only.
extern const Stag Single_line_underline_tag;

// Both texts empty.
extern const Tag_handlers handle_tag_default;

}  // namespace vantel::detail
