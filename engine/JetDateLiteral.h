#pragma once
// Jet's date literals: the text between '#' and '#' in a statement, read as
// Jet reads it regardless of the desktop's locale. Accepted (blanks around
// the parts are ignored):
//   yyyy/m/d  yyyy-m-d        year first
//   m/d/yyyy  m-d-yyyy        month first (US order, Jet's own)
// each optionally followed by a time h:mm or h:mm:ss with an optional AM or
// PM, or a time alone (a time on day 0, 1899/12/30). Years have four digits.
// Stateless; any thread.
#include <string_view>

namespace lumo::db {

// The automation date of `inner` (the text without its '#'). Throws
// lumo::Error with Jet's description for anything else, including
// impossible calendar dates and times.
double jetDateLiteral(std::string_view inner);

}  // namespace lumo::db
