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

// One call's mark function: answers for the highlight tag alone, by identity;
// every other tag goes to the function installed before. Handlers are called
// afresh each time.
struct Highlight_mark {
  Text handler;
  Mark previous;

  std::string operator()(const Stag& tag) const {
    if (&tag == &Single_line_underline_tag) return handler ? handler() : std::string();
    return previous ? previous(tag) : std::string();
  }
};

// A layer of ours never passes the highlight tag on, so covering it leaves
// only what it passes on: the layers collapse into one, and setting up a
// formatter again and again neither deepens calls nor their destruction.
Mark wrap(Text handler, Mark current) {
  if (auto* layer = current.target<Highlight_mark>()) {
    Mark beneath = std::move(layer->previous);
    current = std::move(beneath);
  }
  return Highlight_mark{std::move(handler), std::move(current)};
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
