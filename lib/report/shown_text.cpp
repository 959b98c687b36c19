#include "report/shown_text.hpp"

#include "text/cluster_walk.hpp"

namespace vantel::detail {

Shown_text shown_text(std::string_view text, int tab_width) {
  Shown_text shown;
  shown.text.reserve(text.size());
  Cluster_walk walk(text, tab_width);
  Cluster cluster;
  while (walk.next(cluster)) shown.text += cluster.shown(text);
  shown.width = walk.column();
  return shown;
}

}  // namespace vantel::detail
