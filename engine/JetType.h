#pragma once
// The types of Jet's values, as the translation infers them for an
// expression (JetTypes.h) and reports them for the items of a select list.
#include <cstdint>

namespace lumo::db {

enum class JetType : std::uint8_t { Unknown, Null, Boolean, Integer, Long, Currency, Double, Date, Text };

}  // namespace lumo::db
