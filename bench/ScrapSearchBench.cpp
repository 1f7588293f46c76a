// lumo_scrap_bench: the scrap search as a client runs it (the statement of
// clsScrapAccess::CreateSimpleViewQuery opened through the engine layer,
// every column of every row read) against a hand-written SQLite query of
// the same rows, on the scrap book of `lumo init --sample --scraps 100000`.
//
//   lumo_scrap_bench [--data DIR] [--runs N]
//
// DIR (default $LUMO_BENCH_DATA, else /tmp/lumo-bench-data) holds the
// folder "scraps" that scripts/bench creates. Each search runs N times (at
// least 5, default 7), ours and the baseline in turn, timed in processor
// time; the table gives the medians, the minimums and both ratios
// ours/baseline (goal: at most 2).
// The exit status is 1 when the two return different rows.
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <string>
#include <tuple>
#include <vector>

#include "access/LumoAccess.h"
#include "bench/BenchData.h"
#include "bench/SqliteReader.h"
#include "client/AccessLibrary.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "engine/ProgramSettings.h"

namespace fs = std::filesystem;
using namespace lumo;
using namespace lumo::bench;

namespace {

struct Row {
    std::int64_t id = 0;
    double registered = 0;
    std::string title, keyword, source, label, bodyPath;
    auto key() const { return std::tie(id, registered, title, keyword, source, label, bodyPath); }
    bool operator<(const Row& o) const { return key() < o.key(); }
    bool operator==(const Row& o) const { return key() == o.key(); }
};

struct Search {
    const char* name;
    const char* keyword;
    const char* other;
};

// Both words (about 60% of the scraps), the keyword alone (all of them),
// and a title word that picks 100 of 100,000.
constexpr Search kSearches[] = {{"keyword and other word", "サンプル", "新聞"},
                                {"keyword only", "サンプル", ""},
                                {"rare title word", "", "スクラップ 0999"}};

std::string textOr(const db::Variant& v) { return v.isNull() ? std::string() : v.toString(); }

std::vector<Row> ours(LumoAccess::clsScrapAccess& scrap, db::Connection& cnn, const Search& s) {
    db::Recordset rs;
    rs.Open(scrap.CreateSimpleViewQuery(s.keyword, s.other), cnn, db::adOpenForwardOnly, db::adLockReadOnly,
            db::adCmdText);
    std::vector<Row> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        Row r;
        r.id = rs.Fields("ID").Value().toLong();
        const db::Variant& date = rs.Fields("REG_DATE").Value();
        r.registered = date.isNull() ? 0 : date.toDate();
        r.title = textOr(rs.Fields("TITLE").Value());
        r.keyword = textOr(rs.Fields("KEYWORD").Value());
        r.source = textOr(rs.Fields("SOURCE").Value());
        r.label = textOr(rs.Fields("LABEL").Value());
        r.bodyPath = textOr(rs.Fields("BODY_PATH").Value());
        rows.push_back(std::move(r));
    }
    return rows;
}

// The same search written for SQLite by hand: bound patterns, one join.
std::vector<Row> baseline(const SqliteFile& file, const Search& s) {
    std::string sql =
        "SELECT s.ID, s.REG_DATE, s.TITLE, s.KEYWORD, s.SOURCE, g.LABEL, s.BODY_PATH "
        "FROM T_GROUPING g JOIN T_SCRAP s ON g.LABEL_ID = s.LABEL_ID WHERE ";
    const std::string keyword = std::string("%") + s.keyword + "%", other = std::string("%") + s.other + "%";
    std::vector<std::string> words;
    if (*s.keyword) {
        sql += "s.KEYWORD LIKE ?";
        words.push_back(keyword);
    }
    if (*s.other) {
        sql += *s.keyword ? " AND " : "";
        sql += "(s.SOURCE LIKE ?" + std::to_string(words.size() + 1) + " OR g.LABEL LIKE ?" +
               std::to_string(words.size() + 1) + " OR s.TITLE LIKE ?" + std::to_string(words.size() + 1) + ")";
        words.push_back(other);
    }
    SqliteQuery q(file, sql);
    for (std::size_t i = 0; i < words.size(); ++i) q.bind(static_cast<int>(i + 1), words[i]);
    std::vector<Row> rows;
    while (q.step()) {
        rows.push_back({q.integer(0), q.real(1), std::string(q.text(2)), std::string(q.text(3)),
                        std::string(q.text(4)), std::string(q.text(5)), std::string(q.text(6))});
    }
    return rows;
}

// Processor time of this process: both sides run on this thread over the
// same cached file, and on a shared machine the wall clock also counts
// other people's work.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

template <class F>
double milliseconds(F&& f) {
    const double start = cpuSeconds();
    f();
    return (cpuSeconds() - start) * 1000;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    lumo::db::configureSqliteForProgram();  // measured as the programs run
    const char* env = std::getenv("LUMO_BENCH_DATA");
    fs::path data = env && *env ? env : "/tmp/lumo-bench-data";
    int runs = 7;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view a = argv[i];
        if (a == "--data") data = argv[i + 1];
        else if (a == "--runs") runs = std::max(5, std::atoi(argv[i + 1]));
    }
    const std::string database = (data / "scraps" / "Data" / "LumoScrap.mdb").string();
    if (!fs::exists(database)) {
        std::cerr << "missing " << database << " (lumo init --sample --scraps 100000 " << (data / "scraps").string()
                  << ")\n";
        return 1;
    }
    try {
        auto scrap = client::AccessLibrary::instance().create<LumoAccess::clsScrapAccess>();
        db::Connection cnn;
        cnn.Open(connectionFor(database));
        const SqliteFile file(database);
        bool same = true;
        std::cout << std::fixed << std::setprecision(1) << "scrap search, " << runs
                  << " runs each (CPU ms)  rows  ours med / min  baseline med / min  ratio med  ratio min\n";
        for (const Search& s : kSearches) {
            auto mine = ours(*scrap, cnn, s), theirs = baseline(file, s);
            std::sort(mine.begin(), mine.end());
            std::sort(theirs.begin(), theirs.end());
            const bool equal = mine == theirs;
            same = same && equal;
            std::vector<double> a, b;
            for (int r = 0; r < runs; ++r) {
                a.push_back(milliseconds([&] { return ours(*scrap, cnn, s); }));
                b.push_back(milliseconds([&] { return baseline(file, s); }));
            }
            const double minA = *std::min_element(a.begin(), a.end()), minB = *std::min_element(b.begin(), b.end());
            std::cout << std::left << std::setw(36) << s.name << std::right << std::setw(7) << mine.size()
                      << std::setw(10) << median(a) << " /" << std::setw(6) << minA << std::setw(14) << median(b)
                      << " /" << std::setw(6) << minB << std::setw(11) << std::setprecision(2)
                      << median(a) / median(b) << std::setw(11) << minA / minB << std::setprecision(1) << "   (\""
                      << s.keyword << "\", \"" << s.other << "\")" << (equal ? "" : "  WARNING: different rows")
                      << '\n';
        }
        std::cout << "ratio = ours / baseline; goal: at most 2.00\n";
        return same ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "lumo_scrap_bench: " << e.what() << '\n';
        return 1;
    }
}
