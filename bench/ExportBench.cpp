// lumo_bench: the export against a one-query baseline, single library
// reads, the export's peak memory and its cost per record at three sizes,
// the translation of a long IN list against SQLite on the same text,
// measured in one run on the same data and summed up in a short table.
//
//   lumo_bench [--data DIR] [--lumo PATH] [Google Benchmark options]
//
// DIR (default $LUMO_BENCH_DATA, else /tmp/lumo-bench-data) holds the
// folders 1000, 10000 and 100000 made by `lumo init --persons N` (the last
// with --sheets 100000 too); scripts/bench creates them. PATH is the lumo
// program whose memory is measured (default: beside this program). The
// exit status is 1 when a measurement failed or the two files of a kind
// differ.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "bench/BenchData.h"
#include "bench/ExportBenchmarks.h"
#include "bench/FileCompare.h"
#include "bench/Machine.h"
#include "bench/Measurements.h"
#include "bench/EngineOverhead.h"
#include "bench/PeakMemory.h"
#include "bench/ReaderBaselines.h"
#include "bench/ReadLatency.h"
#include "bench/Report.h"
#include "bench/SearchBench.h"
#include "bench/StatementBench.h"
#include "bench/StatementFloor.h"
#include "engine/ProgramSettings.h"

namespace fs = std::filesystem;
using namespace lumo::bench;

namespace {

constexpr std::int64_t kFull = 100'000;
constexpr std::array<std::int64_t, 3> kCurve{1'000, 10'000, kFull};
constexpr std::array<std::int64_t, 2> kMemory{10'000, kFull};
constexpr int kReadCalls = 20'000;
constexpr int kOverheadStatements = 5'000;
constexpr std::array<std::string_view, 2> kKinds{"person", "goods"};

struct Options {
    fs::path data;
    fs::path lumo;
};

// Takes this program's own options out of argv; the rest is for Google
// Benchmark.
Options takeOptions(int& argc, char** argv) {
    Options options;
    const char* env = std::getenv("LUMO_BENCH_DATA");
    options.data = env && *env ? env : "/tmp/lumo-bench-data";
    options.lumo = fs::read_symlink("/proc/self/exe").parent_path() / "lumo";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if ((a == "--data" || a == "--lumo") && i + 1 < argc) {
            (a == "--data" ? options.data : options.lumo) = argv[++i];
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return options;
}

// The first missing database file, or empty when every one is there.
std::string missingData(const BenchData& data) {
    for (std::int64_t persons : kCurve)
        if (!fs::exists(data.personDatabase(persons))) return data.personDatabase(persons);
    if (!fs::exists(data.itemDatabase(kFull))) return data.itemDatabase(kFull);
    return {};
}

void registerAll(const BenchData& data) {
    for (std::string_view kind : kKinds) {
        registerOurExport(data, kind, kFull);
        registerBaselineExport(data, kind, kFull);
    }
    registerStatementFloor(data, kFull);
    for (std::int64_t persons : kCurve)
        if (persons != kFull) registerOurExport(data, "person", persons);
    registerReadBenchmarks(data.personDatabase(kFull), data.itemDatabase(kFull), kReadCalls);
    registerSearchBenchmarks(data.personDatabase(kFull), data.itemDatabase(kFull));
    registerStatementBenchmarks(data.personDatabase(kFull));
    registerReaderBaselines(data.personDatabase(kFull), data.itemDatabase(kFull), kReadCalls);
    registerEngineOverhead(data.personDatabase(kFull), kOverheadStatements);
}

ExportRow compareExports(const BenchData& data, const CollectingReporter& results, std::string_view kind) {
    ExportRow row;
    row.kind = kind;
    row.ours = results.find(exportBenchmarkName(kind, "ours", kFull));
    row.baseline = results.find(exportBenchmarkName(kind, "baseline", kFull));
    row.statements = results.find(exportBenchmarkName(kind, "statements", kFull));
    if (row.ours && row.ours->ok() && row.baseline && row.baseline->ok()) {
        row.compared = true;
        row.difference =
            firstDifference(exportFile(data, kind, "ours", kFull), exportFile(data, kind, "baseline", kFull));
    }
    return row;
}

MemoryRow measureMemory(const BenchData& data, const fs::path& lumo, std::int64_t persons) {
    MemoryRow row;
    row.persons = persons;
    const std::string name = "person-rss-" + std::to_string(persons);
    const std::string log = data.out(name + ".log");
    try {
        row.run = runMeasured({lumo.string(), "export", "person", "--force", "--out", data.out(name + ".csv"),
                               data.folder(persons).string()},
                              log);
        if (row.run->exitStatus != 0)
            row.error = "lumo export ended with status " + std::to_string(row.run->exitStatus) + ", see " + log;
    } catch (const std::exception& e) {
        row.error = e.what();
    }
    return row;
}

}  // namespace

int main(int argc, char** argv) {
    lumo::db::configureSqliteForProgram();  // measured as the programs run
    const Options options = takeOptions(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

    const BenchData data(options.data);
    if (const std::string missing = missingData(data); !missing.empty()) {
        std::cerr << "lumo_bench: " << missing << " is missing; scripts/bench creates the data folders\n";
        return 2;
    }
    fs::create_directories(data.root() / "out");
    // A file left by an earlier run must not pass for this run's.
    for (std::string_view kind : kKinds)
        for (std::string_view who : {"ours", "baseline"}) fs::remove(exportFile(data, kind, who, kFull));

    registerAll(data);
    CollectingReporter results;
    benchmark::RunSpecifiedBenchmarks(&results);

    Report report;
    report.processors = usableProcessors();
    report.cpu = cpuModel();
    report.sqlite = sqlite3_libversion();
    report.data = data.root().string();
    report.exportSize = kFull;
    for (std::string_view kind : kKinds) report.exports.push_back(compareExports(data, results, kind));
    report.readRows = kFull;
    for (const char* operation :
         {"GetPersonalInformation", "GetPhoneNumberInfo", "GetSheetInformation", "GetGroupIDEx"})
        report.reads.push_back({operation, results.find(readBenchmarkName(operation))});
    for (std::int64_t persons : kMemory) report.memory.push_back(measureMemory(data, options.lumo, persons));
    for (std::int64_t persons : kCurve)
        report.curve.push_back({persons, results.find(exportBenchmarkName("person", "ours", persons))});

    report.inListValues = kInListValues;
    report.inList = {results.find(statementBenchmarkName("ours")), results.find(statementBenchmarkName("sqlite3"))};
    report.newShape = results.find(std::string(kNewShapeBenchmark));
    for (std::string_view operation : kComparedReaders)
        report.readers.push_back({std::string(operation), results.find(readerBenchmarkName(operation, "ours")),
                                  results.find(readerBenchmarkName(operation, "sqlite3"))});
    for (int rows : kOverheadRows)
        report.engine.push_back({"Open, read all, Close: " + std::to_string(rows) + (rows == 1 ? " row" : " rows"),
                                 results.find(overheadBenchmarkName(rows, "ours")),
                                 results.find(overheadBenchmarkName(rows, "sqlite3"))});
    bool good = printReport(std::cout, report);
    good = printSearchReport(std::cout, results, results.find(readBenchmarkName("GetPersonalInformation"))) && good;
    benchmark::Shutdown();
    return good ? 0 : 1;
}
