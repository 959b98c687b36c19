// SPDX-License-Identifier: MIT
// A file's name as a diff's header lines write it.
#pragma once

#include <string>
#include <string_view>

namespace vantel::detail {

// `side` ("a/" or "b/") and `name`, written so that the tools that apply
// diffs read back exactly that name: C-quoted when it holds a control byte,
// a byte past ASCII, a quote, a backslash or a final blank; followed by a tab
// when it holds a blank, which would otherwise end it.
[[nodiscard]] std::string diff_name(std::string_view side, std::string_view name);

}  // namespace vantel::detail
