// SPDX-License-Identifier: MIT
// Text that a failure message repeats (a file's name, a fix's message),
// made safe to print whole.
#pragma once

#include <string>
#include <string_view>

namespace vantel::detail {

// `text` with every byte that is not valid UTF-8, every control but the tab
// (NUL, ESC and DEL included), every C1 control and every bidirectional
// control written as <0xHH> or <U+HHHH>: a host that prints the message
// prints what it says, whole, and a terminal takes nothing from it.
[[nodiscard]] std::string message_text(std::string_view text);

}  // namespace vantel::detail
