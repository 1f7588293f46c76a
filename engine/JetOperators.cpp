#include "engine/JetOperators.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/Error.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db {
namespace {

constexpr const char* kDivisionByZero = "0 で除算しました。";
constexpr const char* kTypeMismatch = "型が一致しません。";
constexpr const char* kOverflow = "オーバーフローしました。";
constexpr const char* kInvalidCall = "プロシージャの呼び出し、または引数が不正です。";

// A numeric operand: whole numbers stay whole so that sums of keys and
// counts keep their type, as Jet's Long arithmetic does.
struct Number {
    bool whole = true;
    std::int64_t integer = 0;
    double real = 0;
    double value() const { return whole ? static_cast<double>(integer) : real; }
};

// Why an operand could not be read: nothing (a Null operand) or a failure
// already reported on the context.
enum class Missing { Null, Failed };

struct Read {
    std::optional<Number> number;
    Missing missing = Missing::Null;
};

std::string_view textOf(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

Read readNumber(sqlite3_context* ctx, sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return {Number{true, sqlite3_value_int64(v), 0}};
    case SQLITE_FLOAT: return {Number{false, 0, sqlite3_value_double(v)}};
    case SQLITE_TEXT:
        if (const std::optional<double> d = jetNumberFromText(textOf(v))) {
            if (std::nearbyint(*d) == *d && std::fabs(*d) < 9.0e18) return {Number{true, static_cast<std::int64_t>(*d), 0}};
            return {Number{false, 0, *d}};
        }
        [[fallthrough]];
    default:
        sqlite3_result_error(ctx, kTypeMismatch, -1);
        return {std::nullopt, Missing::Failed};
    }
}

// A real result: infinity or NaN means the value left Double's range. A
// zero is written without a sign (adding 0.0 turns -0.0 into 0.0): Jet
// shows no -0, so 0 * -1.5 is 0 wherever the value goes.
void resultReal(sqlite3_context* ctx, double d) {
    if (!std::isfinite(d)) sqlite3_result_error(ctx, kOverflow, -1);
    else sqlite3_result_double(ctx, d + 0.0);
}

// Two numeric operands, or nothing once the result (Null or an error) is
// set. A Null operand makes the result Null whatever the other one is.
bool readPair(sqlite3_context* ctx, sqlite3_value** argv, Number& a, Number& b) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return false;
    }
    const Read x = readNumber(ctx, argv[0]);
    if (!x.number) return false;
    const Read y = readNumber(ctx, argv[1]);
    if (!y.number) return false;
    a = *x.number;
    b = *y.number;
    return true;
}

// Whole-number arithmetic with a checked result; real otherwise.
template <class WholeOp, class RealOp>
void arithmetic(sqlite3_context* ctx, sqlite3_value** argv, WholeOp wholeOp, RealOp realOp) {
    Number a, b;
    if (!readPair(ctx, argv, a, b)) return;
    if (a.whole && b.whole) {
        std::int64_t r = 0;
        if (wholeOp(a.integer, b.integer, &r)) sqlite3_result_error(ctx, kOverflow, -1);
        else sqlite3_result_int64(ctx, r);
        return;
    }
    resultReal(ctx, realOp(a.value(), b.value()));
}

void addFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
        std::string joined(textOf(argv[0]));
        joined += textOf(argv[1]);
        sqlite3_result_text(ctx, joined.data(), static_cast<int>(joined.size()), SQLITE_TRANSIENT);
        return;
    }
    arithmetic(ctx, argv, [](std::int64_t x, std::int64_t y, std::int64_t* r) { return __builtin_add_overflow(x, y, r); },
               [](double x, double y) { return x + y; });
}

void subFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    arithmetic(ctx, argv, [](std::int64_t x, std::int64_t y, std::int64_t* r) { return __builtin_sub_overflow(x, y, r); },
               [](double x, double y) { return x - y; });
}

void mulFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    arithmetic(ctx, argv, [](std::int64_t x, std::int64_t y, std::int64_t* r) { return __builtin_mul_overflow(x, y, r); },
               [](double x, double y) { return x * y; });
}

void divFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    Number a, b;
    if (!readPair(ctx, argv, a, b)) return;
    if (b.value() == 0) sqlite3_result_error(ctx, kDivisionByZero, -1);
    else resultReal(ctx, a.value() / b.value());
}

