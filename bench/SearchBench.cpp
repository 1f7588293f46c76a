#include "bench/SearchBench.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "access/LumoAccess.h"
#include "bench/BenchData.h"
#include "bench/SqliteReader.h"
#include "client/AccessLibrary.h"
#include "platform/MessageSink.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "engine/SubstringIndex.h"
#include "engine/JetSql.h"

namespace lumo::bench {
namespace {

using namespace LumoAccess;
using Rows = std::vector<std::vector<std::string>>;

// The baselines: hand-written for SQLite, @ standing for the word. The
// phone and mail columns are the first home, office and mail rows, read
// where the file keeps them per person (lumo_first_phone, lumo_first_mail).
constexpr std::string_view kPersonColumns =
    "SELECT P.PERSON_ID, ifnull(P.LASTNAME, '') || ifnull(P.FIRSTNAME, ''), P.COMPANY, "
    "(SELECT F.TEL_NUMBER FROM lumo_first_phone F WHERE F.PERSON_ID = P.PERSON_ID AND F.TYPE = 'OFFICE'), "
    "(SELECT F.TEL_NUMBER FROM lumo_first_phone F WHERE F.PERSON_ID = P.PERSON_ID AND F.TYPE = 'HOME'), "
    "(SELECT M.MAIL_ADDRESS FROM lumo_first_mail M WHERE M.PERSON_ID = P.PERSON_ID), "
    "G.LABEL, ifnull(P.LASTALIAS, '') || ifnull(P.FIRSTALIAS, ''), P.ALIAS "
    "FROM T_PERSON P JOIN T_GROUPING G ON G.TYPE_ID = P.TYPE_ID WHERE ";
constexpr std::string_view kPersonByName =
    "P.LASTNAME LIKE '%@%' OR P.FIRSTNAME LIKE '%@%' OR P.LASTALIAS LIKE '%@%' OR P.FIRSTALIAS LIKE '%@%' "
    "OR P.ALIAS LIKE '%@%' OR P.COMPANY LIKE '%@%' OR P.MATEALIAS LIKE '%@%' OR P.MATE LIKE '%@%'";
// A word of three characters or more: the file's search index first (#
// stands for the index query of the word), as anyone writing the query by
// hand for this file would.
constexpr std::string_view kPersonByNameIndexed =
    "P.PERSON_ID IN (SELECT rowid FROM lumo_search_person WHERE lumo_search_person MATCH '#' "
    "UNION ALL SELECT PERSON_ID FROM lumo_search_person_unindexed) AND (P.LASTNAME LIKE '%@%' OR "
    "P.FIRSTNAME LIKE '%@%' OR P.LASTALIAS LIKE '%@%' OR P.FIRSTALIAS LIKE '%@%' OR P.ALIAS LIKE '%@%' OR "
    "P.COMPANY LIKE '%@%' OR P.MATEALIAS LIKE '%@%' OR P.MATE LIKE '%@%')";
constexpr std::string_view kPersonByPhoneIndexed =
    "P.PERSON_ID IN (SELECT PERSON_ID FROM T_PHONE WHERE PHONE_ID IN (SELECT rowid FROM lumo_search_phone "
    "WHERE lumo_search_phone MATCH '#' UNION ALL SELECT PHONE_ID FROM lumo_search_phone_unindexed) "
    "AND TEL_NUMBER LIKE '%@%')";

constexpr std::string_view kSheetColumns =
    "SELECT S.SHEET_ID, S.SHEET_DATE, I.ITEM_NAME, SP.SUPPLIER, C.CUSTOMER, S.QUANTITY, S.SALES_UNITPRICE, "
    "S.STOCK_UNITPRICE, S.ID, SP.ALIAS, C.ALIAS, I.ITEM_ALIAS, G.ILABEL "
    "FROM T_ITEMS I JOIN T_iGROUPING G ON G.ITYPE_ID = I.ITYPE_ID JOIN T_SHEET S ON S.GOODS_ID = I.ID "
    "LEFT JOIN T_iCUSTOMER C ON C.CUSTOMER_ID = S.CUSTOMER_ID "
    "LEFT JOIN T_iSUPPLIER SP ON SP.SUPPLIER_ID = S.SUPPLIER_ID WHERE ";
constexpr std::string_view kSheetByGoods =
    "G.ILABEL LIKE '%@%' OR I.ITEM_ALIAS LIKE '%@%' OR I.ITEM_NAME LIKE '%@%' OR I.ITEM_FORM LIKE '%@%'";
// Sheets of the matching customers and suppliers, each found by its index.
constexpr std::string_view kSheetByTrader =
    "S.ID IN (SELECT ID FROM T_SHEET WHERE CUSTOMER_ID IN (SELECT CUSTOMER_ID FROM T_iCUSTOMER WHERE "
    "ALIAS LIKE '%@%' OR CUSTOMER LIKE '%@%' OR ifnull(CLAST_ALIAS, '') || ifnull(CFIRST_ALIAS, '') LIKE '%@%' "
    "OR ifnull(CLAST_NAME, '') || ifnull(CFIRST_NAME, '') LIKE '%@%') "
    "UNION ALL SELECT ID FROM T_SHEET WHERE SUPPLIER_ID IN (SELECT SUPPLIER_ID FROM T_iSUPPLIER WHERE "
    "ALIAS LIKE '%@%' OR SUPPLIER LIKE '%@%' OR ifnull(SLAST_ALIAS, '') || ifnull(SFIRST_ALIAS, '') LIKE '%@%' "
    "OR ifnull(SLAST_NAME, '') || ifnull(SFIRST_NAME, '') LIKE '%@%'))";

enum class List { Persons, Sheets };

struct SearchCase {
    std::string_view name;  // benchmark name part
    std::string_view what;  // for the table
    List list;
    std::string_view first, second;  // the two words of CreateSimpleViewQuery
    std::string_view baselineColumns, baselineFilter;
};

// ルミナ: 10 persons, 10 sheets; 佐藤: every tenth person; SP-00: 9 of
// the 50 goods; -1234: two numbers each of 10 persons; 仕入先 05: one of
// the 20 suppliers.
constexpr std::array<SearchCase, 6> kCases{{
    {"person/a_rare_name", "persons, name ルミナ", List::Persons, "ルミナ", "", kPersonColumns, kPersonByNameIndexed},
    {"person/b_common_name", "persons, name 佐藤", List::Persons, "佐藤", "", kPersonColumns, kPersonByName},
    {"person/c_phone", "persons, phone -1234", List::Persons, "", "-1234", kPersonColumns, kPersonByPhoneIndexed},
    {"sheet/a_rare_goods", "sheets, goods ルミナ", List::Sheets, "ルミナ", "", kSheetColumns, kSheetByGoods},
    {"sheet/b_common_goods", "sheets, goods SP-00", List::Sheets, "SP-00", "", kSheetColumns, kSheetByGoods},
    {"sheet/c_counterpart", "sheets, trader 仕入先 05", List::Sheets, "", "仕入先 05", kSheetColumns, kSheetByTrader},
}};

constexpr int kCalls = 7;  // samples per case
constexpr std::chrono::milliseconds kSample{20};

std::string benchmarkName(const SearchCase& c, std::string_view who) {
    return "search/" + std::string(c.name) + "/" + std::string(who);
}

// The baseline's text for `word`: @ is the word, # the query of the
// search index for it (its trigrams), quotes doubled for the SQL literal.
std::string withWord(std::string_view pattern, std::string_view word) {
    const std::vector<db::SqlLiteral> like{{db::SqlLiteral::Kind::Text, 0, 0, "%" + std::string(word) + "%"}};
    const std::string query = db::substringQuery(like, {0}).value_or("");
    std::string out;
    for (char ch : pattern) {
        if (ch == '@') out += word;
        else if (ch == '#')
            for (char q : query) out += q == '\'' ? std::string("''") : std::string(1, q);
        else out += ch;
    }
    return out;
}

// Values compared as text; numbers (dates included) by their value.
std::string numberText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string canonical(const db::Variant& v) {
    if (v.isNull() || v.isEmpty()) return "";
    if (const std::string* s = v.stringValue()) return *s;
    return numberText(v.toDouble());
}

// The client's side: the library's statement, opened on the client's own
// connection through the engine, every value of every row read.
class Client {
public:
    Client(const std::string& personDatabase, const std::string& itemDatabase) {
        auto& library = client::AccessLibrary::instance();
        persons_ = library.create<clsPidAccess>();
        items_ = library.create<clsIidAccess>();
        personDb_.Open(connectionFor(personDatabase));
        itemDb_.Open(connectionFor(itemDatabase));
    }

