// SPDX-License-Identifier: MIT
// A text made safe to print on one line of a terminal.
#pragma once

#include <string>
#include <string_view>

namespace vantel {

/// `text` with every byte that the text layout escapes in its escaped form
/// (<0x1B>, <U+202E>, a line feed as <0x0A>) and the rest, tabs included, as
/// it is: what the library does to names and messages in its own failures,
/// for a host's messages that repeat a file name or an argument.
[[nodiscard]] std::string escaped_text(std::string_view text);

}  // namespace vantel
