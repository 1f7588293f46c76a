// IIf, Choose, Switch, Nz and the tests IsNull, IsNumeric, IsDate, IsEmpty
// and IsError (a value of a statement is never Empty nor an error). These
// see Null as a value: a Null condition counts as False, and none of them
// answers Null merely because an argument is Null.
#include <array>

#include "platform/Error.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {
namespace {

bool holds(const Args& a, std::size_t i) { return !a.isNull(i) && a.truth(i); }

Variant iif(const Args& a) { return holds(a, 0) ? a[1] : a[2]; }

// Choose(index, choice1, ...): index rounded; Null outside 1..n.
Variant choose(const Args& a) {
    if (a.isNull(0)) return Variant::null();
    const int32_t index = a.whole(0);
    if (index < 1 || static_cast<std::size_t>(index) >= a.size()) return Variant::null();
    return a[static_cast<std::size_t>(index)];
}

// Switch(expr1, value1, ...): the value of the first true expression.
Variant switchOf(const Args& a) {
    if (a.size() % 2 != 0) invalidCall();
    for (std::size_t i = 0; i < a.size(); i += 2)
        if (holds(a, i)) return a[i + 1];
    return Variant::null();
}

// Nz(value[, valueIfNull]): in a query, Null without a replacement is "".
Variant nz(const Args& a) {
    if (!a.isNull(0)) return a[0];
    return a.has(1) ? a[1] : Variant(std::string());
}

Variant isNull(const Args& a) { return Variant(a.isNull(0)); }
Variant never(const Args&) { return Variant(false); }

Variant isNumeric(const Args& a) {
    switch (a[0].type()) {
    case VarType::Null:
    case VarType::Date: return Variant(false);
    case VarType::String: {
        double value = 0;
        try {
            return Variant(readNumber(*a[0].stringValue(), value));
        } catch (const Error&) {
            return Variant(false);  // a number too large for a Double
        }
    }
    default: return Variant(true);
    }
}

Variant isDate(const Args& a) {
    if (a[0].type() == VarType::Date) return Variant(true);
    double value = 0;
    const std::string* text = a[0].stringValue();
    return Variant(text != nullptr && readDate(*text, value));
}

constexpr std::array kFunctions{
    FunctionEntry{"IIf", 3, 3, kNullNone, &iif, false, 0, false, false, false, true},
    FunctionEntry{"Choose", 2, -1, kNullNone, &choose},
    FunctionEntry{"Switch", 2, -1, kNullNone, &switchOf},
    FunctionEntry{"Nz", 1, 2, kNullNone, &nz},
    FunctionEntry{"IsNull", 1, 1, kNullNone, &isNull},
    FunctionEntry{"IsNumeric", 1, 1, kNullNone, &isNumeric},
    FunctionEntry{"IsDate", 1, 1, kNullNone, &isDate},
    FunctionEntry{"IsEmpty", 1, 1, kNullNone, &never},
    FunctionEntry{"IsError", 1, 1, kNullNone, &never},
};

}  // namespace

std::span<const FunctionEntry> choiceFunctions() { return kFunctions; }

}  // namespace lumo::db::jet
