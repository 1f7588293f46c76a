#include "engine/JetAggregates.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "platform/Error.h"
#include "platform/Utf8.h"
#include "engine/JetOperators.h"

namespace lumo::db {
namespace {

constexpr std::array<std::string_view, 12> kAggregates{"COUNT", "SUM",   "TOTAL",  "AVG", "MIN",  "MAX",
                                                       "FIRST", "LAST",  "STDEV",  "STDEVP", "VAR", "VARP"};

// First and Last keep a copy of one value; the copy is SQLite's and is
// freed when the group is finished (SQLite finalises every group it
// started, a statement reset or failed included).
struct Kept {
    sqlite3_value* value;
    bool seen;
};

template <bool last>
void keepStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* kept = static_cast<Kept*>(sqlite3_aggregate_context(ctx, sizeof(Kept)));
    if (!kept) return sqlite3_result_error_nomem(ctx);
    if (kept->seen && !last) return;
    sqlite3_value* copy = sqlite3_value_dup(argv[0]);
    if (!copy) return sqlite3_result_error_nomem(ctx);
    sqlite3_value_free(kept->value);
    kept->value = copy;
    kept->seen = true;
}

void keepFinal(sqlite3_context* ctx) {
    auto* kept = static_cast<Kept*>(sqlite3_aggregate_context(ctx, 0));
    if (!kept || !kept->value) return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, kept->value);
    sqlite3_value_free(kept->value);
    kept->value = nullptr;
}

// The running count, mean and sum of squared deviations (Welford), which
// stay accurate where a sum of squares would lose the small differences.
struct Spread {
    double count, mean, squares;
};

void spreadStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, sizeof(Spread)));
    if (!s) return sqlite3_result_error_nomem(ctx);
    double x = 0;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: x = sqlite3_value_double(argv[0]); break;
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        const std::optional<double> n =
            text ? jetNumberFromText(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[0]))))
                 : std::nullopt;
        if (!n) return sqlite3_result_error(ctx, "型が一致しません。", -1);
        if (!std::isfinite(*n)) return sqlite3_result_error(ctx, "オーバーフローしました。", -1);
        x = *n;
    }
    }
    s->count += 1;
    const double delta = x - s->mean;
    s->mean += delta / s->count;
    s->squares += delta * (x - s->mean);
}

template <bool sample, bool root>
void spreadFinal(sqlite3_context* ctx) {
    const auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, 0));
    const double n = s ? s->count : 0;
    if (n < (sample ? 2 : 1)) return sqlite3_result_null(ctx);
    const double variance = s->squares / (sample ? n - 1 : n);
    sqlite3_result_double(ctx, root ? std::sqrt(variance) : variance);
}

struct Aggregate {
    const char* name;
    void (*step)(sqlite3_context*, int, sqlite3_value**);
    void (*final)(sqlite3_context*);
};

constexpr std::array<Aggregate, 6> kJetAggregates{{
    {"First", keepStep<false>, keepFinal},
    {"Last", keepStep<true>, keepFinal},
    {"StDev", spreadStep, spreadFinal<true, true>},
    {"StDevP", spreadStep, spreadFinal<false, true>},
    {"Var", spreadStep, spreadFinal<true, false>},
    {"VarP", spreadStep, spreadFinal<false, false>},
}};

}  // namespace

bool isAggregateName(std::string_view name) {
    // Asked of every word of a new statement's select list: most words are
    // told apart by their length and first letter before any comparison.
    if (name.size() < 3 || name.size() > 6) return false;
    const char first = static_cast<char>(name[0] & ~0x20);
    for (const std::string_view a : kAggregates)
        if (a.size() == name.size() && a[0] == first && utf8::sameIgnoringAsciiCase(a, name)) return true;
    return false;
}

bool answersOneOfItsValues(std::string_view name) {
    for (const std::string_view a : {"MIN", "MAX", "FIRST", "LAST"})
        if (utf8::sameIgnoringAsciiCase(a, name)) return true;
    return false;
}

void installJetAggregates(sqlite3* db) {
    for (const Aggregate& a : kJetAggregates)
        if (sqlite3_create_function_v2(db, a.name, 1, SQLITE_UTF8, nullptr, nullptr, a.step, a.final, nullptr) !=
            SQLITE_OK)
            throw Error(std::string("集計関数 ") + a.name + " を登録できません: " + sqlite3_errmsg(db));
}

}  // namespace lumo::db
