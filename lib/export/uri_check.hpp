// SPDX-License-Identifier: MIT
// URIs that a host hands in for the data formats, checked before they are
// written: a reader rejects a whole log for one malformed URI.
#pragma once

#include <string>
#include <string_view>

namespace vantel::detail {

// `uri` when it is an absolute URI (a scheme, then only the characters that
// URIs hold, '%' followed by two hex digits, at most one '#'); otherwise
// std::invalid_argument led by `what` ("vantel::to_lsp_json: code URL").
std::string checked_uri(std::string_view uri, std::string_view what);

// A base URI that relative names are resolved against: checked_uri, without
// a query or a fragment, given the '/' that it needs at its end when it
// lacks one ("file:///src" is "file:///src/"). Empty for none.
std::string checked_base_uri(std::string_view uri, std::string_view what);

}  // namespace vantel::detail
