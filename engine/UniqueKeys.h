#pragma once
// What the translation may ask of a file about its keys.
#include <functional>
#include <string_view>

namespace lumo::db {

// Whether `column` holds each value at most once in the table or view
// `source`: a table's INTEGER PRIMARY KEY, or a view's key as the file
// declares it in lumo_view_keys. Lets the translation leave out a DISTINCT
// with nothing to do (DistinctKeys.h).
using UniqueKeyLookup = std::function<bool(std::string_view source, std::string_view column)>;

}  // namespace lumo::db
