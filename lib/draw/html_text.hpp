// SPDX-License-Identifier: MIT
// Drawing as HTML: a stream that escapes what the formatter writes and sizes
// every cluster that is not ASCII to its columns, and tag functions that
// turn the library's tags into <span>s around it.
#pragma once

#include <vantel/formatter.hpp>

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace vantel::detail {

// Appends `text` to `out` with &, <, > and " written as entities.
void append_escaped(std::string& out, std::string_view text);

// The drawn text, held until a tag opens or closes or the block ends, then
// written to `out` as HTML. Held rather than passed on byte by byte, so that
// a cluster is never split between two writes of the formatter.
class Html_text_buf final : public std::streambuf {
 public:
  Html_text_buf(std::ostream& out, std::string class_prefix)
      : out_(out), class_prefix_(std::move(class_prefix)) {}

  // Writes the held text: escaped, line feeds as they are, each cluster that
  // is not one ASCII byte in a cell of its width, addresses as links.
  void flush_text();
  // Writes `markup` as is, after the held text.
  void put_markup(std::string_view markup) {
    flush_text();
    out_ << markup;
  }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* data, std::streamsize size) override;

 private:
  void write_line(std::string_view line, std::string& html) const;
  void write_cells(std::string_view text, std::string& html) const;

  std::ostream& out_;
  std::string class_prefix_;
  std::string held_;
};

// The class names of the piece that `tag` encloses: its role's, and for a
// severity word or a primary underline of a report also its word's.
[[nodiscard]] std::string html_classes(const Stag& tag, std::string_view prefix);

// Makes `formatter`, which writes on a stream over `text`, print each tag as
// a <span> of its classes through `text`.
void setup_html_tags(Formatter& formatter, Html_text_buf& text, const std::string& prefix);

}  // namespace vantel::detail
