#pragma once
// Jet's aggregate functions that SQLite lacks, registered on every
// connection under their Jet names so that a statement calls them as
// written:
//   First(x), Last(x)   x of the group's first and last row, as the rows
//                       are read (a Null value included)
//   StDev(x), Var(x)    the standard deviation and variance of the sample
//                       (Null below two values)
//   StDevP(x), VarP(x)  those of the population (Null without a value)
// Nulls are left out of the four statistics; a text is read as Jet reads a
// number, or fails with "型が一致しません。".
//
// And the one list of every aggregate's name, SQLite's and these, which
// the translation asks: an aggregate makes a query of groups.
//
// Stateless: the registration may be done on any connection from any
// thread; each call's state lives in SQLite's aggregate context.
#include <sqlite3.h>

#include <string_view>

namespace lumo::db {

// Whether `name` (any case) is an aggregate function's name.
bool isAggregateName(std::string_view name);

// Whether the function `name` (any case) answers one of the values it is
// given: Min, Max, First and Last (and SQLite's Min and Max of several
// values), so that its value has their type: Max(BIRTHDAY) is a date.
bool answersOneOfItsValues(std::string_view name);

// Registers the functions above on the connection. Throws lumo::Error when
// SQLite refuses one.
void installJetAggregates(sqlite3* db);

}  // namespace lumo::db
