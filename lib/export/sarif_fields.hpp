// SPDX-License-Identifier: MIT
// A SARIF log parsed, and its members read by type: each failure names the
// log and where in it, as "runs[0].results[2].level".
#pragma once

#include <rapidjson/document.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vantel::detail {

using Json_value = rapidjson::Value;

enum class Json_kind { Object, Array, String, Integer };

// "where.key[k]".
[[nodiscard]] std::string indexed(const std::string& where, const char* key, std::size_t k);

// Element `k` of array `array`, which has more than `k`.
[[nodiscard]] inline const Json_value& element(const Json_value& array, std::size_t k) {
  return array[static_cast<rapidjson::SizeType>(k)];
}

class Sarif_fields {
 public:
  explicit Sarif_fields(std::string log_name) : log_name_(std::move(log_name)) {}

  // `text` parsed into `log`; throws std::invalid_argument naming the line,
  // column and byte where it stops being JSON.
  void parse(std::string_view text, rapidjson::Document& log) const;

  // Throws std::invalid_argument: "log: where: what".
  [[noreturn]] void refuse(const std::string& where, const std::string& what) const;

  void require(const Json_value& j, Json_kind kind, const std::string& where) const;

  // The member `key` of object `j`, or null when it is absent or null.
  [[nodiscard]] const Json_value* member(const Json_value& j, std::string_view key, Json_kind kind,
                                         const std::string& where) const;

  // A string member's text; empty when absent.
  [[nodiscard]] std::string text(const Json_value& j, std::string_view key,
                                 const std::string& where) const;

  // An integer member, at least `least`; none when absent.
  [[nodiscard]] std::optional<std::int64_t> number(const Json_value& j, std::string_view key,
                                                   const std::string& where,
                                                   std::int64_t least) const;

  // A string value's text.
  [[nodiscard]] static std::string string_of(const Json_value& j) {
    return std::string(j.GetString(), j.GetStringLength());
  }

 private:
  std::string log_name_;
};

}  // namespace vantel::detail
