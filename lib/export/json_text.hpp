// SPDX-License-Identifier: MIT
// Text as JSON strings carry it: valid UTF-8, with a lossless copy of what
// was not.
#pragma once

#include <string>
#include <string_view>

namespace vantel::detail {

// Whether every byte of `text` is part of a well-formed UTF-8 sequence.
[[nodiscard]] bool is_utf8(std::string_view text) noexcept;

// `text` with every byte that does not start a well-formed sequence replaced
// by U+FFFD: one replacement per byte, so that columns, which count such a
// byte as one unit, still match the string.
[[nodiscard]] std::string as_utf8(std::string_view text);

// The standard base64 of `bytes`, padded: how the original bytes of a text
// that was not UTF-8 are carried next to it.
[[nodiscard]] std::string base64(std::string_view bytes);

}  // namespace vantel::detail
