#pragma once
// Text spliced into SQL. Every builder of the library puts a caller's text
// into a statement through sqlString, so that a quote inside the text
// (O'Brien) stays part of the value instead of ending the literal. The
// LIKE wildcards % and _ are left as they are: callers may use them.
#include <initializer_list>
#include <string>
#include <string_view>

namespace lumo::access {

// 'text' with every ' doubled.
std::string sqlString(std::string_view text);

// The pieces of a statement joined in order.
std::string concat(std::initializer_list<std::string_view> parts);

}  // namespace lumo::access
