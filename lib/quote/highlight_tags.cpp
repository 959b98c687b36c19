#include "quote/highlight_tags.hpp"

#include <functional>
#include <string>
#include <utility>

namespace vantel {

namespace detail {

const Stag Single_line_underline_tag{"Vantel.Single_line_underline_tag"};
const Stag Escaped_form_tag{"Vantel.Escaped_form_tag"};
const Stag Cut_marker_tag{"Vantel.Cut_marker_tag"};

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

// The same for the two tags of the text layout.
Mark wrap(Text escaped_form, Text cut_marker, Mark previous) {
  return [escaped_form = std::move(escaped_form), cut_marker = std::move(cut_marker),
          previous = std::move(previous)](const Stag& tag) {
    if (&tag == &Escaped_form_tag) return escaped_form ? escaped_form() : std::string();
    if (&tag == &Cut_marker_tag) return cut_marker ? cut_marker() : std::string();
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

void setup_text_tags(Formatter& formatter, Tag_handlers escaped_forms, Tag_handlers cut_markers) {
  Stag_functions functions = pp_get_formatter_stag_functions(formatter);
  functions.mark_open_stag =
      detail::wrap(std::move(escaped_forms.open_text), std::move(cut_markers.open_text),
                   std::move(functions.mark_open_stag));
  functions.mark_close_stag =
      detail::wrap(std::move(escaped_forms.close_text), std::move(cut_markers.close_text),
                   std::move(functions.mark_close_stag));
  pp_set_mark_tags(formatter, true);
  pp_set_formatter_stag_functions(formatter, std::move(functions));
}

}  // namespace vantel
