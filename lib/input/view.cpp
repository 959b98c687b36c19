// SPDX-License-Identifier: MIT
// An input over a text the host holds: read in place, never copied.
#include "input/buffer_cursor.hpp"

#include <vantel/input.hpp>

#include <string>
#include <string_view>
#include <utility>

namespace vantel {

Input Input::view(std::string_view text, std::string name) {
  // The same cursor and growing line table as a string input's, over the
  // host's bytes instead of a copy of them.
  return detail::buf(
      std::move(name), text, [](std::string_view s) { return s.size(); },
      [](std::string_view s, std::size_t i) { return s[i]; }, [](std::string_view s) { return s; },
      detail::Buffer_table::Lazy);
}

}  // namespace vantel
