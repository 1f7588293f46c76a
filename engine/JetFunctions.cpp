#include "engine/JetFunctions.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Utf8.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db {
namespace {

// Dates leave the functions tagged with a subtype; newer SQLite wants such
// functions declared, or may drop the tag inside an index expression.
constexpr int kResultSubtype =
#ifdef SQLITE_RESULT_SUBTYPE
    SQLITE_RESULT_SUBTYPE;
#else
    0;
#endif

// lumo_date(x) of JetDateColumns.h: a Date/Time column's number as a date.
void dateTag(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int type = sqlite3_value_type(argv[0]);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) return sqlite3_result_value(ctx, argv[0]);
    sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
    sqlite3_result_subtype(ctx, jet::kDateSubtype);
}

// lumo_whole(x) of JetWholeColumns.h: a value assigned to a whole-number
// column, its fraction rounded to the nearest whole number, ties to even.
void wholeNumber(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_value* v = argv[0];
    // A text that is a number becomes that number, as the column's
    // affinity would make it; any other text stays text.
    if (sqlite3_value_type(v) == SQLITE_TEXT) sqlite3_value_numeric_type(v);
    if (sqlite3_value_type(v) != SQLITE_FLOAT) return sqlite3_result_value(ctx, v);
    const double value = sqlite3_value_double(v);
    // Beyond the 64-bit range the value becomes the nearest 64-bit end,
    // which the column's range check refuses as the overflow it is.
    if (value >= 9.2e18) return sqlite3_result_int64(ctx, std::numeric_limits<sqlite3_int64>::max());
    if (value <= -9.2e18) return sqlite3_result_int64(ctx, std::numeric_limits<sqlite3_int64>::min());
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(std::nearbyint(value)));  // default mode: ties to even
}

struct Registered {
    const jet::FunctionEntry* entry;
    std::string sqliteName;  // jet_ and the name in lower case
};


const std::vector<Registered>& registry() {
    static const std::vector<Registered> all = [] {
        std::vector<Registered> out;
        for (const auto family : {jet::textFunctions, jet::conversionFunctions, jet::mathFunctions,
                                  jet::choiceFunctions, jet::dateFunctions, jet::formatFunctions,
                                  jet::financialFunctions, jet::typeFunctions, jet::dollarForms}) {
            for (const jet::FunctionEntry& entry : family()) {
                std::string name = "jet_";
                for (char c : entry.name) name += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
                out.push_back({&entry, std::move(name)});
            }
        }
        return out;
    }();
    return all;
}

}  // namespace

std::optional<std::string_view> sqliteFunctionName(std::string_view jetName) {
    const std::optional<JetFunction> f = jetFunction(jetName);
    if (!f) return std::nullopt;
    return f->sqliteName;
}

std::optional<JetFunction> jetFunction(std::string_view jetName) {
    for (const Registered& r : registry())
        if (utf8::sameIgnoringAsciiCase(r.entry->name, jetName)) return JetFunction{r.sqliteName, r.entry};
    return std::nullopt;
}

// Every function takes any number of arguments and checks the count
// itself, so a wrong count is described in the layer's words.
void installJetFunctions(sqlite3* db) {
    for (const Registered& r : registry()) {
        const int flags = SQLITE_UTF8 | SQLITE_SUBTYPE | kResultSubtype | (r.entry->readsClock ? 0 : SQLITE_DETERMINISTIC);
        if (sqlite3_create_function_v2(db, r.sqliteName.c_str(), -1, flags, const_cast<jet::FunctionEntry*>(r.entry),
                                       &jet::callEntry, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw Error("関数 " + std::string(r.entry->name) + " を登録できません: " + sqlite3_errmsg(db));
    }
    if (sqlite3_create_function_v2(db, "lumo_date", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | kResultSubtype, nullptr,
                                   &dateTag, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Error(std::string("関数 lumo_date を登録できません: ") + sqlite3_errmsg(db));
    if (sqlite3_create_function_v2(db, "lumo_whole", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &wholeNumber,
                                   nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Error(std::string("関数 lumo_whole を登録できません: ") + sqlite3_errmsg(db));
}

}  // namespace lumo::db
