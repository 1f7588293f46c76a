#pragma once
// What every Jet function shares: its entry in the registry, its arguments
// read from SQLite with Jet's conversions, its result written back, and
// Jet's run-time errors. A function is a plain routine from Args to a
// Variant; the registry applies the Null rule and the argument count, and
// turns a thrown lumo::Error into SQLite's function error, so no function
// repeats that work.
//
// Dates travel between the functions as SQLite reals tagged with a subtype
// (kDateSubtype), so Format(Now()) and IsDate(Date()) know them for dates;
// a date read from a column or changed by arithmetic is a plain number and
// is taken as an automation date wherever a date is expected.
//
// Stateless; any thread.
#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Variant.h"

namespace lumo::db::jet {

inline constexpr unsigned kDateSubtype = 'D';
// The other subtypes a result may carry, so that VarType and TypeName of a
// conversion's result name its type (CInt(1) is an Integer, CCur(1) a
// Currency); SQLite itself keeps only whole numbers and reals.
inline constexpr unsigned kIntegerSubtype = 'I';
inline constexpr unsigned kSingleSubtype = 'S';
inline constexpr unsigned kCurrencySubtype = 'C';
inline constexpr unsigned kDecimalSubtype = 'M';
inline constexpr unsigned kByteSubtype = 'Y';
inline constexpr unsigned kBooleanSubtype = 'B';

// Jet's run-time errors, with the descriptions Jet gives them.
[[noreturn]] void invalidCall();
[[noreturn]] void typeMismatch();
[[noreturn]] void overflow();
[[noreturn]] void divisionByZero();
[[noreturn]] void invalidNull();

// Jet's conversions of one value; each raises the error Jet raises
// ("Null の使い方が不正です。" for Null, a type mismatch for text that is
// not a number or a date, an overflow outside the target's range).
double toNumber(const Variant& v);
// The number in `text` as Jet reads one typed by a user (blanks around it,
// a sign before or after it or parentheses, a yen sign, thousands commas,
// an exponent, &H and &O, in either width); nothing when the text is not a
// number.
bool readNumber(std::string_view text, double& out);
int32_t toLong(const Variant& v);  // rounded half to even, 32-bit
double toDate(const Variant& v);   // an automation date within 100..9999
bool toBool(const Variant& v);
std::string toText(const Variant& v);
// The text '&' joins a non-Null SQLite value as: a date (tagged) and a
// real number as Jet writes them, a whole number or a text as it stands.
std::string joinedText(sqlite3_value* value);
// A date recognised in text: the desktop's forms and Jet's date texts, with
// or without a time; false when the text is not a date.
bool readDate(std::string_view text, double& out);
// The text of a number as Jet writes it: up to 15 significant digits, an
// exponent (1E+15, 1E-05) outside that range.
std::string numberText(double value);
// The default text of a date: yyyy/mm/dd, h:mm:ss, or both.
std::string dateText(double value);
// An automation date from a day number and the seconds into that day.
double fromDaySeconds(double day, double seconds);
// Jet's whole-number results: a Long when the value fits, else a Double.
Variant wholeNumber(double value);

// The arguments of one call, converted from SQLite's values when the call
// starts (a copy each, so no value points into SQLite's memory; only the
// subtypes are read from SQLite's values, which outlive the Args) and gone
// when it returns; one thread, the one running the statement.
class Args {
public:
    Args(int argc, sqlite3_value** argv);

    std::size_t size() const { return values_.size(); }
    bool has(std::size_t i) const { return i < values_.size(); }
    bool isNull(std::size_t i) const { return values_[i].isNull(); }
    const Variant& operator[](std::size_t i) const { return values_[i]; }
    // The subtype argument i came with (kIntegerSubtype, ...), or 0; read
    // from SQLite's value, which lives as long as the call.
    unsigned subtype(std::size_t i) const { return sqlite3_value_subtype(argv_[i]); }

    std::string text(std::size_t i) const { return toText(values_[i]); }
    double number(std::size_t i) const { return toNumber(values_[i]); }
    int32_t whole(std::size_t i) const { return toLong(values_[i]); }
    double date(std::size_t i) const { return toDate(values_[i]); }
    bool truth(std::size_t i) const { return toBool(values_[i]); }
    // An optional whole-number argument: `fallback` when absent.
    int32_t wholeOr(std::size_t i, int32_t fallback) const { return has(i) ? whole(i) : fallback; }

private:
    std::vector<Variant> values_;
    sqlite3_value** argv_;  // SQLite's, for the call's duration
};

using Function = Variant (*)(const Args&);

// Bit i set: a Null in argument i makes the result Null without calling
// the function. Arguments without their bit are given to the function,
// whose conversions raise Jet's "invalid use of Null" where Jet does.
inline constexpr unsigned kNullFirst = 1u;
inline constexpr unsigned kNullAny = ~0u;
inline constexpr unsigned kNullNone = 0u;

struct FunctionEntry {
    std::string_view name;  // Jet's name, as documented
    int minArgs;
    int maxArgs;  // -1: any number
    unsigned nullGivesNull;
    Function call;
    bool readsClock = false;  // Date(), Now(): not the same answer on every call
    // kIntegerSubtype, kDateSubtype, ...: the type a non-Null result has;
    // the translation also reads it as the type of a call's value (so that
    // a computed column of dates reads as dates).
    unsigned resultSubtype = 0;
    bool textOnly = false;       // a $ form (Left$): its result is text, never Null
    // VarType, TypeName: SQLite's value alone does not tell True from -1 or
    // a date from its number, so where the statement shows the argument's
    // type (True, 1 = 1, #...# + 1, CCur(1) + 1), the translation passes it
    // as a second argument: kBooleanSubtype, kDateSubtype or kCurrencySubtype.
    bool takesArgumentType = false;
    // Int, Fix, Abs: a date given is a date returned, so the translation
    // types the call as its first argument when that is a Date.
    bool keepsDate = false;
    // IIf: in a query Jet works out only the branch it returns, so that
    // IIf(x = 0, 0, 1 / x) is 0 where x is 0. SQLite works out every
    // argument of a call first, so the translation writes the call as a
    // CASE over the function's own answer to the condition alone.
    bool choosesBranch = false;
};

// The families, one file each.
std::span<const FunctionEntry> textFunctions();
std::span<const FunctionEntry> conversionFunctions();
std::span<const FunctionEntry> mathFunctions();
std::span<const FunctionEntry> choiceFunctions();
std::span<const FunctionEntry> dateFunctions();
std::span<const FunctionEntry> formatFunctions();
std::span<const FunctionEntry> financialFunctions();
std::span<const FunctionEntry> typeFunctions();
// Left$, Mid$, Format$, ...: the functions above that have a $ form, each
// again under that name, answering text or failing where the plain one
// gives Null.
std::span<const FunctionEntry> dollarForms();

// The entry point SQLite calls for every registered function; the entry is
// its user data.
void callEntry(sqlite3_context* context, int argc, sqlite3_value** argv);

}  // namespace lumo::db::jet