    Rows run(const SearchCase& c) {
        const String first(c.first), second(c.second);
        const bool people = c.list == List::Persons;
        const String sql = people ? persons_->CreateSimpleViewQuery(first, second)
                                  : items_->CreateSimpleViewQuery(first, second);
        db::Recordset rs;
        rs.Open(sql, people ? personDb_ : itemDb_, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        Rows rows;
        const int columns = rs.FieldCount();
        for (; !rs.Eof(); rs.MoveNext()) {
            auto& row = rows.emplace_back();
            for (int i = 0; i < columns; ++i) row.push_back(canonical(rs.Fields(i).Value()));
        }
        return rows;
    }

private:
    Ref<clsPidAccess> persons_;
    Ref<clsIidAccess> items_;
    db::Connection personDb_, itemDb_;
};

Rows runBaseline(const SqliteFile& file, const SearchCase& c) {
    const std::string_view word = c.first.empty() ? c.second : c.first;
    const std::string sql = std::string(c.baselineColumns) + withWord(c.baselineFilter, word);
    SqliteQuery q(file, sql);
    Rows rows;
    while (q.step()) {
        auto& row = rows.emplace_back();
        for (int i = 0; i < q.columnCount(); ++i)
            row.push_back(q.isNull(i) ? std::string() : q.isNumber(i) ? numberText(q.real(i)) : std::string(q.text(i)));
    }
    return rows;
}

// Both sides' subjects, made on first use so that a filtered-out run opens
// nothing.
struct Subjects {
    Client client;
    SqliteFile personFile, itemFile;
    Subjects(const std::string& personDatabase, const std::string& itemDatabase)
        : client(personDatabase, itemDatabase), personFile(personDatabase), itemFile(itemDatabase) {}
};

struct Shared {
    std::string personDatabase, itemDatabase;
    std::unique_ptr<Subjects> subjects;
    std::map<std::string, bool> agree;   // by case name: the two sides' rows are the same
    std::map<std::string, std::size_t> rows;
    Subjects& get() {
        if (!subjects) subjects = std::make_unique<Subjects>(personDatabase, itemDatabase);
        return *subjects;
    }
};

Shared& shared() {
    static Shared s;
    return s;
}

Rows sorted(Rows rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

template <class Call>
void timeCalls(benchmark::State& state, Call call) {
    std::string report;
    ScopedMessageSink sink([&](const MessageRequest& request) {
        if (report.empty()) report = request.text;
        return safeAnswer(request.buttons);
    });
    std::vector<double> millis;
    try {
        // A sample is the mean of as many calls as fill kSample (one call
        // at least): a search that takes a fraction of a millisecond is
        // then timed warm, as a client typing into a search box runs it,
        // and not by one call right after another case's work.
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            std::chrono::duration<double, std::milli> spent{};
            int calls = 0;
            do {
                benchmark::DoNotOptimize(call());
                ++calls;
                spent = std::chrono::steady_clock::now() - start;
            } while (spent < kSample);
            millis.push_back(spent.count() / calls);
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    if (!report.empty()) state.SkipWithError(("the library reported: " + report).c_str());
    if (millis.empty()) return;
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["min_ms"] = millis.front();
}

void registerCase(const SearchCase& c) {
    benchmark::RegisterBenchmark(benchmarkName(c, "ours").c_str(), [&c](benchmark::State& state) {
        Subjects* s = nullptr;
        try {
            s = &shared().get();
            // The rows are compared once, outside the timed calls.
            const Rows ours = sorted(s->client.run(c));
            const Rows baseline = sorted(runBaseline(c.list == List::Persons ? s->personFile : s->itemFile, c));
            shared().agree[std::string(c.name)] = ours == baseline;
            shared().rows[std::string(c.name)] = ours.size();
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
        timeCalls(state, [&] { return s->client.run(c).size(); });
    })->Iterations(kCalls)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(benchmarkName(c, "baseline").c_str(), [&c](benchmark::State& state) {
        Subjects* s = nullptr;
        try {
            s = &shared().get();
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
        const SqliteFile& file = c.list == List::Persons ? s->personFile : s->itemFile;
        timeCalls(state, [&] { return runBaseline(file, c).size(); });
    })->Iterations(kCalls)->Unit(benchmark::kMillisecond)->UseRealTime();
}

std::string fixed(double value, int decimals) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string pad(const std::string& text, std::size_t width, bool left) {
    // Columns count characters, not UTF-8 bytes.
    std::size_t shown = 0;
    for (unsigned char ch : text) shown += (ch & 0xC0) != 0x80;
    const std::string fill(width > shown ? width - shown : 0, ' ');
    return left ? fill + text : text + fill;
}

}  // namespace

void registerSearchBenchmarks(const std::string& personDatabase, const std::string& itemDatabase) {
    shared().personDatabase = personDatabase;
    shared().itemDatabase = itemDatabase;
    for (const SearchCase& c : kCases) registerCase(c);
}

bool printSearchReport(std::ostream& out, const CollectingReporter& results, const Measurement* personalRead) {
    bool good = true;
    out << "\n"
        << pad("Searches (" + std::to_string(kCalls) + " samples of >= 20 ms)", 30, false) << pad("rows", 8, true)
        << pad("ours ms", 18, true) << pad("baseline ms", 18, true) << pad("ours/base", 11, true) << "  rows agree\n";
    out << pad("", 30, false) << pad("", 8, true) << pad("median (min)", 18, true) << pad("median (min)", 18, true)
        << "\n";
    double selective = 0;
    for (const SearchCase& c : kCases) {
        const Measurement* ours = results.find(benchmarkName(c, "ours"));
        const Measurement* base = results.find(benchmarkName(c, "baseline"));
        if (!ours && !base) continue;
        out << pad(std::string(c.what), 30, false);
        if (!ours || !ours->ok() || !base || !base->ok()) {
            out << "  FAILED: " << (ours && !ours->error.empty() ? ours->error : base ? base->error : "") << "\n";
            good = false;
            continue;
        }
        const double o = ours->medianCounter("median_ms"), b = base->medianCounter("median_ms");
        const bool agree = shared().agree[std::string(c.name)];
        good = good && agree;
        if (c.name == kCases[0].name) selective = o;
        out << pad(std::to_string(shared().rows[std::string(c.name)]), 8, true)
            << pad(fixed(o, 2) + " (" + fixed(ours->medianCounter("min_ms"), 2) + ")", 18, true)
            << pad(fixed(b, 2) + " (" + fixed(base->medianCounter("min_ms"), 2) + ")", 18, true)
            << pad(fixed(o / b, 2), 11, true) << "  " << (agree ? "yes" : "NO") << "\n";
    }
    if (selective > 0 && personalRead && personalRead->ok()) {
        const double read = personalRead->medianCounter("median_us") / 1000.0;
        out << "Selective person search / one GetPersonalInformation call: " << fixed(selective, 2) << " ms / "
            << fixed(read, 3) << " ms = " << fixed(selective / read, 1) << "\n";
    }
    if (!good) out << "WARNING: a search failed or its rows differ from the baseline's\n";
    return good;
}

}  // namespace lumo::bench