// Jet rounds the operands of \ and Mod to whole numbers, halves to even.
std::optional<std::int64_t> rounded(sqlite3_context* ctx, const Number& n) {
    if (n.whole) return n.integer;
    const double r = std::nearbyint(n.real);
    if (!(std::fabs(r) < 9.2e18)) {
        sqlite3_result_error(ctx, kOverflow, -1);
        return std::nullopt;
    }
    return static_cast<std::int64_t>(r);
}

template <class Op>
void wholeDivision(sqlite3_context* ctx, sqlite3_value** argv, Op op) {
    Number a, b;
    if (!readPair(ctx, argv, a, b)) return;
    const std::optional<std::int64_t> x = rounded(ctx, a);
    if (!x) return;
    const std::optional<std::int64_t> y = rounded(ctx, b);
    if (!y) return;
    if (*y == 0) sqlite3_result_error(ctx, kDivisionByZero, -1);
    else if (*x == std::numeric_limits<std::int64_t>::min() && *y == -1) sqlite3_result_error(ctx, kOverflow, -1);
    else sqlite3_result_int64(ctx, op(*x, *y));
}

void idivFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    wholeDivision(ctx, argv, [](std::int64_t x, std::int64_t y) { return x / y; });
}

void modFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    wholeDivision(ctx, argv, [](std::int64_t x, std::int64_t y) { return x % y; });
}

void powFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    Number a, b;
    if (!readPair(ctx, argv, a, b)) return;
    const double x = a.value(), y = b.value();
    if (x == 0 && y < 0) sqlite3_result_error(ctx, kDivisionByZero, -1);
    else if (x < 0 && std::nearbyint(y) != y) sqlite3_result_error(ctx, kInvalidCall, -1);
    else resultReal(ctx, std::pow(x, y));
}

void negFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const Read x = readNumber(ctx, argv[0]);
    if (!x.number) {
        if (x.missing == Missing::Null) sqlite3_result_null(ctx);
        return;
    }
    if (!x.number->whole) return resultReal(ctx, -x.number->real);
    if (x.number->integer == std::numeric_limits<std::int64_t>::min()) return sqlite3_result_error(ctx, kOverflow, -1);
    sqlite3_result_int64(ctx, -x.number->integer);
}

// The logical operators: an operand is Null or a whole number.
std::optional<std::int64_t> logicalOperand(sqlite3_context* ctx, sqlite3_value* v, bool& failed) {
    const Read r = readNumber(ctx, v);
    if (!r.number) {
        failed = r.missing == Missing::Failed;
        return std::nullopt;
    }
    const std::optional<std::int64_t> n = rounded(ctx, *r.number);
    failed = !n;
    return n;
}

void notFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    bool failed = false;
    const std::optional<std::int64_t> x = logicalOperand(ctx, argv[0], failed);
    if (failed) return;
    if (x) sqlite3_result_int64(ctx, ~*x);
    else sqlite3_result_null(ctx);
}

// Each binary logical operator: its bitwise meaning, and its result when
// exactly one operand is Null (given the other), where Jet knows it.
struct Logical {
    std::int64_t (*bits)(std::int64_t, std::int64_t);
    // For a Null first operand and the second one given; nothing for Null.
    std::optional<std::int64_t> (*nullFirst)(std::int64_t);
    std::optional<std::int64_t> (*nullSecond)(std::int64_t);
};

constexpr std::int64_t kTrue = -1;

std::optional<std::int64_t> unknown(std::int64_t) { return std::nullopt; }

// False And anything is False; True (any number but 0) Or anything is True.
std::optional<std::int64_t> falseIfFalse(std::int64_t v) { return v == 0 ? std::optional<std::int64_t>(0) : std::nullopt; }
std::optional<std::int64_t> trueIfTrue(std::int64_t v) { return v != 0 ? std::optional<std::int64_t>(kTrue) : std::nullopt; }
// Anything Imp True is True; False Imp anything is True.
std::optional<std::int64_t> trueIfFalse(std::int64_t v) { return v == 0 ? std::optional<std::int64_t>(kTrue) : std::nullopt; }

