// The financial functions: annuities (Pmt, PV, FV, NPer, Rate, IPmt, PPmt)
// and depreciation (SLN, SYD, DDB). Money paid out is negative, money
// received positive; `type` 0 pays at the end of each period, 1 at the
// start. Every argument is a number: Null is an error, as in Jet.
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {
namespace {

// The common arguments of the annuity functions.
struct Annuity {
    double rate, periods, payment, present, future;
    int type;  // 0 or 1
};

int typeArg(const Args& a, std::size_t i) { return a.has(i) && a.number(i) != 0 ? 1 : 0; }
double optionalNumber(const Args& a, std::size_t i) { return a.has(i) ? a.number(i) : 0; }

// (1 + rate)^periods and the sum of the payments' growth, shared by the
// present and future values and the payment.
double growth(const Annuity& x) { return std::pow(1 + x.rate, x.periods); }
double paymentFactor(const Annuity& x) {
    return x.rate == 0 ? x.periods : (1 + x.rate * x.type) * (growth(x) - 1) / x.rate;
}

double futureValue(const Annuity& x) { return -(x.present * growth(x) + x.payment * paymentFactor(x)); }
double payment(const Annuity& x) {
    const double factor = paymentFactor(x);
    if (factor == 0) invalidCall();
    return -(x.future + x.present * growth(x)) / factor;
}

Variant finite(double value) {
    if (!std::isfinite(value)) invalidCall();
    return Variant(value);
}

// Pmt(rate, nper, pv[, fv[, type]])
Variant pmt(const Args& a) {
    return finite(payment({a.number(0), a.number(1), 0, a.number(2), optionalNumber(a, 3), typeArg(a, 4)}));
}

// FV(rate, nper, pmt[, pv[, type]])
Variant fv(const Args& a) {
    return finite(futureValue({a.number(0), a.number(1), a.number(2), optionalNumber(a, 3), 0, typeArg(a, 4)}));
}

// PV(rate, nper, pmt[, fv[, type]])
Variant pv(const Args& a) {
    const Annuity x{a.number(0), a.number(1), a.number(2), 0, optionalNumber(a, 3), typeArg(a, 4)};
    return finite(-(x.future + x.payment * paymentFactor(x)) / growth(x));
}

// NPer(rate, pmt, pv[, fv[, type]])
Variant nper(const Args& a) {
    const Annuity x{a.number(0), 0, a.number(1), a.number(2), optionalNumber(a, 3), typeArg(a, 4)};
    if (x.rate == 0) {
        if (x.payment == 0) invalidCall();
        return finite(-(x.present + x.future) / x.payment);
    }
    const double paid = x.payment * (1 + x.rate * x.type);
    const double ratio = (paid - x.future * x.rate) / (paid + x.present * x.rate);
    if (!(ratio > 0) || x.rate <= -1) invalidCall();
    return finite(std::log(ratio) / std::log(1 + x.rate));
}

// The interest part of payment `period` (1-based).
double interestPart(const Annuity& x, double period) {
    if (period < 1 || period > x.periods) invalidCall();
    if (x.type == 1 && period == 1) return 0;
    Annuity before = x;
    before.periods = period - 1;
    // The interest on the balance left after the payments before this one.
    const double interest = futureValue(before) * x.rate;
    return x.type == 1 ? interest / (1 + x.rate) : interest;
}

Annuity periodicArgs(const Args& a) {
    Annuity x{a.number(0), a.number(2), 0, a.number(3), optionalNumber(a, 4), typeArg(a, 5)};
    x.payment = payment(x);
    return x;
}

// IPmt(rate, per, nper, pv[, fv[, type]]) and PPmt with the same arguments.
Variant ipmt(const Args& a) { return finite(interestPart(periodicArgs(a), a.number(1))); }
Variant ppmt(const Args& a) {
    const Annuity x = periodicArgs(a);
    return finite(x.payment - interestPart(x, a.number(1)));
}

// Rate(nper, pmt, pv[, fv[, type[, guess]]]): Newton's method from the
// guess (10% when absent); no answer within 40 steps is an invalid call.
Variant rate(const Args& a) {
    Annuity x{a.has(5) ? a.number(5) : 0.1, a.number(0), a.number(1), a.number(2), optionalNumber(a, 3), typeArg(a, 4)};
    if (x.periods <= 0) invalidCall();
    const auto balance = [](const Annuity& at) { return at.present * growth(at) + at.payment * paymentFactor(at) + at.future; };
    for (int step = 0; step < 40; ++step) {
        const double h = std::max(1e-8, std::fabs(x.rate) * 1e-6);
        Annuity nearby = x;
        nearby.rate += h;
        const double f = balance(x);
        const double slope = (balance(nearby) - f) / h;
        if (slope == 0 || !std::isfinite(slope)) break;
        const double next = x.rate - f / slope;
        if (std::fabs(next - x.rate) < 1e-9) return finite(next);
        x.rate = next;
        if (x.rate <= -1) break;
    }
    invalidCall();
}

// SLN(cost, salvage, life): straight-line depreciation per period.
Variant sln(const Args& a) {
    const double life = a.number(2);
    if (life == 0) invalidCall();
    return Variant((a.number(0) - a.number(1)) / life);
}

// SYD(cost, salvage, life, period): sum-of-years' digits.
Variant syd(const Args& a) {
    const double life = a.number(2), period = a.number(3);
    if (life <= 0 || period <= 0 || period > life) invalidCall();
    return Variant((a.number(0) - a.number(1)) * (life - period + 1) * 2 / (life * (life + 1)));
}

// DDB(cost, salvage, life, period[, factor]): declining balance, never
// below the salvage value.
Variant ddb(const Args& a) {
    const double cost = a.number(0), salvage = a.number(1), life = a.number(2), period = a.number(3);
    const double factor = a.has(4) ? a.number(4) : 2;
    if (life <= 0 || period <= 0 || period > life || factor <= 0 || salvage < 0 || cost < 0) invalidCall();
    double book = cost, depreciation = 0;
    for (double p = 1; p <= period; ++p) {
        depreciation = std::min(book * factor / life, std::max(0.0, book - salvage));
        book -= depreciation;
    }
    return Variant(depreciation);
}

constexpr std::array kFunctions{
    FunctionEntry{"Pmt", 3, 5, kNullNone, &pmt},
    FunctionEntry{"PV", 3, 5, kNullNone, &pv},
    FunctionEntry{"FV", 3, 5, kNullNone, &fv},
    FunctionEntry{"NPer", 3, 5, kNullNone, &nper},
    FunctionEntry{"Rate", 3, 6, kNullNone, &rate},
    FunctionEntry{"IPmt", 4, 6, kNullNone, &ipmt},
    FunctionEntry{"PPmt", 4, 6, kNullNone, &ppmt},
    FunctionEntry{"SLN", 3, 3, kNullNone, &sln},
    FunctionEntry{"SYD", 4, 4, kNullNone, &syd},
    FunctionEntry{"DDB", 4, 5, kNullNone, &ddb},
};

}  // namespace

std::span<const FunctionEntry> financialFunctions() { return kFunctions; }

}  // namespace lumo::db::jet
