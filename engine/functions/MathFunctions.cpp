// Int, Fix, Abs, Sgn, Round and the functions of analysis (Sqr, Exp, Log,
// Atn, Sin, Cos, Tan), Rnd and Partition. Int, Fix and Abs keep a whole number whole
// and a date a date; the others answer with a Double.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {
namespace {

// Applies `op` to the argument, keeping its kind: a Long stays a Long
// (or overflows), a date stays a date, anything else becomes a Double.
Variant keepingKind(const Args& a, double (*op)(double)) {
    const double result = op(a.number(0));
    switch (a[0].type()) {
    case VarType::Integer:
    case VarType::Long:
        if (result > std::numeric_limits<int32_t>::max()) overflow();
        return Variant(static_cast<int32_t>(result));
    case VarType::Date: return Variant::date(result);
    default: return Variant(result);
    }
}

Variant intOf(const Args& a) { return keepingKind(a, [](double x) { return std::floor(x); }); }
Variant fixOf(const Args& a) { return keepingKind(a, [](double x) { return std::trunc(x); }); }
Variant absOf(const Args& a) { return keepingKind(a, [](double x) { return std::fabs(x); }); }

Variant sgn(const Args& a) {
    const double x = a.number(0);
    return Variant(static_cast<int32_t>(x > 0 ? 1 : x < 0 ? -1 : 0));
}

// A finite result, or the overflow Jet raises.
Variant finite(double value) {
    if (!std::isfinite(value)) overflow();
    return Variant(value);
}

Variant sqr(const Args& a) {
    const double x = a.number(0);
    if (x < 0) invalidCall();
    return Variant(std::sqrt(x));
}

Variant expOf(const Args& a) { return finite(std::exp(a.number(0))); }

// Log is the natural logarithm.
Variant logOf(const Args& a) {
    const double x = a.number(0);
    if (x <= 0) invalidCall();
    return Variant(std::log(x));
}

Variant atn(const Args& a) { return Variant(std::atan(a.number(0))); }
Variant sinOf(const Args& a) { return Variant(std::sin(a.number(0))); }
Variant cosOf(const Args& a) { return Variant(std::cos(a.number(0))); }
Variant tanOf(const Args& a) { return finite(std::tan(a.number(0))); }

// Round(number[, digits]) rounds half to even: Round(2.5) is 2, Round(3.5)
// is 4, Round(0.125, 2) is 0.12. A value whose scaled form lies within
// binary noise of a half (2.675 is stored as 2.67499999...) counts as
// the half it was written as.
Variant round(const Args& a) {
    const int32_t digits = a.wholeOr(1, 0);
    if (digits < 0) invalidCall();
    const double x = a.number(0);
    if (a[0].type() == VarType::Long || a[0].type() == VarType::Integer || digits > 15) return a[0];
    const double scale = std::pow(10.0, digits);
    const double scaled = x * scale;
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;
    double rounded = 0;
    if (std::fabs(fraction - 0.5) <= 1e-9 * std::max(1.0, std::fabs(scaled)))
        rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    else
        rounded = std::nearbyint(scaled);
    return Variant(rounded / scale);
}

// Rnd([n]): the desktop's generator, so that a seeded sequence is the same
// numbers: a 24-bit linear congruence, started at 0x50000 on each thread.
// A negative n seeds it from n's bits as a Single (Rnd(-1) is always
// 0.224007); 0 repeats the last number.
thread_local uint32_t rndSeed = 0x50000;

Variant rnd(const Args& a) {
    const auto next = [] { rndSeed = (rndSeed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu; };
    const double n = a.has(0) ? a.number(0) : 1.0;
    if (n < 0) {
        const float single = static_cast<float>(n);
        uint32_t bits = 0;
        std::memcpy(&bits, &single, sizeof bits);
        rndSeed = (bits + (bits >> 24)) & 0xFFFFFFu;
        next();
    } else if (n > 0) {
        next();
    }
    return Variant(static_cast<double>(rndSeed) / 16777216.0);
}

// Partition(number, start, stop, interval): the range of `interval` whole
// numbers from `start` that holds `number`, "lower:upper", each side
// padded with blanks to the width of stop + 1 (or of start - 1, when
// wider), so that the ranges sort as text; below start " :start-1", above
// stop "stop+1: ". Every argument is rounded as a Long.
Variant partition(const Args& a) {
    const long long number = a.whole(0), start = a.whole(1), stop = a.whole(2), interval = a.whole(3);
    if (start < 0 || stop <= start || interval < 1) invalidCall();
    const std::size_t width = std::max(std::to_string(stop + 1).size(), std::to_string(start - 1).size());
    const auto side = [&](std::optional<long long> n) {
        const std::string text = n ? std::to_string(*n) : std::string();
        return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
    };
    std::optional<long long> lower, upper;
    if (number < start) {
        upper = start - 1;
    } else if (number > stop) {
        lower = stop + 1;
    } else {
        lower = start + (number - start) / interval * interval;
        upper = std::min(*lower + interval - 1, stop);
    }
    return Variant(side(lower) + ":" + side(upper));
}

constexpr std::array kFunctions{
    FunctionEntry{"Int", 1, 1, kNullFirst, &intOf, false, 0, false, false, true},
    FunctionEntry{"Fix", 1, 1, kNullFirst, &fixOf, false, 0, false, false, true},
    FunctionEntry{"Abs", 1, 1, kNullFirst, &absOf, false, 0, false, false, true},
    FunctionEntry{"Sgn", 1, 1, kNullNone, &sgn},
    FunctionEntry{"Sqr", 1, 1, kNullNone, &sqr},
    FunctionEntry{"Exp", 1, 1, kNullNone, &expOf},
    FunctionEntry{"Log", 1, 1, kNullNone, &logOf},
    FunctionEntry{"Atn", 1, 1, kNullNone, &atn},
    FunctionEntry{"Sin", 1, 1, kNullNone, &sinOf},
    FunctionEntry{"Cos", 1, 1, kNullNone, &cosOf},
    FunctionEntry{"Tan", 1, 1, kNullNone, &tanOf},
    FunctionEntry{"Round", 1, 2, kNullFirst, &round},
    // Not the same answer on every call, like the clock's functions.
    FunctionEntry{"Rnd", 0, 1, kNullFirst, &rnd, true, kSingleSubtype},
    FunctionEntry{"Partition", 4, 4, kNullAny, &partition},
};

}  // namespace

std::span<const FunctionEntry> mathFunctions() { return kFunctions; }

}  // namespace lumo::db::jet
