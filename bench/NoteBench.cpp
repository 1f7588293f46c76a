// Time of UpdateNote for notes of 100, 1,000 and 10,000 lines, through the
// published interface on a person database in write-ahead log mode (as
// lumo init makes it), and of the walk over two notes on its own:
//
//   unchanged  the stored note is written back; the walk finds nothing new
//   appended   one dated line added at the end: one ToDo row
//   new        every line is a new dated entry: one ToDo row per line, each
//              stored by itself (no transaction around the walk)
//   walk       the walk alone, without the database, over the same notes
//
// Every call starts from a freshly prepared state. Each case runs five
// repetitions; the report gives their median and minimum per call.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "access/LumoAccess.h"
#include "access/core/NoteWalk.h"
#include "bench/BenchData.h"
#include "client/AccessLibrary.h"
#include "platform/Dates.h"
#include "platform/Error.h"
#include "schema/Schema.h"
#include "engine/ProgramSettings.h"

namespace lumo::bench {
namespace {

using namespace LumoAccess;

constexpr int kRepetitions = 5;

// A note of `lines` dated lines, one day apart, of about 30 characters,
// half of them Japanese.
std::string noteOf(int lines, int firstDay = 0) {
    const double start = dates::toAutomation(2001, 1, 1);
    std::string note;
    for (int k = firstDay; k < firstDay + lines; ++k) {
        note += dates::formatYmd(start + k).substr(2);
        note += k % 2 ? " 打ち合わせの議事録を送る" : " call the office about it";
        note += " #" + std::to_string(k) + "\r\n";
    }
    return note;
}

class Sqlite {
public:
    explicit Sqlite(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw Error("cannot open " + path);
    }
    ~Sqlite() { sqlite3_close(db_); }
    Sqlite(const Sqlite&) = delete;
    Sqlite& operator=(const Sqlite&) = delete;

    void exec(const std::string& sql) {
        char* err = nullptr;
        const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
        const std::string message = err ? err : "";
        sqlite3_free(err);
        if (rc != SQLITE_OK) throw Error(message);
    }
    void setNote(const std::string& note) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, "UPDATE T_PERSON SET NOTE = ? WHERE PERSON_ID = 1", -1, &st, nullptr);
        sqlite3_bind_text(st, 1, note.data(), static_cast<int>(note.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) throw Error("cannot set the note");
    }

private:
    sqlite3* db_ = nullptr;
};

// One person database for the whole run, removed at the end.
struct NoteDatabase {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("lumo_note_bench_" + std::to_string(::getpid()) + ".mdb");
    Sqlite sql{path.string()};
    Ref<clsPidAccess> person;

    NoteDatabase() {
        sql.exec(std::string(schema::personDdl()));
        sql.exec("PRAGMA journal_mode = WAL");
        sql.exec("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID) VALUES (1, 1)");
        person = client::AccessLibrary::instance().create<clsPidAccess>();
        if (person->Initialize(connectionFor(path.string()))) throw Error("cannot open the bench database");
    }
    ~NoteDatabase() {
        person.reset();
        std::filesystem::remove(path);
        std::filesystem::remove(path.string() + "-wal");
        std::filesystem::remove(path.string() + "-shm");
    }
    static NoteDatabase& instance() {
        static NoteDatabase db;
        return db;
    }
};

enum class Case { Unchanged, Appended, New };

void updateNote(benchmark::State& state, Case which) {
    const int lines = static_cast<int>(state.range(0));
    NoteDatabase& db = NoteDatabase::instance();
    const std::string stored = which == Case::New ? std::string() : noteOf(lines);
    const std::string note = which == Case::Appended ? stored + noteOf(1, lines) : noteOf(lines);
    for (auto _ : state) {
        state.PauseTiming();
        db.sql.exec("DELETE FROM T_TODOLIST");
        db.sql.setNote(stored);
        state.ResumeTiming();
        db.person->UpdateNote(1, note);
    }
    state.SetItemsProcessed(state.iterations() * lines);
}

void walk(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const std::string oldNote = noteOf(lines);
    const std::string newNote = noteOf(lines) + noteOf(1, lines);
    std::size_t recorded = 0;
    for (auto _ : state) access::walkNotes(oldNote, newNote, [&](const std::string&) { ++recorded; });
    benchmark::DoNotOptimize(recorded);
    state.SetItemsProcessed(state.iterations() * lines);
}

double smallest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// A fixed number of calls per repetition: the untimed preparation before
// each call (a stored note and an emptied ToDo table, both synced to disk)
// would otherwise dominate the run while the library chose its count.
void configure(benchmark::internal::Benchmark* b, int iterations) {
    b->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
    b->ReportAggregatesOnly(true)->ComputeStatistics("min", smallest)->Iterations(iterations);
}

}  // namespace
}  // namespace lumo::bench

int main(int argc, char** argv) {
    lumo::db::configureSqliteForProgram();  // measured as the programs run
    using namespace lumo::bench;
    configure(benchmark::RegisterBenchmark("UpdateNote/unchanged", updateNote, Case::Unchanged), 10);
    configure(benchmark::RegisterBenchmark("UpdateNote/appended", updateNote, Case::Appended), 10);
    configure(benchmark::RegisterBenchmark("UpdateNote/new", updateNote, Case::New), 1);
    configure(benchmark::RegisterBenchmark("walk", walk), 10);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo_note_bench: %s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
