#include "quote/highlight_tags.hpp"

#include <functional>
#include <string>
#include <utility>

namespace vantel {

namespace detail {

const Stag Single_line_underline_tag{"Vantel.Single_line_underline_tag"};

const Tag_handlers handle_tag_default{[] { return std::string(); }, [] { return std::string(); }};

namespace {

using Mark = std::function<std::string(const Stag&)>;
using Text = std::function<std::string()>;

// Answers for the highlight tag alone, by identity; every other tag goes to
// the function installed before. Handlers are called afresh each time.
Mark wrap(Text handler, Mark previous) {
  return [handler = std::move(handler), previous = std::move(previous)](const Stag& tag) {
    if (&tag == &Single_line_underline_tag) return handler ? handler() : std::string();
    return previous ? previous(tag) : std::string();
  };
}

}  // namespace
}  // namespace detail

void setup_highlight_tags(Formatter& formatter) {
  setup_highlight_tags(formatter, detail::handle_tag_default);
}

void setup_highlight_tags(Formatter& formatter, Tag_handlers handle_tag) {
  Stag_functions functions = pp_get_formatter_stag_functions(formatter);
  functions.mark_open_stag =
      detail::wrap(std::move(handle_tag.open_text), std::move(functions.mark_open_stag));
  functions.mark_close_stag =
      detail::wrap(std::move(handle_tag.close_text), std::move(functions.mark_close_stag));
  pp_set_mark_tags(formatter, true);
  pp_set_formatter_stag_functions(formatter, std::move(functions));
}

}  // namespace vantel
