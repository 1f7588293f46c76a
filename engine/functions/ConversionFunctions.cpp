// The conversions: Val, Str, the C... functions (CVar and CVDate let a
// Null through), Hex and Oct. Whole-number
// conversions round half to even and raise an overflow outside their type.
#include <array>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {
namespace {

// The whole number a conversion to an Integer-sized or smaller type gives.
int32_t wholeWithin(const Args& a, int32_t low, int32_t high) {
    const int32_t n = a.whole(0);
    if (n < low || n > high) overflow();
    return n;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Val reads the number at the start of the text, ignoring blanks, tabs and
// line feeds anywhere, and stops at the first character that cannot
// continue it ("1,000" is 1, "12abc" is 12, "abc" is 0).
Variant val(const Args& a) {
    std::string s;
    for (char c : a.text(0))
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    if (s.size() > 1 && s[0] == '&') {
        std::size_t end = 2;
        const char kind = static_cast<char>(s[1] & ~0x20);
        while (end < s.size() && (kind == 'H' ? std::isxdigit(static_cast<unsigned char>(s[end])) != 0
                                              : s[end] >= '0' && s[end] <= '7'))
            ++end;
        double value = 0;
        if (end > 2 && readNumber(s.substr(0, end), value)) return Variant(value);
        return Variant(0.0);
    }
    std::size_t end = 0;
    if (end < s.size() && (s[end] == '+' || s[end] == '-')) ++end;
    while (end < s.size() && isDigit(s[end])) ++end;
    if (end < s.size() && s[end] == '.') {
        ++end;
        while (end < s.size() && isDigit(s[end])) ++end;
    }
    if (end < s.size() && (s[end] == 'E' || s[end] == 'e' || s[end] == 'D' || s[end] == 'd')) {
        std::size_t exponent = end + 1;
        if (exponent < s.size() && (s[exponent] == '+' || s[exponent] == '-')) ++exponent;
        if (exponent < s.size() && isDigit(s[exponent])) {
            end = exponent;
            while (end < s.size() && isDigit(s[end])) ++end;
        }
    }
    std::string number = s.substr(0, end);
    for (char& c : number)
        if (c == 'D' || c == 'd') c = 'e';
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) overflow();
    return Variant(value);
}

// Str writes a number with a leading blank where a minus sign would go.
Variant str(const Args& a) {
    const double value = a.number(0);
    return Variant((value < 0 ? "" : " ") + numberText(value));
}

Variant cStr(const Args& a) { return Variant(a.text(0)); }
Variant cLng(const Args& a) { return Variant(a.whole(0)); }
Variant cInt(const Args& a) { return Variant(wholeWithin(a, -32768, 32767)); }
Variant cByte(const Args& a) { return Variant(wholeWithin(a, 0, 255)); }
Variant cDbl(const Args& a) { return Variant(a.number(0)); }
Variant cDec(const Args& a) { return Variant(a.number(0)); }
Variant cBool(const Args& a) { return Variant(a.truth(0)); }
Variant cDate(const Args& a) { return Variant::date(a.date(0)); }
Variant cVar(const Args& a) { return a[0]; }

// A Single keeps 7 significant digits; the result is the Double nearest
// to what a Single shows.
Variant cSng(const Args& a) {
    const double value = a.number(0);
    if (std::fabs(value) > FLT_MAX) overflow();
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", value);
    return Variant(std::strtod(text, nullptr));
}

// A Currency keeps four decimals, rounded half to even.
Variant cCur(const Args& a) {
    const double value = a.number(0);
    if (std::fabs(value) > 922337203685477.5807) overflow();
    return Variant(std::nearbyint(value * 10000.0) / 10000.0);
}

// Hex and Oct write negative numbers in two's complement: 16 bits for
// values an Integer holds (Hex(-1) is FFFF), 32 bits for a Long.
std::string radixText(const Args& a, const char* format) {
    const int32_t n = a.whole(0);
    const uint32_t bits = n >= -32768 && n < 0 ? static_cast<uint16_t>(n) : static_cast<uint32_t>(n);
    char text[16];
    std::snprintf(text, sizeof text, format, bits);
    return text;
}
Variant hex(const Args& a) { return Variant(radixText(a, "%X")); }
Variant oct(const Args& a) { return Variant(radixText(a, "%o")); }

constexpr std::array kFunctions{
    FunctionEntry{"Val", 1, 1, kNullNone, &val},
    FunctionEntry{"Str", 1, 1, kNullFirst, &str},
    FunctionEntry{"CStr", 1, 1, kNullNone, &cStr},
    FunctionEntry{"CLng", 1, 1, kNullNone, &cLng},
    FunctionEntry{"CInt", 1, 1, kNullNone, &cInt, false, kIntegerSubtype},
    FunctionEntry{"CByte", 1, 1, kNullNone, &cByte, false, kByteSubtype},
    FunctionEntry{"CDbl", 1, 1, kNullNone, &cDbl},
    FunctionEntry{"CSng", 1, 1, kNullNone, &cSng, false, kSingleSubtype},
    FunctionEntry{"CCur", 1, 1, kNullNone, &cCur, false, kCurrencySubtype},
    FunctionEntry{"CDec", 1, 1, kNullNone, &cDec, false, kDecimalSubtype},
    FunctionEntry{"CBool", 1, 1, kNullNone, &cBool, false, kBooleanSubtype},
    FunctionEntry{"CDate", 1, 1, kNullNone, &cDate, false, kDateSubtype},
    FunctionEntry{"CVDate", 1, 1, kNullFirst, &cDate, false, kDateSubtype},
    FunctionEntry{"CVar", 1, 1, kNullFirst, &cVar},
    FunctionEntry{"Hex", 1, 1, kNullFirst, &hex},
    FunctionEntry{"Oct", 1, 1, kNullFirst, &oct},
};

}  // namespace

std::span<const FunctionEntry> conversionFunctions() { return kFunctions; }

}  // namespace lumo::db::jet
