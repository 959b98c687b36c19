// SPDX-License-Identifier: MIT
#include "draw/html_text.hpp"

#include "text/cluster_walk.hpp"

#include <vantel/styles.hpp>

#include <cctype>

namespace vantel::detail {
namespace {

constexpr std::string_view web_schemes[] = {"https://", "http://"};

// Where a web address that starts at `from` ends: before a space, a control,
// a quote or an angle bracket, and before the punctuation that ends a
// sentence around it.
std::size_t address_end(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size()) {
    const auto c = static_cast<unsigned char>(text[end]);
    if (c <= ' ' || c == '<' || c == '>' || c == '"' || c == '\'' || c == 0x7f) break;
    ++end;
  }
  while (end > from && std::string_view(".,;:!?)").find(text[end - 1]) != std::string_view::npos)
    --end;
  return end;
}

// The length of the scheme that `text` starts with, 0 for none.
std::size_t scheme_at(std::string_view text) {
  for (const std::string_view scheme : web_schemes)
    if (text.substr(0, scheme.size()) == scheme && text.size() > scheme.size())
      return scheme.size();
  return 0;
}

std::string_view role_class(Role role) {
  switch (role) {
    case Role::Primary:
      return "primary";
    case Role::Secondary:
      return "secondary";
    case Role::Message:
      return "message";
    case Role::Severity:
      return "severity";
    case Role::Margin:
      return "margin";
    case Role::Escaped:
      return "escaped";
    case Role::Link:
      return "link";
    case Role::Cut_marker:
      break;
  }
  return "cut-marker";
}

// Whether a link tag's target may be an href: a web or file address alone,
// never a script's.
bool linked(const Stag& tag) {
  const Style_tag* style = tag.style();
  if (style == nullptr || style->role() != Role::Link) return false;
  const std::string_view target = style->target();
  return scheme_at(target) > 0 || (target.size() > 7 && target.substr(0, 7) == "file://");
}

std::string_view severity_class(std::string_view severity) {
  for (const std::string_view word : {"error", "warning", "note", "help"})
    if (severity == word) return word;
  return "other";
}

}  // namespace

void append_escaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

Html_text_buf::int_type Html_text_buf::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) held_ += traits_type::to_char_type(c);
  return traits_type::not_eof(c);
}

std::streamsize Html_text_buf::xsputn(const char* data, std::streamsize size) {
  held_.append(data, static_cast<std::size_t>(size));
  return size;
}

void Html_text_buf::flush_text() {
  if (held_.empty()) return;
  std::string html;
  html.reserve(held_.size() + held_.size() / 4);
  std::string_view rest = held_;
  for (std::size_t feed; (feed = rest.find('\n')) != std::string_view::npos;) {
    write_line(rest.substr(0, feed), html);
    html += '\n';
    rest.remove_prefix(feed + 1);
  }
  write_line(rest, html);
  held_.clear();
  out_ << html;
}

void Html_text_buf::write_line(std::string_view line, std::string& html) const {
  std::size_t done = 0;
  for (std::size_t at = line.find("http"); at != std::string_view::npos;
       at = line.find("http", at + 1)) {
    if (at < done || scheme_at(line.substr(at)) == 0) continue;
    const std::size_t end = address_end(line, at);
    if (end <= at + scheme_at(line.substr(at))) continue;
    write_cells(line.substr(done, at - done), html);
    const std::string_view address = line.substr(at, end - at);
    html += "<a href=\"";
    append_escaped(html, address);
    html += "\">";
    write_cells(address, html);
    html += "</a>";
    done = end;
    at = end - 1;
  }
  write_cells(line.substr(done), html);
}

// The drawing has already laid the line out: this walk only finds the
// clusters and their widths again, which a tab-free, control-free line keeps.
void Html_text_buf::write_cells(std::string_view text, std::string& html) const {
  Cluster_walk walk(text, 1);
  for (Cluster c; walk.next(c);) {
    const std::string_view shown = c.shown(text);
    if (c.kind == Cluster_kind::Text && c.end - c.begin == 1) {
      append_escaped(html, shown);
      continue;
    }
    html += "<span class=\"";
    append_escaped(html, class_prefix_ + "w" + std::to_string(c.width));
    html += "\">";
    append_escaped(html, shown);
    html += "</span>";
  }
}

std::string html_classes(const Stag& tag, std::string_view prefix) {
  const Style_tag* style = tag.style();
  if (style == nullptr) return std::string(prefix) + "tag";
  std::string classes = std::string(prefix) + std::string(role_class(style->role()));
  const bool worded = style->role() == Role::Severity ||
                      (style->role() == Role::Primary && !style->severity().empty());
  if (worded) classes += ' ' + std::string(prefix) + std::string(severity_class(style->severity()));
  return classes;
}

void setup_html_tags(Formatter& formatter, Html_text_buf& text, const std::string& prefix) {
  Stag_functions functions;
  functions.print_open_stag = [&text, prefix](const Stag& tag) {
    std::string markup = linked(tag) ? "<a class=\"" : "<span class=\"";
    append_escaped(markup, html_classes(tag, prefix));
    if (linked(tag)) {
      markup += "\" href=\"";
      append_escaped(markup, tag.style()->target());
    }
    text.put_markup(markup + "\">");
  };
  functions.print_close_stag = [&text](const Stag& tag) {
    text.put_markup(linked(tag) ? "</a>" : "</span>");
  };
  formatter.set_stag_functions(std::move(functions));
  formatter.set_mark_tags(false);
  formatter.set_print_tags(true);
}

}  // namespace vantel::detail
