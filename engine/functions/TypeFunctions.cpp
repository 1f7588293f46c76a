// VarType and TypeName: the type of a value as Jet names it. SQLite holds
// only whole numbers, reals, texts and Null, so a value's finer type is
// known where it comes straight from a function that gives one (CInt,
// CCur, CBool, CDate, Date(), a test such as IsNull): the function's
// result carries it as a subtype, or where the statement shows it and the
// translation passes it as a second argument (FunctionEntry's
// takesArgumentType; a number literal is passed as an Integer, which
// names it by its size). Otherwise a whole number within 32 bits is a
// Long, a real a Double, a text a String.
#include <array>

#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {
namespace {

struct TypeName {
    int32_t code;  // VarType's answer
    std::string_view name;
};

constexpr TypeName kNull{1, "Null"};
constexpr TypeName kInteger{2, "Integer"};
constexpr TypeName kLong{3, "Long"};
constexpr TypeName kSingle{4, "Single"};
constexpr TypeName kDouble{5, "Double"};
constexpr TypeName kCurrency{6, "Currency"};
constexpr TypeName kDate{7, "Date"};
constexpr TypeName kString{8, "String"};
constexpr TypeName kBoolean{11, "Boolean"};
constexpr TypeName kDecimal{14, "Decimal"};
constexpr TypeName kByte{17, "Byte"};

// The type the translation passed; anything else written as a second
// argument is a call Jet refuses.
unsigned givenType(const Args& a) {
    const int32_t given = a[1].toLong();
    if (given != static_cast<int32_t>(kBooleanSubtype) && given != static_cast<int32_t>(kDateSubtype) &&
        given != static_cast<int32_t>(kCurrencySubtype) && given != static_cast<int32_t>(kIntegerSubtype))
        invalidCall();
    return static_cast<unsigned>(given);
}

// A whole number of the Integer's range. Given for a number literal, the
// Integer subtype names its type as Jet types a literal, by its size
// (1 is an Integer, 40000 a Long); a real stays a Double.
bool fitsInteger(const Variant& v) {
    if (v.type() != VarType::Long) return false;
    const long long n = v.toLong();
    return n >= -32768 && n <= 32767;
}

TypeName typeOf(const Args& a) {
    switch (a[0].type()) {
    case VarType::Empty: return {0, "Empty"};
    case VarType::Null: return kNull;
    case VarType::String: return kString;
    case VarType::Date: return kDate;
    case VarType::Boolean: return kBoolean;
    case VarType::Integer: return kInteger;
    default: break;
    }
    switch (a.has(1) ? givenType(a) : a.subtype(0)) {
    case kDateSubtype: return kDate;
    case kIntegerSubtype:
        if (fitsInteger(a[0])) return kInteger;
        break;
    case kSingleSubtype: return kSingle;
    case kCurrencySubtype: return kCurrency;
    case kDecimalSubtype: return kDecimal;
    case kByteSubtype: return kByte;
    case kBooleanSubtype: return kBoolean;
    default: break;
    }
    return a[0].type() == VarType::Long ? kLong : kDouble;
}

Variant varType(const Args& a) { return Variant(typeOf(a).code); }
Variant typeName(const Args& a) { return Variant(typeOf(a).name); }

constexpr std::array kFunctions{
    FunctionEntry{"VarType", 1, 2, kNullNone, &varType, false, 0, false, true},
    FunctionEntry{"TypeName", 1, 2, kNullNone, &typeName, false, 0, false, true},
};

}  // namespace

std::span<const FunctionEntry> typeFunctions() { return kFunctions; }

}  // namespace lumo::db::jet
