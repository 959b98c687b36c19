// Styling the highlight tag through a formatter's mark functions.
#pragma once

#include <vantel/highlight_tags.hpp>

namespace vantel::detail {

// Both texts empty.
extern const Tag_handlers handle_tag_default;

}  // namespace vantel::detail
