// SPDX-License-Identifier: MIT
#include "export/sarif_fields.hpp"

#include <rapidjson/error/en.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace vantel::detail {

namespace {

bool is(const Json_value& j, Json_kind kind) {
  switch (kind) {
    case Json_kind::Object:
      return j.IsObject();
    case Json_kind::Array:
      return j.IsArray();
    case Json_kind::String:
      return j.IsString();
    case Json_kind::Integer:
      break;
  }
  return j.IsInt64() || j.IsUint64();
}

const char* word_of(Json_kind kind) {
  switch (kind) {
    case Json_kind::Object:
      return "an object";
    case Json_kind::Array:
      return "an array";
    case Json_kind::String:
      return "a string";
    case Json_kind::Integer:
      break;
  }
  return "an integer";
}

}  // namespace

std::string indexed(const std::string& where, const char* key, std::size_t k) {
  return where + "." + key + "[" + std::to_string(k) + "]";
}

void Sarif_fields::parse(std::string_view text, rapidjson::Document& log) const {
  // Iterative: how deep a log nests costs no stack.
  constexpr unsigned flags = rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag;
  log.Parse<flags>(text.data(), text.size());
  if (!log.HasParseError()) return;
  const std::size_t at = std::min(log.GetErrorOffset(), text.size());
  const std::string_view before = text.substr(0, at);
  const std::size_t line =
      1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  const std::size_t line_start =
      before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
  std::string what = rapidjson::GetParseError_En(log.GetParseError());
  if (!what.empty() && what.back() == '.') what.pop_back();
  if (!what.empty() && what.front() >= 'A' && what.front() <= 'Z')
    what.front() = static_cast<char>(what.front() - 'A' + 'a');
  throw std::invalid_argument(log_name_ + ": not JSON at line " + std::to_string(line) +
                              ", column " + std::to_string(at - line_start + 1) + " (byte " +
                              std::to_string(at) + "): " + what);
}

void Sarif_fields::refuse(const std::string& where, const std::string& what) const {
  throw std::invalid_argument(log_name_ + ": " + where + ": " + what);
}

void Sarif_fields::require(const Json_value& j, Json_kind kind, const std::string& where) const {
  if (!is(j, kind)) refuse(where, std::string("expected ") + word_of(kind));
}

const Json_value* Sarif_fields::member(const Json_value& j, std::string_view key, Json_kind kind,
                                       const std::string& where) const {
  if (key.size() > std::numeric_limits<rapidjson::SizeType>::max()) return nullptr;
  const Json_value name(
      rapidjson::StringRef(key.data(), static_cast<rapidjson::SizeType>(key.size())));
  const auto it = j.FindMember(name);
  if (it == j.MemberEnd() || it->value.IsNull()) return nullptr;
  require(it->value, kind, where + "." + std::string(key));
  return &it->value;
}

std::string Sarif_fields::text(const Json_value& j, std::string_view key,
                               const std::string& where) const {
  const Json_value* m = member(j, key, Json_kind::String, where);
  return m == nullptr ? std::string() : string_of(*m);
}

std::optional<std::int64_t> Sarif_fields::number(const Json_value& j, std::string_view key,
                                                 const std::string& where,
                                                 std::int64_t least) const {
  const Json_value* m = member(j, key, Json_kind::Integer, where);
  if (m == nullptr) return std::nullopt;
  if (!m->IsInt64()) refuse(where + "." + std::string(key), "out of range");
  const std::int64_t value = m->GetInt64();
  if (value < least) refuse(where + "." + std::string(key), "below " + std::to_string(least));
  return value;
}

}  // namespace vantel::detail
