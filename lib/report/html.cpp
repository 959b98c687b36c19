// SPDX-License-Identifier: MIT
#include "draw/html_text.hpp"
#include "support/capture.hpp"

#include <vantel/html.hpp>

#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

namespace vantel {
namespace {

// A terminal's eight colours, and their bright forms, in CSS.
constexpr std::string_view colours[] = {"#000000", "#c01c28", "#26a269", "#a2734c",
                                        "#1c5ec0", "#a347ba", "#2a9fa3", "#d0cfcc"};
constexpr std::string_view bright_colours[] = {"#5e5c64", "#f03040", "#33c060", "#c08010",
                                               "#3a7ff0", "#c061cb", "#33c7de", "#ffffff"};

// The CSS of one SGR parameter; empty for those that CSS has no word for.
std::string css_of_sgr(int code) {
  if (code == 1) return "font-weight:bold;";
  if (code == 2) return "opacity:0.65;";
  if (code == 3) return "font-style:italic;";
  if (code == 4) return "text-decoration:underline;";
  if (code >= 30 && code <= 37)
    return "color:" + std::string(colours[static_cast<std::size_t>(code - 30)]) + ';';
  if (code >= 90 && code <= 97)
    return "color:" + std::string(bright_colours[static_cast<std::size_t>(code - 90)]) + ';';
  return {};
}

// The CSS that the SGR sequences of `open` ask for ("\x1b[1;31m" gives
// bold and red); anything else in it is ignored.
std::string css_of(std::string_view open) {
  std::string css;
  for (std::size_t at = open.find("\x1b["); at != std::string_view::npos;
       at = open.find("\x1b[", at + 1)) {
    int code = 0;
    for (std::size_t k = at + 2; k < open.size(); ++k) {
      const char c = open[k];
      if (c >= '0' && c <= '9' && code < 1000) {
        code = code * 10 + (c - '0');
        continue;
      }
      if (c != ';' && c != 'm') break;
      css += css_of_sgr(code);
      code = 0;
      if (c == 'm') break;
    }
  }
  return css;
}

std::string theme_rules(const Html_options& options) {
  const Styles& s = options.styles;
  const std::pair<std::string_view, const Style*> roles[] = {
      {"primary", &s.primary}, {"secondary", &s.secondary}, {"message", &s.message},
      {"margin", &s.margin},   {"escaped", &s.escaped},     {"cut-marker", &s.cut_marker},
      {"error", &s.error},     {"warning", &s.warning},     {"note", &s.note},
      {"help", &s.help},       {"other", &s.other}};
  std::string css;
  for (const auto& [role, style] : roles) {
    const std::string rule = css_of(style->open);
    if (!rule.empty()) css += '.' + options.class_prefix + std::string(role) + '{' + rule + "}\n";
  }
  return css;
}

void write_page(std::ostream& out, const std::string& blocks, const Html_options& options) {
  std::string title;
  detail::append_escaped(title, options.title);
  // The policy keeps the page from loading anything or running any script,
  // whatever a report's text holds.
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
         "style-src 'unsafe-inline'\">\n<title>"
      << title << "</title>\n<style>\n"
      << html_stylesheet(options) << options.css
      << (options.css.empty() || options.css.back() == '\n' ? "" : "\n")
      << "</style>\n</head>\n<body>\n"
      << blocks << "</body>\n</html>\n";
}

}  // namespace

std::string html_stylesheet(const Html_options& options) {
  const std::string& p = options.class_prefix;
  // A cell is as wide as its columns whatever the font's own glyph, so that
  // the marks below stay under their characters.
  return '.' + p + "report{font-family:monospace;line-height:1.3;}\n." + p + "w1,." + p +
         "w2{display:inline-block;text-align:center;}\n." + p + "w1{width:1ch;}\n." + p +
         "w2{width:2ch;}\n" + theme_rules(options);
}

void write_html(std::ostream& out, const std::vector<Report>& reports, const Layout& layout,
                const Html_options& options) {
  std::ostringstream blocks;
  std::string block_class;
  detail::append_escaped(block_class, options.class_prefix + "report");
  for (const Report& report : reports) {
    blocks << "<pre class=\"" << block_class << "\">";
    detail::Html_text_buf text(blocks, options.class_prefix);
    std::ostream drawn(&text);
    Formatter formatter(drawn);
    detail::setup_html_tags(formatter, text, options.class_prefix);
    pp_report(formatter, report, layout);
    text.flush_text();
    blocks << "</pre>\n";
  }
  if (options.page)
    write_page(out, blocks.str(), options);
  else
    out << blocks.str();
}

void write_html(std::ostream& out, const std::vector<Report>& reports, const Layout& layout,
                const Html_options& options, Error& error) noexcept {
  detail::capture(error, [&] { write_html(out, reports, layout, options); });
}

}  // namespace vantel
