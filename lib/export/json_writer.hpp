// SPDX-License-Identifier: MIT
// JSON written as it is made, two spaces a level, so that a log of many
// results is never held as a tree; every string as valid UTF-8.
#pragma once

#include "export/json_text.hpp"

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantel::detail {

class Json_writer {
 public:
  Json_writer() : writer_(buffer_) { writer_.SetIndent(' ', 2); }

  // Drops what was written; what comes next is written as the first element
  // of an array `depth` levels deep, which a caller splices into a larger
  // document.
  void restart(std::size_t depth) {
    buffer_.Clear();
    writer_.Reset(buffer_);
    for (std::size_t k = 0; k < depth; ++k) writer_.StartArray();
    skipped_ = buffer_.GetSize();
  }

  // Hands what was written to `out` and forgets it, the document staying
  // open where it stands: the next value is written as if it had been kept.
  void flush_to(std::ostream& out) {
    const std::string_view written = text();
    out.write(written.data(), static_cast<std::streamsize>(written.size()));
    buffer_.Clear();
    skipped_ = 0;
  }

  // What was written since the last restart or flush.
  [[nodiscard]] std::string_view text() const {
    return std::string_view(buffer_.GetString(), buffer_.GetSize()).substr(skipped_);
  }

  // A name the library spells itself, which never needs escaping: copied
  // as it is, which costs a third of escaping it.
  template <std::size_t Size>
  void key(const char (&name)[Size]) {
    put_plain(std::string_view(name, Size - 1));
  }
  template <std::size_t Size>
  void member(const char (&name)[Size], std::string_view text) {
    key(name);
    string(text);
  }

  void key(std::string_view name) {
    if (is_utf8(name)) {
      writer_.Key(name.data(), length_of(name));
    } else {
      const std::string valid = as_utf8(name);
      writer_.Key(valid.data(), length_of(valid));
    }
  }
  // Bytes that are not UTF-8 are replaced, one U+FFFD each.
  void string(std::string_view text) {
    if (is_plain(text)) {
      put_plain(text);
    } else if (is_utf8(text)) {
      writer_.String(text.data(), length_of(text));
    } else {
      const std::string valid = as_utf8(text);
      writer_.String(valid.data(), length_of(valid));
    }
  }
  void integer(std::int64_t value) { writer_.Int64(value); }
  void count(std::size_t value) { writer_.Uint64(value); }
  void boolean(bool value) { writer_.Bool(value); }
  void start_object() { writer_.StartObject(); }
  void end_object() { writer_.EndObject(); }
  void start_array() { writer_.StartArray(); }
  void end_array() { writer_.EndArray(); }
  // A parsed value as it stands, members in their order.
  void value(const rapidjson::Value& v) { v.Accept(writer_); }

  // `name` followed by a string value.
  void member(std::string_view name, std::string_view text) {
    key(name);
    string(text);
  }

 private:
  // Printable ASCII but the quote and the backslash: written as it is.
  static bool is_plain(std::string_view text) noexcept {
    bool plain = true;
    for (const char c : text) plain &= c >= 0x20 && c != '"' && c != '\\' && c != 0x7f;
    return plain;
  }
  // A string that needs no escaping, copied whole after the separator and
  // indentation the writer puts before a string: bytes one at a time cost
  // three times as much.
  void put_plain(std::string_view text) {
    (void)length_of(text);  // the same limit as every other string
    writer_.RawValue("", 0, rapidjson::kStringType);
    char* to = buffer_.Push(text.size() + 2);
    to[0] = '"';
    if (!text.empty()) std::memcpy(to + 1, text.data(), text.size());
    to[text.size() + 1] = '"';
  }

  static rapidjson::SizeType length_of(std::string_view text) {
    if (text.size() > std::numeric_limits<rapidjson::SizeType>::max())
      throw std::length_error("vantel: a string of 4 GiB or more cannot be written as JSON");
    return static_cast<rapidjson::SizeType>(text.size());
  }

  rapidjson::StringBuffer buffer_;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> writer_;
  std::size_t skipped_ = 0;
};

}  // namespace vantel::detail
