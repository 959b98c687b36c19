// SPDX-License-Identifier: MIT
#include <vantel/highlight_tags.hpp>
#include <vantel/styles.hpp>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace vantel {

const Style_tag Single_line_underline_tag{Role::Primary, "Vantel.Single_line_underline_tag"};
const Style_tag Escaped_form_tag{Role::Escaped, "Vantel.Escaped_form_tag"};
const Style_tag Cut_marker_tag{Role::Cut_marker, "Vantel.Cut_marker_tag"};
const Style_tag Report_secondary_tag{Role::Secondary, "Vantel.Report_secondary_tag"};
const Style_tag Report_message_tag{Role::Message, "Vantel.Report_message_tag"};
const Style_tag Report_margin_tag{Role::Margin, "Vantel.Report_margin_tag"};

namespace {

const Style no_style;

// Whether `target` can go inside an OSC 8 sequence as it is: printable ASCII
// alone, so that no byte of it ends the sequence or starts another.
bool linkable(std::string_view target) noexcept {
  return !target.empty() &&
         std::all_of(target.begin(), target.end(), [](char c) { return c > ' ' && c < '\x7f'; });
}

// An OSC 8 hyperlink's opening, to `target`, or its closing.
std::string osc8(const Style_tag& tag, bool open) {
  if (!linkable(tag.target())) return {};
  return open ? "\x1b]8;;" + tag.target() + "\x1b\\" : "\x1b]8;;\x1b\\";
}

}  // namespace

const Style& Styles::of_severity(std::string_view severity) const noexcept {
  if (severity == "error") return error;
  if (severity == "warning") return warning;
  if (severity == "note") return note;
  if (severity == "help") return help;
  return other;
}

const Style& Styles::of(const Style_tag& tag) const noexcept {
  switch (tag.role()) {
    case Role::Primary:
      return tag.severity().empty() ? primary : of_severity(tag.severity());
    case Role::Severity:
      return of_severity(tag.severity());
    case Role::Secondary:
      return secondary;
    case Role::Message:
      return message;
    case Role::Margin:
      return margin;
    case Role::Escaped:
      return escaped;
    case Role::Link:
      return no_style;
    case Role::Cut_marker:
      break;
  }
  return cut_marker;
}

Styles Styles::ansi() {
  const std::string reset = "\x1b[0m";
  Styles s;
  s.primary = {"\x1b[1;31m", reset};
  s.secondary = {"\x1b[1;34m", reset};
  s.message = {"\x1b[1m", reset};
  s.margin = {"\x1b[1;34m", reset};
  s.escaped = {"\x1b[2m", "\x1b[22m"};
  s.cut_marker = {"\x1b[2m", "\x1b[22m"};
  s.error = {"\x1b[1;31m", reset};
  s.warning = {"\x1b[1;33m", reset};
  s.note = {"\x1b[1;32m", reset};
  s.help = {"\x1b[1;36m", reset};
  s.other = {"\x1b[1m", reset};
  return s;
}

namespace {

using Mark = std::function<std::string(const Stag&)>;
using Text = std::function<std::string()>;

const Tag_handlers no_handlers{[] { return std::string(); }, [] { return std::string(); }};

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

// A layer of ours never passes its own tags on, so covering it with the same
// kind of layer leaves only what it passes on: the layers collapse into one,
// and setting up a formatter again and again neither deepens calls nor their
// destruction.
template <class Layer>
Mark beneath(Mark current) {
  if (auto* layer = current.template target<Layer>()) {
    Mark under = std::move(layer->previous);
    return under;
  }
  return current;
}

// The styles of every Style_tag, on opening or on closing.
struct Styles_mark {
  std::shared_ptr<const Styles> styles;
  bool open;
  Mark previous;

  std::string operator()(const Stag& tag) const {
    if (const Style_tag* s = tag.style()) {
      if (s->role() == Role::Link) return styles->hyperlinks ? osc8(*s, open) : std::string();
      const Style& style = styles->of(*s);
      return open ? style.open : style.close;
    }
    return previous ? previous(tag) : std::string();
  }
};

}  // namespace

void setup_tags(Formatter& formatter, Styles styles) {
  Stag_functions functions = formatter.stag_functions();
  const auto shared = std::make_shared<const Styles>(std::move(styles));
  functions.mark_open_stag =
      Styles_mark{shared, true, beneath<Styles_mark>(std::move(functions.mark_open_stag))};
  functions.mark_close_stag =
      Styles_mark{shared, false, beneath<Styles_mark>(std::move(functions.mark_close_stag))};
  formatter.set_mark_tags(true);
  formatter.set_stag_functions(std::move(functions));
}

void setup_highlight_tags(Formatter& formatter) {
  setup_highlight_tags(formatter, no_handlers);
}

void setup_highlight_tags(Formatter& formatter, Tag_handlers handle_tag) {
  Stag_functions functions = formatter.stag_functions();
  functions.mark_open_stag =
      Highlight_mark{std::move(handle_tag.open_text),
                     beneath<Highlight_mark>(std::move(functions.mark_open_stag))};
  functions.mark_close_stag =
      Highlight_mark{std::move(handle_tag.close_text),
                     beneath<Highlight_mark>(std::move(functions.mark_close_stag))};
  formatter.set_mark_tags(true);
  formatter.set_stag_functions(std::move(functions));
}

}  // namespace vantel
