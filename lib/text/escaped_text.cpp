// SPDX-License-Identifier: MIT
#include "text/cluster_walk.hpp"

#include <vantel/escaped_text.hpp>

#include <string>
#include <string_view>

namespace vantel {

std::string escaped_text(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  // The tab width is unused: tabs are kept.
  detail::Cluster_walk walk(text, 1);
  detail::Cluster c;
  while (walk.next(c))
    shown += c.kind == detail::Cluster_kind::Escaped ? c.escaped.text()
                                                     : text.substr(c.begin, c.end - c.begin);
  return shown;
}

}  // namespace vantel
