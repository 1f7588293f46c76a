#pragma once
// How `lumo sql` writes a field value into its CSV output: Null and Empty
// as nothing, Booleans as -1/0, numbers in decimal (Doubles in their
// shortest round-trip form), dates as yyyy/mm/dd with " hh:mm:ss" when
// there is a time of day, text as it is (the caller quotes it).
#include <string>

#include "engine/Variant.h"

namespace lumo::tools {

std::string csvValueText(const lumo::db::Variant& value);

}  // namespace lumo::tools
