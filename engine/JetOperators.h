#pragma once
// Jet's arithmetic and logical operators as SQLite functions, for the
// operators whose SQLite meaning differs from Jet's (see JetExpression.h,
// which decides where they are called):
//   lumo_add(a, b)     a + b: two texts join; a text with a number is read
//                      as a number as Jet converts text ("1,025" is 1025,
//                      " &h1A " is 26) or fails with a type mismatch
//   lumo_sub, lumo_mul, lumo_neg   - * and unary -, texts read as numbers
//   lumo_div(a, b)     a / b, always a real number
//   lumo_idiv(a, b)    a \ b, operands rounded to whole numbers first
//   lumo_mod(a, b)     a Mod b, same rounding, sign of a
//   lumo_pow(a, b)     a ^ b
//   lumo_not(a), lumo_and, lumo_or, lumo_xor, lumo_eqv, lumo_imp
//                      bitwise on whole numbers (True is -1); beside a
//                      Null the other operand counts as a truth (37 Or
//                      Null is -1), see kOr and the others
//   lumo_low(a, b), lumo_high(a, b)   the smaller and larger bound of
//                      Between (Jet orders the bounds; text ignoring case)
// A Null operand gives Null unless the rules above say otherwise. Division
// by zero, type mismatch and overflow fail the statement with Jet's
// description.
//
// Stateless functions: the registration may be done on any connection from
// any thread.
#include <sqlite3.h>

#include <optional>
#include <string_view>

namespace lumo::db {

// A text operand as a number, as Jet's conversion reads it
// (jet::readNumber: ' &h1A ' + 11 is 37, '１，０２５' + 1 is 1026).
// Nothing for text that is not a number; infinity for one beyond a
// Double's range, which the operators report as an overflow.
std::optional<double> jetNumberFromText(std::string_view text);

// Registers the functions above on the connection. Throws lumo::Error when
// SQLite refuses one.
void installJetOperators(sqlite3* db);

}  // namespace lumo::db