// Beside a Null the other operand counts as a truth, any number but 0 as
// True, and the result is the truth table's (True Or Null is True, so
// 37 Or Null is -1; Null Imp 37 is -1), never a mix of bits:
//   And: 0 with Null is 0, anything else with Null is Null
//   Or:  a number but 0 with Null is -1, 0 with Null is Null
//   Imp: Null Imp x is -1 for x <> 0, x Imp Null is -1 for x = 0, else Null
//   Xor, Eqv: Null
constexpr Logical kAnd{[](std::int64_t a, std::int64_t b) { return a & b; }, falseIfFalse, falseIfFalse};
constexpr Logical kOr{[](std::int64_t a, std::int64_t b) { return a | b; }, trueIfTrue, trueIfTrue};
constexpr Logical kXor{[](std::int64_t a, std::int64_t b) { return a ^ b; }, unknown, unknown};
constexpr Logical kEqv{[](std::int64_t a, std::int64_t b) { return ~(a ^ b); }, unknown, unknown};
constexpr Logical kImp{[](std::int64_t a, std::int64_t b) { return ~a | b; }, trueIfTrue, trueIfFalse};

template <const Logical& op>
void logicalFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    bool failed = false;
    const std::optional<std::int64_t> a = logicalOperand(ctx, argv[0], failed);
    if (failed) return;
    const std::optional<std::int64_t> b = logicalOperand(ctx, argv[1], failed);
    if (failed) return;
    std::optional<std::int64_t> r;
    if (a && b) r = op.bits(*a, *b);
    else if (b) r = op.nullFirst(*b);
    else if (a) r = op.nullSecond(*a);
    if (r) sqlite3_result_int64(ctx, *r);
    else sqlite3_result_null(ctx);
}

// Orders two Between bounds: numbers by value, texts ignoring case, and a
// number before a text (as SQLite orders them).
bool lessBound(sqlite3_value* a, sqlite3_value* b) {
    const int ta = sqlite3_value_type(a), tb = sqlite3_value_type(b);
    const bool textA = ta == SQLITE_TEXT || ta == SQLITE_BLOB, textB = tb == SQLITE_TEXT || tb == SQLITE_BLOB;
    if (textA != textB) return !textA;
    if (!textA) return sqlite3_value_double(a) < sqlite3_value_double(b);
    return sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_value_text(a)),
                           reinterpret_cast<const char*>(sqlite3_value_text(b))) < 0;
}

template <bool high>
void boundFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const bool swap = lessBound(argv[1], argv[0]);
    sqlite3_result_value(ctx, argv[(swap != high) ? 1 : 0]);
}

struct Registration {
    const char* name;
    int arguments;
    void (*function)(sqlite3_context*, int, sqlite3_value**);
};

constexpr std::array<Registration, 16> kOperators{{
    {"lumo_add", 2, addFunction},
    {"lumo_sub", 2, subFunction},
    {"lumo_mul", 2, mulFunction},
    {"lumo_div", 2, divFunction},
    {"lumo_idiv", 2, idivFunction},
    {"lumo_mod", 2, modFunction},
    {"lumo_pow", 2, powFunction},
    {"lumo_neg", 1, negFunction},
    {"lumo_not", 1, notFunction},
    {"lumo_and", 2, logicalFunction<kAnd>},
    {"lumo_or", 2, logicalFunction<kOr>},
    {"lumo_xor", 2, logicalFunction<kXor>},
    {"lumo_eqv", 2, logicalFunction<kEqv>},
    {"lumo_imp", 2, logicalFunction<kImp>},
    {"lumo_low", 2, boundFunction<false>},
    {"lumo_high", 2, boundFunction<true>},
}};

}  // namespace

std::optional<double> jetNumberFromText(std::string_view text) {
    double value = 0;
    try {
        if (jet::readNumber(text, value)) return value;
    } catch (const Error&) {
        // Beyond a Double's range: a number still, which overflows.
        return std::numeric_limits<double>::infinity();
    }
    return std::nullopt;
}

void installJetOperators(sqlite3* db) {
    for (const Registration& r : kOperators)
        if (sqlite3_create_function_v2(db, r.name, r.arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, r.function,
                                       nullptr, nullptr, nullptr) != SQLITE_OK)
            throw Error(std::string("演算子 ") + r.name + " を登録できません: " + sqlite3_errmsg(db));
}

}  // namespace lumo::db
