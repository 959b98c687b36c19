// SPDX-License-Identifier: MIT
// Writing inside a tag of ours so that a failing write never leaves it open.
#pragma once

#include <vantel/formatter.hpp>

namespace vantel::detail {

// Writes what `print` writes inside `tag`. A stream that throws leaves no tag
// of ours open for the caller's next close to find; a failure of that close
// is dropped for the first.
template <class Print>
void print_in_tag(Formatter& f, const Stag& tag, Print&& print) {
  f.open_stag(tag);
  try {
    print();
  } catch (...) {
    try {
      f.close_stag();
    } catch (...) {
    }
    throw;
  }
  f.close_stag();
}

}  // namespace vantel::detail
